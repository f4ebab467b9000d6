// Pass 5: the output folder and files, the name checks and the order of
// generation.
#include "output/pass5.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include "platform/encoding.h"
#include "test_support.h"

namespace {

using platform::Sjis;

std::string Region(const std::string& kind, const std::string& name, const std::string& body = "") {
  std::string n = name.empty() ? "" : "!Vexnor$ name " + name + "\n";
  return "!Vexnor$ " + kind + " select region start\n" + n + "      x = 1\n" + body + "!Vexnor$ " +
         kind + " select region end\n";
}

// A reporter that asks the run to stop when a given line is shown.
class TStoppingReporter : public TRecordingReporter {
 public:
  void ShowLine(const std::string& text) override {
    TRecordingReporter::ShowLine(text);
    if (text == StopAt) {
      Abort = true;
    }
  }
  std::string StopAt;
  bool Abort = false;
};

// The start of a program whose tuning drivers know their largest size.
const std::string kProgram = "      program p\n!Vexnor$ Vexnor_ENDTUNESIZE = 100\n";

struct TGenerated {
  TGenerated(const std::string& source, const std::string& stopAt = "")
      : Pipeline(source), context(ContextFor(Pipeline, reporter)) {
    path = folder.Write("prog.f", source);
    reporter.StopAt = stopAt;
    context.AbortFlag = &reporter.Abort;
    TPass5 pass5(path, Pipeline.List, Pipeline.Vars, Pipeline.Regions, context, folder.Path());
    pass5.Generate(routineListLength);
    platform::CommitTogether(pass5.OutputFiles());
  }
  std::string Output(const std::string& name) const {
    return ReadFileBytes(folder.Path() + "Vexnor/" + name);
  }

