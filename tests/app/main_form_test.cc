// The run driver: command line, pass sequence, log operations, run log file
// and close protocol, driven through a recording window.
#include "app/main_form.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include "platform/encoding.h"
#include "platform/files.h"
#include "test_support.h"

namespace {

using platform::Sjis;

std::vector<std::string> Tail(const std::vector<std::string>& lines, size_t n) {
  return {lines.end() - static_cast<std::ptrdiff_t>(std::min(n, lines.size())), lines.end()};
}

struct TCommandLineCase {
  std::vector<std::string> Args;
  std::string SourcePath;
  bool Visual;
  bool Debug;
};

TEST(CommandLine, ReadsPathAndSwitches) {
  const TCommandLineCase cases[] = {
      {{}, "", false, true},
      {{"-visualization"}, "-visualization", false, true},
      {{"-debug"}, "-debug", false, true},
      {{"f.f", "-debug", "off"}, "f.f", false, false},
      {{"f.f", "-debug", "On"}, "f.f", false, true},
      {{"-DEBUG", "oN", "f.f"}, "f.f", false, true},
      {{"-debug", "yes", "f.f"}, "f.f", false, false},
      {{"-visualization", "off", "f.f"}, "f.f", false, true},
      {{"-Visualization", "on", "f.f"}, "f.f", true, true},
      {{"a.f", "b.f"}, "b.f", false, true},
      {{"f.f", "-visualization"}, "-visualization", false, true},
      {{"-visualization", "ON", "-debug", "OFF", "x.f"}, "x.f", true, false},
  };
  for (const TCommandLineCase& c : cases) {
    TTempFolder folder;
    TFakeWindow window;
    TMainF form(window, folder.Path());
    form.FormCreate(c.Args);
    std::string shown;
    for (const std::string& a : c.Args) {
      shown += a + " ";
    }
    EXPECT_EQ(form.SourcePath, c.SourcePath) << shown;
    EXPECT_EQ(form.VisualFlag, c.Visual) << shown;
    EXPECT_EQ(form.DebugFlag, c.Debug) << shown;
    EXPECT_FALSE(form.AbortFlag);
    EXPECT_FALSE(form.FinishedFlag);
  }
}

// A form with its run log in a temporary folder.
struct TFormFixture {
  explicit TFormFixture(const std::vector<std::string>& args) : form(window, folder.Path()) {
    form.FormCreate(args);
  }
  std::string RunLog() { return ReadFileBytes(folder.Path() + "VexScriptLog.txt"); }

