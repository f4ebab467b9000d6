// Terminal implementation of the window.
#include "platform/terminal_window.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "platform/encoding.h"

namespace platform {
namespace {

// Close requests that arrived and were not yet handed to the window.
std::atomic<int> g_closeRequests{0};
static_assert(std::atomic<int>::is_always_lock_free, "signal handler needs a lock-free counter");

extern "C" void OnCloseSignal(int) { g_closeRequests.fetch_add(1); }

}  // namespace

std::string LogLinesForDisplay(const std::string& text) {
  std::string out;
  out.reserve(text.size() + 1);
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\r') {
      if (i + 1 < text.size() && text[i + 1] == '\n') {
        ++i;
      }
      out.push_back('\n');
    } else {
      out.push_back(c);
    }
  }
  if (out.empty() || out.back() != '\n') {
    out.push_back('\n');
  }
  return out;
}

TTerminalWindow::TTerminalWindow() {
  struct sigaction action {};
  action.sa_handler = OnCloseSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

void TTerminalWindow::AddText(const std::string& text) {
  std::string shown = ToUtf8(LogLinesForDisplay(text));
  std::fwrite(shown.data(), 1, shown.size(), stdout);
  std::fflush(stdout);
}

void TTerminalWindow::ProcessMessages() {
  while (g_closeRequests.load() > 0) {
    g_closeRequests.fetch_sub(1);
    DeliverCloseRequest();
  }
}

void TTerminalWindow::ShowMessage(const std::string& text) {
  std::string shown = ToUtf8(LogLinesForDisplay(text));
  std::fwrite(shown.data(), 1, shown.size(), stderr);
  std::fflush(stderr);
}

void TTerminalWindow::Close() {
  std::fflush(stdout);
  std::exit(kClosedStatus);
}

}  // namespace platform
