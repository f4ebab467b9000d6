// The terminal window: signals become close requests, a granted or a
// second close request ends the process with status 130, the signal
// handling is put back afterwards, and lines are shown as UTF-8 with their
// control characters made visible.
#include "platform/terminal_window.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>

#include "platform/encoding.h"
#include "platform/files.h"
#include "test_support.h"

namespace {

TEST(TerminalWindow, ASignalReachesTheCloseQuery) {
  platform::TTerminalWindow window;
  int asked = 0;
  window.SetCloseQuery([&] {
    ++asked;
    return false;
  });
  window.ProcessMessages();
  EXPECT_EQ(asked, 0);
  std::raise(SIGTERM);
  EXPECT_EQ(asked, 0);  // handed over only when the run processes messages
  window.ProcessMessages();
  EXPECT_EQ(asked, 1);
  window.ProcessMessages();
  EXPECT_EQ(asked, 1);
  window.SetCloseQuery(nullptr);
}

// The run may be far from its next check point: the second request ends the
// process in the signal handler, and takes the uncommitted output with it.
TEST(TerminalWindowDeathTest, ASecondRequestEndsTheProcessAtOnce) {
  TTempFolder folder;
  for (int second : {SIGINT, SIGTERM}) {
    EXPECT_EXIT(
        {
          platform::TTextFile output;
          output.OpenTemporary(folder.Path() + "Vexnor_ControlRoutines.f");
          platform::TTerminalWindow window;
          window.SetCloseQuery([] { return false; });
          std::raise(SIGINT);
          window.ProcessMessages();  // the first request is refused
          std::raise(second);
          for (;;) {
            pause();
          }
        },
        ::testing::ExitedWithCode(platform::TTerminalWindow::kClosedStatus), "");
    EXPECT_TRUE(std::filesystem::is_empty(folder.Path()));
  }
  // Two requests before the run looked at either: the second still ends it.
  EXPECT_EXIT(
      {
        platform::TTerminalWindow window;
        std::raise(SIGINT);
        std::raise(SIGINT);
        for (;;) {
          pause();
        }
      },
      ::testing::ExitedWithCode(platform::TTerminalWindow::kClosedStatus), "");
}

int g_earlierHandlerCalls = 0;
extern "C" void EarlierHandler(int) { ++g_earlierHandlerCalls; }

void (*HandlerOf(int signal))(int) {
  struct sigaction current {};
  sigaction(signal, nullptr, &current);
  return current.sa_handler;
}

TEST(TerminalWindow, PutsBackTheSignalHandlingItFound) {
  struct sigaction earlier {};
  earlier.sa_handler = EarlierHandler;
  sigemptyset(&earlier.sa_mask);
  struct sigaction saved {};
  sigaction(SIGINT, &earlier, &saved);
  ASSERT_EQ(HandlerOf(SIGXFSZ), SIG_DFL);
  {
    platform::TTerminalWindow window;
    EXPECT_NE(HandlerOf(SIGINT), EarlierHandler);
    EXPECT_EQ(HandlerOf(SIGXFSZ), SIG_IGN);
    std::raise(SIGXFSZ);  // ignored: a write past the size limit fails instead
  }
  EXPECT_EQ(HandlerOf(SIGXFSZ), SIG_DFL);
  std::raise(SIGINT);
  EXPECT_EQ(g_earlierHandlerCalls, 1);
  sigaction(SIGINT, &saved, nullptr);
}

TEST(TerminalWindowDeathTest, AGrantedCloseEndsTheProcess) {
  EXPECT_EXIT(
      {
        platform::TTerminalWindow window;
        window.SetCloseQuery([] { return true; });
        std::raise(SIGINT);
        window.ProcessMessages();
      },
      ::testing::ExitedWithCode(platform::TTerminalWindow::kClosedStatus), "");
}

TEST(TerminalWindow, LinesAreShownAsUtf8) {
  testing::internal::CaptureStdout();
  platform::TTerminalWindow window;
  window.AddText(platform::Sjis("ﾌｧｲﾙ a\r\nb\n"));
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "ﾌｧｲﾙ a\nb\n");
}

TEST(TerminalWindow, ControlCharactersAreShownEscaped) {
  struct TCase {
    std::string Text;
    std::string Shown;
  };
  const TCase cases[] = {
      {"x = 1\x1b]0;title\x07\x1b[31m", "x = 1^[]0;title^G^[[31m"},
      {std::string("a\0b\bc\x7f", 6), "a^@b^Hc^?"},
      {"tab\tand line\nstay", "tab\tand line\nstay"},
      {"\u009b2J and \u0085", "M-^[2J and M-^E"},
      {"\xc2\xa0\xef\xbd\xb1 ^ kept", "\xc2\xa0\xef\xbd\xb1 ^ kept"},
  };
  for (const TCase& c : cases) {
    EXPECT_EQ(platform::EscapeControlCharacters(c.Text), c.Shown) << c.Text;
  }
  // On the terminal, after the conversion from CP932.
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  platform::TTerminalWindow window;
  window.AddText(platform::Sjis("行 ") + "\x1b[2J\x1b[31m!\r\n");
  window.ShowMessage("\x1b[31m");
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "行 ^[[2J^[[31m!\n");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "^[[31m\n");
}

TEST(Encoding, RoundTripsAndKeepsBackslash) {
  EXPECT_EQ(platform::Sjis("\\"), "\\");
  EXPECT_EQ(platform::ToUtf8(platform::Sjis("出力結果は、未確定です。")), "出力結果は、未確定です。");
  // Bytes that are not CP932 do not stop the conversion.
  EXPECT_EQ(platform::ToUtf8(std::string("a\x81\x20z", 4)), "a? z");
}

}  // namespace
