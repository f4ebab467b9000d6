// The window realised as the terminal: log lines go to standard output as
// UTF-8 with control bytes made visible, SIGINT and SIGTERM are close
// requests, the message box writes to standard error, and a granted close
// ends the process with status 130.
#pragma once

#include <csignal>

#include "platform/window.h"

namespace platform {

class TTerminalWindow : public TWindow {
 public:
  // Installs the SIGINT and SIGTERM handlers and ignores SIGXFSZ, so that
  // a write past the file size limit fails and is reported instead of
  // ending the process without a word.
  TTerminalWindow();
  // Puts back the signal handling found at construction.
  ~TTerminalWindow() override;
  TTerminalWindow(const TTerminalWindow&) = delete;
  TTerminalWindow& operator=(const TTerminalWindow&) = delete;

  void AddText(const std::string& text) override;
  void ProcessMessages() override;
  void ShowMessage(const std::string& text) override;

  // Exit status of a process ended by a granted close request, and by a
  // second close request, which ends the process at once (removing the
  // output files not yet committed) without waiting for the run.
  static constexpr int kClosedStatus = 130;

 protected:
  void Close() override;

 private:
  struct sigaction previousInt_ {};
  struct sigaction previousTerm_ {};
  struct sigaction previousFileSize_ {};
};

// Splits a text into the lines a log window shows: "\r\n", "\n" and "\r"
// each end a line, and a line break at the very end adds no empty line.
std::string LogLinesForDisplay(const std::string& text);

// Makes the control characters of a UTF-8 text visible the way `cat -v`
// does ("^[" for ESC, "^?" for DEL, "M-^[" for U+009B), so that a source
// line quoted in a message cannot drive the terminal. Line breaks and TAB
// stay as they are.
std::string EscapeControlCharacters(const std::string& utf8);

}  // namespace platform