  TTempFolder folder;
  TFakeWindow window;
  TMainF form;
};

TEST(LogOperations, WindowAndRunLogFileGetTheirLines) {
  TFormFixture f({});
  int processed = f.window.ProcessCount;
  f.form.LogLine("one");
  f.form.ShowLine("two");
  f.form.ReportError("three");
  f.form.LogLine("four\nfive");
  EXPECT_EQ(f.window.Lines,
            (std::vector<std::string>{"one", "two", "*** Error *** three", "four", "five"}));
  EXPECT_EQ(f.RunLog(), "one\nthree\nfour\nfive\n");
  // LogLine and ShowLine let the window handle pending requests; ReportError does not.
  EXPECT_EQ(f.window.ProcessCount, processed + 3);
  EXPECT_TRUE(f.form.ErrorFlag);
}

TEST(RunDriver, NoArgumentsReportsTheMissingFile) {
  TFormFixture f({});
  f.form.FormActivate();
  EXPECT_EQ(f.window.Lines,
            (std::vector<std::string>{
                "**** Start ****", "SrcFile =\"\"",
                Sjis("スクリプト実行対象ﾌｧｲﾙ \"\" が見つかりません。"),
                Sjis("引数（ドラッグするﾌｧｲﾙ）に正しいﾌｧｲﾙを指定してください。")}));
  EXPECT_TRUE(f.form.ErrorFlag);
  EXPECT_TRUE(f.form.FinishedFlag);
}

TEST(RunDriver, AFolderIsNoSourceFile) {
  TTempFolder source;
  TFormFixture f({source.Path()});
  f.form.FormActivate();
  EXPECT_EQ(f.window.Lines.back(),
            Sjis("引数（ドラッグするﾌｧｲﾙ）に正しいﾌｧｲﾙを指定してください。"));
  EXPECT_TRUE(f.form.ErrorFlag);
}

TEST(RunDriver, RunsEveryPassOnAGoodSource) {
  TTempFolder source;
  std::string path = source.Write("good.f", "      x = 1\n      end\n");
  TFormFixture f({path});
  f.form.FormActivate();
  EXPECT_EQ(f.window.Lines,
            (std::vector<std::string>{"**** Start ****", "SrcFile =\"" + path + "\"", "Pass1 Start",
                                      "Pass2 Start", "Pass3 Start", "Pass4 Start",
                                      Sjis("------ ﾁｭｰﾆﾝｸﾞﾘｰｼﾞｮﾝ ---------"), "Pass5 Start",
                                      "**** End ****"}));
  EXPECT_FALSE(f.form.ErrorFlag);
  EXPECT_TRUE(f.form.FinishedFlag);
  // The heading of the regions goes to the window only.
  EXPECT_EQ(f.RunLog(), "**** Start ****\nSrcFile =\"" + path +
                            "\"\nPass1 Start\nPass2 Start\nPass3 Start\nPass4 Start\nPass5 Start\n"
                            "**** End ****\n");
}

// With the switch the pages follow Pass 5; when the program folder has no
// chart assets, the run ends as failed after reporting the first one, and
// neither the pages nor the files of Pass 5 replace the earlier output.
TEST(RunDriver, TheVisualizationSwitchAddsThePagesAfterPass5) {
  TTempFolder source;
  std::string path = source.Write("good.f", "      x = 1\n      end\n");
  TFormFixture plain({path});
  plain.form.FormActivate();
  EXPECT_FALSE(platform::FileExists(source.Path() + "Vexnor/VexnorATLog.html"));
  std::string earlier = ReadFileBytes(source.Path() + "Vexnor/Vexnor_good.f");
  source.Write("good.f", "      y = 2\n      end\n");
  TFormFixture visual({path, "-visualization", "ON"});
  visual.form.FormActivate();
  EXPECT_FALSE(platform::FileExists(source.Path() + "Vexnor/VexnorATLog.html"));
  EXPECT_EQ(ReadFileBytes(source.Path() + "Vexnor/Vexnor_good.f"), earlier);
  EXPECT_EQ(Tail(visual.window.Lines, 5),
            (std::vector<std::string>{
                "Pass5 Start",
                "*** Error *** File Copy Err " + source.Path().substr(0, source.Path().size() - 1) +
                    "\\Vexnor\\grafview.jar",
                "**** End ****", Sjis("スクリプト処理で、エラーが発生しました。"),
                Sjis("出力結果は、未確定です。")}));

  // With the assets there, pages and files take their places together.
  TFormFixture complete({path, "-visualization", "ON"});
  for (const char* name : {"grafview.jar", "bar0-/00.bin", "gtable-/00.bin", "grafview.js",
                           "uPlot.iife.min.js", "uPlot.min.css", "uPlot.LICENSE"}) {
    std::string asset = complete.folder.Path() + "vex_data/" + name;
    platform::CreateFolders(asset.substr(0, asset.rfind('/')));
    complete.folder.Write(std::string("vex_data/") + name, "asset\n");
  }
  complete.form.FormActivate();
  EXPECT_FALSE(complete.form.ErrorFlag);
  EXPECT_TRUE(platform::FileExists(source.Path() + "Vexnor/VexnorATLog.html"));
  EXPECT_EQ(ReadFileBytes(source.Path() + "Vexnor/gtable-/00.bin"), "asset\n");
  EXPECT_NE(ReadFileBytes(source.Path() + "Vexnor/Vexnor_good.f"), earlier);
}

TEST(RunDriver, ATabStopsTheRunAfterPass1) {
  TTempFolder source;
  std::string path =
      source.Write("tab.f", "c 1\nc 2\nc 3\nc 4\nc 5\nc 6\n      x =\t1\nc 8\n      end\n");
  TFormFixture f({path});
  f.form.FormActivate();
  std::string tabFound = Sjis("TAB文字が含まれています。");
  EXPECT_EQ(Tail(f.window.Lines, 4),
            (std::vector<std::string>{"Pass1 Start", "*** Error *** " + tabFound,
                                      "*** Error *** Line = 7", "*** Error ***       x =[TAB]1"}));
  EXPECT_EQ(f.RunLog(), "**** Start ****\nSrcFile =\"" + path + "\"\nPass1 Start\n" + tabFound +
                            "\nLine = 7\n      x =[TAB]1\n\n");
  EXPECT_TRUE(f.form.ErrorFlag);
  EXPECT_TRUE(f.form.FinishedFlag);
  // Once the run is over a close request is granted at once.
  EXPECT_TRUE(f.form.FormCloseQuery());
}

TEST(RunDriver, AStatementWithoutAssignStopsTheRunAfterPass2) {
  TTempFolder source;
  std::string path = source.Write("noassign.f", "      x + 1\n      end\n");
  TFormFixture f({path});
  f.form.FormActivate();
  EXPECT_EQ(Tail(f.window.Lines, 2),
            (std::vector<std::string>{
                "Pass2 Start",
                "*** Error *** **** " + Sjis("式に'='がありません。") + " **** [ x+1 ]"}));
  EXPECT_TRUE(f.form.ErrorFlag);
  EXPECT_TRUE(f.form.FinishedFlag);
}

struct TCloseCase {
  const char* Name;
  std::vector<std::string> RequestsAt;  // lines at which a close request arrives
  bool Closed;                          // the window granted a request
};

// The first request during the run is refused and stops the run at its end;
// a second one closes the window while the run goes on to its end.
TEST(RunDriver, CloseRequestsDuringTheRun) {
  const std::string stopping = Sjis("スクリプト処理を中断します。");
  const TCloseCase cases[] = {
      {"NoRequest", {}, false},
      {"FirstIsRefused", {"Pass3 Start"}, false},
      {"SecondIsGranted", {"Pass2 Start", "Pass4 Start"}, true},
  };
  for (const TCloseCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TTempFolder source;
    std::string path = source.Write("good.f", "      x = 1\n      end\n");
    TFormFixture f({path});
    for (const std::string& at : c.RequestsAt) {
      f.window.RequestCloseAt(at);
    }
    f.form.FormActivate();
    const std::vector<std::string>& lines = f.window.Lines;
    const bool aborted = !c.RequestsAt.empty();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), stopping), aborted ? 1 : 0);
    if (aborted) {
      auto at = std::find(lines.begin(), lines.end(), c.RequestsAt[0]);
      ASSERT_NE(at, lines.end());
      ASSERT_NE(at + 1, lines.end());
      EXPECT_EQ(*(at + 1), stopping);
      EXPECT_EQ(Tail(lines, 3), (std::vector<std::string>{
                                    "**** End ****", Sjis("スクリプト処理は、中断されました。"),
                                    Sjis("出力結果は、未確定です。")}));
    } else {
      EXPECT_EQ(lines.back(), "**** End ****");
    }
    EXPECT_EQ(f.window.Closed, c.Closed);
    EXPECT_EQ(f.form.AbortFlag, aborted);
    EXPECT_EQ(f.form.ErrorFlag, aborted);
    // Once the run is over a close request is granted at once.
    EXPECT_TRUE(f.form.FormCloseQuery());
  }
}

