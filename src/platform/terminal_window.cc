// Terminal implementation of the window.
#include "platform/terminal_window.h"

#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>

#include "platform/encoding.h"
#include "platform/files.h"

namespace platform {
namespace {

// Close requests that arrived and were not yet handed to the window, and
// all that arrived since the window was made.
std::atomic<int> g_pendingRequests{0};
std::atomic<int> g_receivedRequests{0};
static_assert(std::atomic<int>::is_always_lock_free, "signal handler needs a lock-free counter");

// The first request waits for the run's next check point; a second one
// ends the process here, since the run may not reach a check point soon.
extern "C" void OnCloseSignal(int) {
  if (g_receivedRequests.fetch_add(1) >= 1) {
    RemoveTemporaryFilesNow();
    _exit(TTerminalWindow::kClosedStatus);
  }
  g_pendingRequests.fetch_add(1);
}

void AppendCaret(unsigned char c, std::string& out) {
  out.push_back('^');
  out.push_back(c == 0x7F ? '?' : static_cast<char>(c + '@'));
}

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

std::string EscapeControlCharacters(const std::string& utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(utf8[i]);
    unsigned char next = i + 1 < utf8.size() ? static_cast<unsigned char>(utf8[i + 1]) : 0;
    if ((c < 0x20 && c != '\n' && c != '\t') || c == 0x7F) {
      AppendCaret(c, out);
    } else if (c == 0xC2 && next >= 0x80 && next <= 0x9F) {
      // U+0080 to U+009F, the C1 controls (U+009B starts a sequence too).
      out += "M-";
      AppendCaret(static_cast<unsigned char>(next - 0x80), out);
      ++i;
    } else {
      out.push_back(static_cast<char>(c));
    }
  }
  return out;
}

TTerminalWindow::TTerminalWindow() {
  g_pendingRequests.store(0);
  g_receivedRequests.store(0);
  struct sigaction action {};
  action.sa_handler = OnCloseSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGINT, &action, &previousInt_);
  sigaction(SIGTERM, &action, &previousTerm_);
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  sigaction(SIGXFSZ, &ignore, &previousFileSize_);
}

TTerminalWindow::~TTerminalWindow() {
  sigaction(SIGINT, &previousInt_, nullptr);
  sigaction(SIGTERM, &previousTerm_, nullptr);
  sigaction(SIGXFSZ, &previousFileSize_, nullptr);
}

void TTerminalWindow::AddText(const std::string& text) {
  std::string shown = EscapeControlCharacters(ToUtf8(LogLinesForDisplay(text)));
  std::fwrite(shown.data(), 1, shown.size(), stdout);
  std::fflush(stdout);
}

void TTerminalWindow::ProcessMessages() {
  while (g_pendingRequests.load() > 0) {
    g_pendingRequests.fetch_sub(1);
    DeliverCloseRequest();
  }
}

void TTerminalWindow::ShowMessage(const std::string& text) {
  std::string shown = EscapeControlCharacters(ToUtf8(LogLinesForDisplay(text)));
  std::fwrite(shown.data(), 1, shown.size(), stderr);
  std::fflush(stderr);
}

// The run's stack is not unwound, so its uncommitted output goes here.
void TTerminalWindow::Close() {
  RemoveTemporaryFilesNow();
  std::fflush(stdout);
  std::exit(kClosedStatus);
}

}  // namespace platform
