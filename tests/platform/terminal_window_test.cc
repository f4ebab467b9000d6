// The terminal window: signals become close requests, a granted close ends
// the process with status 130, and lines are shown as UTF-8.
#include "platform/terminal_window.h"

#include <gtest/gtest.h>

#include <csignal>

#include "platform/encoding.h"

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
  std::raise(SIGINT);
  std::raise(SIGTERM);
  window.ProcessMessages();
  EXPECT_EQ(asked, 2);
  window.SetCloseQuery(nullptr);
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

TEST(Encoding, RoundTripsAndKeepsBackslash) {
  EXPECT_EQ(platform::Sjis("\\"), "\\");
  EXPECT_EQ(platform::ToUtf8(platform::Sjis("出力結果は、未確定です。")), "出力結果は、未確定です。");
  // Bytes that are not CP932 do not stop the conversion.
  EXPECT_EQ(platform::ToUtf8(std::string("a\x81\x20z", 4)), "a? z");
}

}  // namespace
