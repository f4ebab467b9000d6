// The vexnorscript command as a user runs it: exit status, help, version,
// and the log shown on the terminal as UTF-8.
#include <gtest/gtest.h>

#include "platform/files.h"
#include "test_support.h"

namespace {

TCommandResult RunTranslator(const std::vector<std::string>& arguments) {
  return TTranslator().Run(arguments);
}

TEST(Command, HelpAndVersionWhenAlone) {
  TCommandResult help = RunTranslator({"--help"});
  EXPECT_EQ(help.Status, 0);
  EXPECT_NE(help.Output.find("Usage: vexnorscript SOURCE"), std::string::npos);
  TCommandResult version = RunTranslator({"--version"});
  EXPECT_EQ(version.Status, 0);
  EXPECT_EQ(version.Output.rfind("vexnorscript ", 0), 0u);
  // With another argument --help is just a source path that does not exist.
  EXPECT_EQ(RunTranslator({"--help", "x.f"}).Status, 1);
}

TEST(Command, MissingSourceShowsUtf8AndFails) {
  TCommandResult run = RunTranslator({"/no/such/file.f"});
  EXPECT_EQ(run.Status, 1);
  EXPECT_NE(run.Output.find("スクリプト実行対象ﾌｧｲﾙ \"/no/such/file.f\" が見つかりません。"),
            std::string::npos)
      << run.Output;
}

TEST(Command, TabInSourceFailsAfterPass1) {
  TTempFolder folder;
  std::string path = folder.Write("tab.f", "\n\n\n\n\n\n\tx = 1\n      end\n");
  TCommandResult run = RunTranslator({path});
  EXPECT_EQ(run.Status, 1);
  EXPECT_NE(run.Output.find("*** Error *** TAB文字が含まれています。\n*** Error *** Line = 7\n"
                            "*** Error *** [TAB]x = 1\n"),
            std::string::npos)
      << run.Output;
  EXPECT_EQ(run.Output.find("Pass2 Start"), std::string::npos);
}

// The example is translated as a copy in a temporary folder, so that its
// output folder does not land in the source tree.
TEST(Command, ExampleRunsToTheEnd) {
  TTempFolder folder;
  std::string path = folder.Write(
      "matvec.f", ReadFileBytes(std::string(VEXNOR_SOURCE_DIR) + "/examples/matvec.f"));
  TTranslator translator;
  TCommandResult run = translator.Run({path});
  EXPECT_EQ(run.Status, 0) << run.Output;
  EXPECT_NE(run.Output.find("ﾁｭｰﾆﾝｸﾞﾘｰｼﾞｮﾝ : 0\nInstall Unroll mxv\nVexnor_Installmxv(,N,,,a,x,y) \n"),
            std::string::npos)
      << run.Output;
  EXPECT_NE(run.Output.find("Static Select scale\n"), std::string::npos);
  EXPECT_NE(run.Output.find("**** End ****"), std::string::npos);
  EXPECT_TRUE(platform::FileExists(folder.Path() + "Vexnor/Vexnor_matvec.f"));
  EXPECT_NE(translator.RunLog().find("**** End ****"), std::string::npos);
}

}  // namespace
