// The window realised as the terminal: log lines go to standard output as
// UTF-8, SIGINT and SIGTERM are close requests, the message box writes to
// standard error, and a granted close ends the process with status 130.
#pragma once

#include "platform/window.h"

namespace platform {

class TTerminalWindow : public TWindow {
 public:
  // Installs the SIGINT and SIGTERM handlers.
  TTerminalWindow();

  void AddText(const std::string& text) override;
  void ProcessMessages() override;
  void ShowMessage(const std::string& text) override;

  // Exit status of a process ended by a granted close request.
  static constexpr int kClosedStatus = 130;

 protected:
  void Close() override;
};

// Splits a text into the lines a log window shows: "\r\n", "\n" and "\r"
// each end a line, and a line break at the very end adds no empty line.
std::string LogLinesForDisplay(const std::string& text);

}  // namespace platform
