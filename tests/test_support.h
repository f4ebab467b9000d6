// Helpers shared by the tests: a reporter that records what passes say, a
// window that records what it shows, and temporary folders.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "frontend/pass1.h"
#include "frontend/token.h"
#include "frontend/variable.h"
#include "platform/reporter.h"
#include "platform/window.h"
#include "regions/pass4.h"

// Records every line a pass reports, each prefixed by its operation.
class TRecordingReporter : public TReporter {
 public:
  void LogLine(const std::string& text) override { Lines.push_back("log: " + text); }
  void ShowLine(const std::string& text) override { Lines.push_back("show: " + text); }
  void ReportError(const std::string& text) override {
    Lines.push_back("error: " + text);
    ++Errors;
  }
  std::vector<std::string> Lines;
  int Errors = 0;
};

// A window that keeps its lines, counts message processing, and can be told
// to receive a close request when a given line is added.
class TFakeWindow : public platform::TWindow {
 public:
  void AddText(const std::string& text) override;
  void ProcessMessages() override;
  void ShowMessage(const std::string& text) override { Messages.push_back(text); }

  // A close request arrives when a line equal to text has been added.
  void RequestCloseAt(const std::string& text) { closeAt_.push_back(text); }

  std::vector<std::string> Lines;
  std::vector<std::string> Messages;
  int ProcessCount = 0;
  bool Closed = false;

 protected:
  void Close() override { Closed = true; }

 private:
  std::vector<std::string> closeAt_;
  int pending_ = 0;
};

// A fresh empty folder under the system's temporary folder, removed when
// the object goes. Path() ends with "/".
class TTempFolder {
 public:
  TTempFolder();
  ~TTempFolder();
  const std::string& Path() const { return path_; }
  std::string Write(const std::string& name, const std::string& bytes) const;

 private:
  std::string path_;
};

std::string ReadFileBytes(const std::string& path);

// The lines of a text, without their line ends.
std::vector<std::string> Lines(const std::string& text);

// "Kind Text" of every record between the Sentinels, one per line.
std::string Kinds(const TTokenList& list);

// Passes 1 to 4 over a source: its records, variables and regions, with
// what the passes reported.
struct TPipeline {
  explicit TPipeline(const std::string& source);
  const TTuneRegion& Region(size_t k = 0) const { return *Regions.at(k); }

  TRecordingReporter Reporter;
  TTokenList List;
  TValList Vars;
  TRegionList Regions;
  std::unique_ptr<TPass4> Pass;
};
