// Shared test helpers.
#include "test_support.h"

#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "directives/directive_parser.h"
#include "frontend/declarations.h"
#include "frontend/pass1.h"
#include "platform/terminal_window.h"

void TFakeWindow::AddText(const std::string& text) {
  std::string lines = platform::LogLinesForDisplay(text);
  size_t start = 0;
  while (start < lines.size()) {
    size_t end = lines.find('\n', start);
    std::string line = lines.substr(start, end - start);
    Lines.push_back(line);
    for (const std::string& at : closeAt_) {
      if (at == line) {
        ++pending_;
      }
    }
    start = end + 1;
  }
}

void TFakeWindow::ProcessMessages() {
  ++ProcessCount;
  while (pending_ > 0) {
    --pending_;
    DeliverCloseRequest();
  }
}

TTempFolder::TTempFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "vexnor-test-XXXXXX").string();
  char* made = mkdtemp(pattern.data());
  path_ = std::string(made ? made : pattern.c_str()) + "/";
}

TTempFolder::~TTempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string TTempFolder::Write(const std::string& name, const std::string& bytes) const {
  std::string path = path_ + name;
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file != nullptr) {
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
  }
  return path;
}

std::string ReadFileBytes(const std::string& path) {
  std::string bytes;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    return bytes;
  }
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
    bytes.append(buffer, n);
  }
  std::fclose(file);
  return bytes;
}

std::string ShellQuote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

TCommandResult RunCommand(const std::string& command, const std::string& folder) {
  TCommandResult result;
  std::string line =
      (folder.empty() ? "" : "cd " + ShellQuote(folder) + " && ") + command + " 2>&1";
  std::FILE* pipe = popen(line.c_str(), "r");
  if (pipe == nullptr) {
    result.Output = "cannot start: " + line;
    return result;
  }
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
    result.Output.append(buffer, n);
  }
  int status = pclose(pipe);
  if (status != -1 && WIFEXITED(status)) {
    result.Status = WEXITSTATUS(status);
  } else if (status != -1 && WIFSIGNALED(status)) {
    result.Status = 128 + WTERMSIG(status);
  }
  return result;
}

// A hard link needs no room; a copy is the way out when the temporary
// folder lies on another file system.
TTranslator::TTranslator() {
  namespace fs = std::filesystem;
  const fs::path exe(VEXNOR_EXE);
  const fs::path linked = fs::path(folder_.Path()) / exe.filename();
  std::error_code error;
  fs::create_hard_link(exe, linked, error);
  if (error) {
    fs::copy_file(exe, linked, error);
  }
  fs::copy(exe.parent_path() / "vex_data", fs::path(folder_.Path()) / "vex_data",
           fs::copy_options::recursive, error);
}

std::string TTranslator::Executable() const {
  return folder_.Path() + std::filesystem::path(VEXNOR_EXE).filename().string();
}

TCommandResult TTranslator::Run(const std::vector<std::string>& arguments) const {
  std::string command = ShellQuote(Executable());
  for (const std::string& argument : arguments) {
    command += " " + ShellQuote(argument);
  }
  return RunCommand(command);
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) {
      end = text.size();
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

std::string Kinds(const TTokenList& list) {
  std::string out;
  for (size_t i = 1; i + 1 < list.size(); ++i) {
    out += KindName(list[i]->Kind) + " " + list[i]->Text + "\n";
  }
  return out;
}

TPipeline::TPipeline(const std::string& source) {
  List = BuildTokenList(source, Reporter);
  AnalyseDeclarations(List, Vars, Reporter);
  ParseDirectives(List);
  Pass = std::make_unique<TPass4>(List, Vars, Regions, Reporter);
  Pass->Run();
}

TGenContext ContextFor(const TPipeline& pipeline, TReporter& reporter) {
  TGenContext context(reporter);
  context.RegionList = &pipeline.Regions;
  context.SysVars = pipeline.Pass->SysVars;
  return context;
}