TEST(RunLog, HoldsTheJapaneseMessagesAsCp932Bytes) {
  TFormFixture f({"missing.f"});
  f.form.FormActivate();
  const std::string expected = "\x83\x58\x83\x4e\x83\x8a\x83\x76\x83\x67\x8e\xc0\x8d\x73\x91\xce"
                               "\x8f\xdb\xcc\xa7\xb2\xd9\x20";
  std::string log = f.RunLog();
  EXPECT_NE(log.find(expected + "\"missing.f\""), std::string::npos);
}

TEST(RunLog, ASecondRunReplacesTheFirst) {
  TTempFolder folder;
  for (const char* name : {"first.f", "second.f"}) {
    TFakeWindow window;
    TMainF form(window, folder.Path());
    form.FormCreate({name});
    form.FormActivate();
    form.FormDestroy();
  }
  std::string log = ReadFileBytes(folder.Path() + "VexScriptLog.txt");
  EXPECT_EQ(log.find("first.f"), std::string::npos);
  EXPECT_NE(log.find("second.f"), std::string::npos);
}

TEST(RunLog, WithoutARunLogTheWindowStillShowsEverything) {
  TTempFolder source;
  std::string path = source.Write("good.f", "      end\n");
  TFakeWindow window;
  std::string folder = source.Path() + "no/such/folder/";
  TMainF form(window, folder);
  form.FormCreate({path});
  ASSERT_EQ(window.Messages.size(), 1u);
  EXPECT_EQ(window.Messages[0], Sjis("ﾌｧｲﾙ ") + folder + "VexScriptLog.txt" + Sjis(" が開けません。"));
  form.FormActivate();
  EXPECT_EQ(window.Lines.front(), "**** Start ****");
  EXPECT_EQ(window.Lines.back(), "**** End ****");
  EXPECT_FALSE(form.ErrorFlag);
}

}  // namespace
