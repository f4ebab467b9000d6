// Helpers shared by the tests: a reporter that records what passes say, a
// window that records what it shows, temporary folders, shell commands and
// the translator as a user runs it.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "codegen/code_writer.h"
#include "codegen/gen_context.h"
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

// What a shell command said and how it ended: Status is the exit status
// (128 + the signal number after a signal, 124 after a "timeout" limit, 127
// when the command was not found, -1 when the shell could not be started);
// Output holds standard output and standard error together.
struct TCommandResult {
  int Status = -1;
  std::string Output;
  bool Ok() const { return Status == 0; }
};

// Quotes text for the POSIX shell.
std::string ShellQuote(const std::string& text);

// Runs command through the shell, inside folder when one is given.
TCommandResult RunCommand(const std::string& command, const std::string& folder = "");

// The built vexnorscript linked into a temporary folder with a copy of its
// data files, so that what a run writes beside the executable (the run log)
// stays in that folder.
class TTranslator {
 public:
  TTranslator();
  // Runs the translator with the arguments, each quoted for the shell.
  TCommandResult Run(const std::vector<std::string>& arguments) const;
  // The linked executable, for tests that start it themselves.
  std::string Executable() const;
  std::string RunLog() const { return ReadFileBytes(folder_.Path() + "VexScriptLog.txt"); }

 private:
  TTempFolder folder_;
};

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

// A generation context for the pipeline's regions, with the system
// variables its Pass 4 collected, reporting to reporter.
TGenContext ContextFor(const TPipeline& pipeline, TReporter& reporter);

// The text that write gives a writer.
template <typename TWrite>
std::string Written(TWrite write) {
  TStringSink sink;
  TCodeWriter writer(sink);
  write(writer);
  return sink.Text();
}
