// The vexnorscript command as a user runs it: exit status, help, version,
// and the log shown on the terminal as UTF-8.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>

#include "test_support.h"

namespace {

struct TCommandResult {
  int Status = -1;
  std::string Output;
};

TCommandResult RunCommand(const std::string& arguments) {
  TCommandResult result;
  std::string command = std::string("'") + VEXNOR_EXE + "' " + arguments + " 2>&1";
  std::FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return result;
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) result.Output.append(buffer, n);
  int status = pclose(pipe);
  result.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

TEST(Command, HelpAndVersionWhenAlone) {
  TCommandResult help = RunCommand("--help");
  EXPECT_EQ(help.Status, 0);
  EXPECT_NE(help.Output.find("Usage: vexnorscript SOURCE"), std::string::npos);
  TCommandResult version = RunCommand("--version");
  EXPECT_EQ(version.Status, 0);
  EXPECT_EQ(version.Output.rfind("vexnorscript ", 0), 0u);
  // With another argument --help is just a source path that does not exist.
  EXPECT_EQ(RunCommand("--help x.f").Status, 1);
}

TEST(Command, MissingSourceShowsUtf8AndFails) {
  TCommandResult run = RunCommand("/no/such/file.f");
  EXPECT_EQ(run.Status, 1);
  EXPECT_NE(run.Output.find("スクリプト実行対象ﾌｧｲﾙ \"/no/such/file.f\" が見つかりません。"),
            std::string::npos)
      << run.Output;
}

TEST(Command, TabInSourceFailsAfterPass1) {
  TTempFolder folder;
  std::string path = folder.Write("tab.f", "\n\n\n\n\n\n\tx = 1\n      end\n");
  TCommandResult run = RunCommand("'" + path + "'");
  EXPECT_EQ(run.Status, 1);
  EXPECT_NE(run.Output.find("*** Error *** TAB文字が含まれています。\n*** Error *** Line = 7\n"
                            "*** Error *** [TAB]x = 1\n"),
            std::string::npos)
      << run.Output;
  EXPECT_EQ(run.Output.find("Pass2 Start"), std::string::npos);
}

TEST(Command, ExampleRunsToTheEnd) {
  TCommandResult run = RunCommand(std::string("'") + VEXNOR_SOURCE_DIR + "/examples/matvec.f'");
  EXPECT_EQ(run.Status, 0) << run.Output;
  EXPECT_NE(run.Output.find("ﾁｭｰﾆﾝｸﾞﾘｰｼﾞｮﾝ : 0\nInstall Unroll mxv\nVexnor_Installmxv(,N,,,a,x,y) \n"),
            std::string::npos)
      << run.Output;
  EXPECT_NE(run.Output.find("Static Select scale\n"), std::string::npos);
  EXPECT_NE(run.Output.find("**** End ****"), std::string::npos);
}

}  // namespace
