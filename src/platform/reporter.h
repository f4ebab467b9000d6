// What a pass may say to the user: progress lines for the window and the run
// log, lines for the window only, and errors that stop the run after the
// current pass. The main window implements it; tests hand passes a recorder.
#pragma once

#include <string>

class TReporter {
 public:
  virtual ~TReporter() = default;

  // A progress line for the window and the run log file.
  virtual void LogLine(const std::string& text) = 0;

  // A line for the window only.
  virtual void ShowLine(const std::string& text) = 0;

  // An error: shown with the error prefix, written to the run log file, and
  // the run stops after the current pass.
  virtual void ReportError(const std::string& text) = 0;
};

// Takes messages nobody is to see (benchmarks, generation without a run).
class TSilentReporter : public TReporter {
 public:
  void LogLine(const std::string&) override {}
  void ShowLine(const std::string&) override {}
  void ReportError(const std::string&) override {}
};
