// The visualization pass: what it writes where, the log stubs, the asset
// copy and its failure messages.
#include "visual/visual_dm.h"

#include <gtest/gtest.h>

#include "platform/files.h"
#include "test_support.h"

namespace {

const char kTwoRegions[] =
    "      program p\n"
    "!Vexnor$ install select region start\n!Vexnor$ name mat\n      x = 1\n"
    "!Vexnor$ install select region end\n"
    "!Vexnor$ static select region start\n!Vexnor$ name FFT\n      y = 2\n"
    "!Vexnor$ static select region end\n      end\n";

// A source beside an output folder, and a program folder whose vex_data
// holds small stand-ins for the chart assets.
struct TVisualRun {
  explicit TVisualRun(const std::string& source, bool withAssets = true, bool withOutput = true)
      : Pipeline(source) {
    SourcePath = work.Write("prog.f", source);
    if (withOutput) {
      platform::CreateFolders(work.Path() + "Vexnor");
    }
    if (withAssets) {
      for (const char* name : {"grafview.jar", "bar0-/00.bin", "gtable-/00.bin", "grafview.js",
                               "uPlot.iife.min.js", "uPlot.min.css", "uPlot.LICENSE"}) {
        std::string path = program.Path() + "vex_data/" + name;
        platform::CreateFolders(path.substr(0, path.rfind('/')));
        program.Write(std::string("vex_data/") + name, std::string("asset ") + name + "\n");
      }
    }
  }
  void Run() {
    TVisualDM visual(SourcePath, Pipeline.List, Pipeline.Regions, Reporter, program.Path());
    visual.Run();
    platform::CommitTogether(visual.OutputFiles());
  }
  std::string Output(const std::string& name) const {
    return ReadFileBytes(work.Path() + "Vexnor/" + name);
  }
  bool Exists(const std::string& name) const {
    return platform::FileExists(work.Path() + "Vexnor/" + name);
  }
  // The output folder as the pass names it in its messages.
  std::string Out() const { return work.Path().substr(0, work.Path().size() - 1) + "\\Vexnor"; }

  TTempFolder work;
  TTempFolder program;
  TPipeline Pipeline;
  std::string SourcePath;
  TRecordingReporter Reporter;
};

TEST(VisualPass, WritesPagesStubsAndAssetsBesideTheGeneratedFiles) {
  TVisualRun run(kTwoRegions);
  run.Run();
  EXPECT_EQ(run.Reporter.Lines, std::vector<std::string>{});
  EXPECT_EQ(run.Output("VexnorATLog.dat"), "0\n0\n");
  EXPECT_EQ(run.Output("VexnorATLog_FFT.dat"),
            "1,NumProces (DummyData)\n"
            "100,StartTuneSize (DummyData)\n"
            "100,EndTuneSize (DummyData)\n"
            "100,SampDist (DummyData)\n"
            "-1,EndOfHeader\n");
  EXPECT_EQ(run.Output("VexnorATLog_mat.dat"), run.Output("VexnorATLog_FFT.dat"));
  EXPECT_EQ(run.Output("VexnorATLog.html").substr(0, 7), "<html>\n");
  EXPECT_NE(run.Output("VexnorATLog_FFT.html").find("<title>Vexnor_FFT Result</title>"),
            std::string::npos);
  for (const char* name : {"grafview.jar", "bar0-/00.bin", "gtable-/00.bin", "grafview.js",
                           "uPlot.iife.min.js", "uPlot.min.css", "uPlot.LICENSE"}) {
    EXPECT_EQ(run.Output(name), std::string("asset ") + name + "\n") << name;
  }
  // A second run replaces everything without complaint.
  run.Run();
  EXPECT_EQ(run.Reporter.Lines, std::vector<std::string>{});
  EXPECT_EQ(run.Output("VexnorATLog.dat"), "0\n0\n");
}

TEST(VisualPass, WithoutRegionsTheOverallStubIsEmpty) {
  TVisualRun run("      program p\n      end\n");
  run.Run();
  EXPECT_EQ(run.Reporter.Errors, 0);
  EXPECT_TRUE(run.Exists("VexnorATLog.dat"));
  EXPECT_EQ(run.Output("VexnorATLog.dat"), "");
  EXPECT_TRUE(run.Exists("VexnorATLog.html"));
  EXPECT_TRUE(run.Exists("gtable-/00.bin"));
  EXPECT_FALSE(run.Exists("VexnorATLog_.dat"));
}

TEST(VisualPass, WithoutTheDataFolderOnlyTheArchiveIsReported) {
  TVisualRun run(kTwoRegions, false);
  run.Run();
  EXPECT_EQ(run.Reporter.Lines,
            std::vector<std::string>{"error: File Copy Err " + run.Out() + "\\grafview.jar"});
  EXPECT_FALSE(platform::FolderExists(run.work.Path() + "Vexnor/bar0-"));
  // The pages and stubs are written all the same.
  EXPECT_TRUE(run.Exists("VexnorATLog_mat.html"));
}

TEST(VisualPass, EveryFileThatCannotBeWrittenIsReportedAndThePassGoesOn) {
  TVisualRun run(kTwoRegions, true, false);  // no output folder to write into
  run.Run();
  const std::string out = run.Out();
  EXPECT_EQ(run.Reporter.Lines, (std::vector<std::string>{
                                    "error: File Open Err " + out + "/VexnorATLog.html",
                                    "error: File Create Err " + out + "\\VexnorATLog.dat",
                                    "error: File Create Err " + out + "\\VexnorATLog_mat.dat",
                                    "error: File Open Err " + out + "/VexnorATLog_mat.html",
                                    "error: File Create Err " + out + "\\VexnorATLog_FFT.dat",
                                    "error: File Open Err " + out + "/VexnorATLog_FFT.html",
                                    "error: File Copy Err " + out + "\\grafview.jar"}));
}

TEST(VisualPass, AMissingAssetEndsTheCopy) {
  TVisualRun run(kTwoRegions);
  std::remove((run.program.Path() + "vex_data/gtable-/00.bin").c_str());
  run.Run();
  EXPECT_EQ(run.Reporter.Lines,
            std::vector<std::string>{"error: File Copy Err " + run.Out() + "\\gtable-\\00.bin"});
  EXPECT_TRUE(run.Exists("bar0-/00.bin"));
  EXPECT_FALSE(run.Exists("grafview.js"));
}

}  // namespace