  TTempFolder folder;
  TPipeline Pipeline;
  std::string path;
  TStoppingReporter reporter;
  TGenContext context;
  int32_t routineListLength = 0;
};

// Passes 1 to 5 over source as if it were the file at path; returns the
// length of the region-name list.
int32_t GenerateFor(const std::string& source, const std::string& path,
                    const std::string& programFolder, TRecordingReporter& reporter) {
  TPipeline p(source);
  TGenContext context = ContextFor(p, reporter);
  int32_t length = 0;
  TPass5 pass5(path, p.List, p.Vars, p.Regions, context, programFolder);
  pass5.Generate(length);
  platform::CommitTogether(pass5.OutputFiles());
  return length;
}

TEST(Pass5, WritesTheFiveFilesBesideTheSource) {
  TGenerated g(kProgram + Region("install", "a") + Region("static", "bb") +
               Region("install", "ccc") + "      end\n");
  EXPECT_EQ(g.routineListLength, 8);
  EXPECT_EQ(g.reporter.Errors, 0);
  EXPECT_NE(g.Output("Vexnor_prog.f").find("call Vexnor_Installa(iusw1_a)"), std::string::npos);
  EXPECT_NE(g.Output("Vexnor_InstallRoutines.f").find("subroutine Vexnor_Installccc("),
            std::string::npos);
  EXPECT_NE(g.Output("Vexnor_StaticRoutines.f").find("subroutine Vexnor_Staticbb("),
            std::string::npos);
  EXPECT_EQ(g.Output("Vexnor_DynamicRoutines.f"), "");
  EXPECT_NE(g.Output("Vexnor_ControlRoutines.f").find("subroutine Vexnor_ATset"), std::string::npos);
  EXPECT_EQ(g.reporter.Lines, (std::vector<std::string>{"show: TuneRegion = 1/3",
                                                        "show: TuneRegion = 2/3",
                                                        "show: TuneRegion = 3/3"}));
}

TEST(Pass5, ReportsNamesInsideOtherNames) {
  TGenerated overlap(kProgram + Region("static", "mat") + Region("static", "matmul") +
                     Region("static", "vec") + "      end\n");
  EXPECT_EQ(overlap.reporter.Lines.front(),
            "error: " + Sjis("名前の一部が重複しています。( ") + "mat , matmul )");
  EXPECT_EQ(overlap.reporter.Errors, 1);
  std::string ten = kProgram;
  for (int i = 0; i < 10; ++i) {
    ten += Region("static", "");
  }
  TGenerated tenth(ten + "      end\n");
  EXPECT_EQ(tenth.reporter.Errors, 1);
  EXPECT_EQ(tenth.reporter.Lines.front(), "error: " + Sjis("名前の一部が重複しています。( ") + "1 , 10 )");
}

TEST(Pass5, ReportsVariablesNamedLikeTheGeneratedOnes) {
  TGenerated g(kProgram + "!Vexnor$ static select region start\n!Vexnor$ name r\n"
               "      t_all = bt + 1\n!Vexnor$ static select region end\n      print *, t_all\n"
               "      end\n");
  EXPECT_EQ(g.reporter.Errors, 2);
  EXPECT_EQ(g.reporter.Lines.front(),
            "error: " + Sjis("変数名 ") + "t_all" +
                Sjis(" は生成されるルーチンが使う名前と重なります。リージョン ") + "r" +
                Sjis(" では別の名前にしてください。"));
}

TEST(Pass5, StopsAfterTheRegionBeingWrittenWhenAskedTo) {
  TGenerated g(kProgram + Region("install", "a") + Region("install", "b") +
                   Region("install", "c") + "      end\n",
               "TuneRegion = 2/3");
  std::string install = g.Output("Vexnor_InstallRoutines.f");
  EXPECT_NE(install.find("subroutine Vexnor_Installb("), std::string::npos);
  EXPECT_EQ(install.find("subroutine Vexnor_Installc("), std::string::npos);
  EXPECT_EQ(g.Output("Vexnor_prog.f"), "");
}

TEST(Pass5, ASecondRunReplacesTheFiles) {
  TTempFolder folder;
  std::string source = kProgram + Region("static", "s") + "      end\n";
  std::string path = folder.Write("prog.f", source);
  for (int run = 0; run < 2; ++run) {
    TRecordingReporter reporter;
    GenerateFor(source, path, folder.Path(), reporter);
    EXPECT_EQ(reporter.Errors, 0);
  }
  std::string out = ReadFileBytes(folder.Path() + "Vexnor/Vexnor_StaticRoutines.f");
  EXPECT_EQ(out.find("subroutine Vexnor_Statics("), out.rfind("subroutine Vexnor_Statics("));
}

TEST(Pass5, WithoutAFolderNothingIsWritten) {
  TTempFolder folder;
  folder.Write("Vexnor", "a file where the folder should be");
  std::string source = kProgram + Region("static", "s") + "      end\n";
  std::string path = folder.Write("prog.f", source);
  TRecordingReporter reporter;
  GenerateFor(source, path, folder.Path(), reporter);
  const std::string out = folder.Path() + "Vexnor/";
  const std::string reason = " (Not a directory)";
  EXPECT_EQ(
      reporter.Lines,
      (std::vector<std::string>{
          "error: " + Sjis("フォルダが作成出来ません。 ") + "\"" + folder.Path() + "Vexnor\"",
          "error: " + Sjis("ﾌｧｲﾙが開けません ") + "\"" + out + "Vexnor_prog.f\"" + reason,
          "error: " + Sjis("ﾌｧｲﾙが開けません ") + "\"" + out + "Vexnor_InstallRoutines.f\"" +
              reason,
          "error: " + Sjis("ﾌｧｲﾙが開けません ") + "\"" + out + "Vexnor_StaticRoutines.f\"" + reason,
          "error: " + Sjis("ﾌｧｲﾙが開けません ") + "\"" + out + "Vexnor_DynamicRoutines.f\"" +
              reason,
          "error: " + Sjis("ﾌｧｲﾙが開けません ") + "\"" + out + "Vexnor_ControlRoutines.f\"" +
              reason,
      }));
  EXPECT_EQ(ReadFileBytes(folder.Path() + "Vexnor"), "a file where the folder should be");
}

TEST(Pass5, ASourceWithoutFolderPutsTheOutputInTheCurrentFolder) {
  TTempFolder folder;
  std::string source = "      program p\n      end\n";
  folder.Write("here.f", source);
  char previous[4096];
  ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
  ASSERT_EQ(chdir(folder.Path().c_str()), 0);
  TRecordingReporter reporter;
  // No regions: the name lists still have length 1.
  EXPECT_EQ(GenerateFor(source, "here.f", folder.Path(), reporter), 1);
  EXPECT_EQ(chdir(previous), 0);
  EXPECT_NE(ReadFileBytes(folder.Path() + "Vexnor/Vexnor_here.f").find("      end\n"),
            std::string::npos);
}

}  // namespace
