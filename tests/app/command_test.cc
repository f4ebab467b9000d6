// The vexnorscript command as a user runs it: exit status, help, version,
// the log shown on the terminal as UTF-8, and a second Ctrl-C.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <thread>

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

// Waits up to seconds for the child to end; its wait status, or -1.
int WaitFor(pid_t pid, double seconds) {
  auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  int status = 0;
  while (std::chrono::steady_clock::now() < until) {
    if (waitpid(pid, &status, WNOHANG) == pid) {
      return status;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return -1;
}

// The run is stuck writing its region summaries into a pipe nobody reads:
// it will not reach a check point, yet a second request ends it at once.
TEST(Command, ASecondCloseRequestEndsABlockedRunAtOnce) {
  TTempFolder folder;
  std::string source;
  for (int u = 0; u < 600; ++u) {
    source += "      subroutine s" + std::to_string(u) +
              "(n)\n      integer n, x\n!Vexnor$ static select region start\n      x = n\n"
              "!Vexnor$ static select region end\n      end\n";
  }
  std::string path = folder.Write("many.f", source);
  TTranslator translator;
  int out[2];
  ASSERT_EQ(pipe(out), 0);
  pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    dup2(out[1], 1);
    dup2(out[1], 2);
    close(out[0]);
    close(out[1]);
    execl(translator.Executable().c_str(), "vexnorscript", path.c_str(),
          static_cast<char*>(nullptr));
    _exit(127);
  }
  close(out[1]);
  // Blocked once the pipe holds most of its capacity and stops growing.
  const int capacity = fcntl(out[0], F_GETPIPE_SZ);
  int held = -1;
  int stable = 0;
  for (int wait = 0; wait < 3000 && stable < 15; ++wait) {
    int now = 0;
    ioctl(out[0], FIONREAD, &now);
    stable = now == held && now > capacity / 2 ? stable + 1 : 0;
    held = now;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  ASSERT_EQ(stable, 15) << "the run did not block on its output";
  kill(pid, SIGINT);
  EXPECT_EQ(WaitFor(pid, 0.3), -1) << "the first request ended the run";
  kill(pid, SIGINT);
  int status = WaitFor(pid, 10);
  if (status == -1) {
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    ADD_FAILURE() << "the second request did not end the run";
  }
  close(out[0]);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 130) << status;
}

}  // namespace
