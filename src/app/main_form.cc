// The run driver: command line, pass sequence, log and close protocol.
#include "app/main_form.h"

#include <cstdint>
#include <limits>

#include "app/app_messages.h"
#include "directives/directive_parser.h"
#include "frontend/declarations.h"
#include "frontend/pass1.h"
#include "frontend/text.h"
#include "output/pass5.h"
#include "regions/region_summary.h"
#include "visual/visual_dm.h"

TMainF::TMainF(platform::TWindow& window, std::string programFolder)
    : Memo1(window), programFolder_(std::move(programFolder)) {
  Memo1.SetCloseQuery([this] { return FormCloseQuery(); });
}

TMainF::~TMainF() { Memo1.SetCloseQuery(nullptr); }

void TMainF::FormCreate(const std::vector<std::string>& args) {
  OpenRunLog();
  ReadCommandLine(args);
  TokenList.clear();
  ValList.clear();
  RegionList.clear();
}

void TMainF::OpenRunLog() {
  std::string path = programFolder_ + "VexScriptLog.txt";
  if (!LogFile.Open(path)) {
    Memo1.ShowMessage(app_messages::CannotOpenLog(path));
  }
}

// The last argument that is neither a switch nor a switch value is the
// source path; a switch given as the very last argument is taken as the path.
void TMainF::ReadCommandLine(const std::vector<std::string>& args) {
  VisualFlag = false;
  DebugFlag = true;
  AbortFlag = false;
  FinishedFlag = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    bool last = i + 1 == args.size();
    if (SameText(arg, "-visualization") && !last) {
      if (SameText(args[++i], "ON")) {
        VisualFlag = true;
      }
    } else if (SameText(arg, "-debug") && !last) {
      DebugFlag = SameText(args[++i], "ON");
    } else {
      SourcePath = arg;
    }
  }
}

void TMainF::FormActivate() {
  ErrorFlag = false;
  Memo1.ProcessMessages();
  LogLine(app_messages::Start());
  LogLine(app_messages::SourceFileLine(SourcePath));
  if (!platform::FileExists(SourcePath)) {
    LogLine(app_messages::SourceNotFound(SourcePath));
    LogLine(app_messages::GiveCorrectFile());
    ErrorFlag = true;
    FinishedFlag = true;
    return;
  }

  // After Pass 1 the records of the source, classified and sliced.
  RunPass1();
  if (StopsHere()) {
    return;
  }
  // After Pass 2 the variable table and the records' scope and access marks.
  RunPass2();
  if (StopsHere()) {
    return;
  }
  // After Pass 3 every directive line carries its directive record.
  RunPass3();
  if (StopsHere()) {
    return;
  }
  // After Pass 4 the tuning regions, shown in the log even when one failed.
  RunPass4();
  ShowRegions();
  if (StopsHere()) {
    pass4_.reset();
    return;
  }
  // Pass 5 writes the output files; its errors are summed up at the end.
  RunPass5();
  // With the switch, the pages, log stubs and chart assets join them.
  if (VisualFlag) {
    visual_ = std::make_unique<TVisualDM>(SourcePath, TokenList, RegionList, *this, programFolder_);
    visual_->Run();
  }
  // The output written so far replaces the earlier output, or is dropped.
  CommitOutput();
  visual_.reset();
  pass5_.reset();
  pass4_.reset();
  FinishRun();
}

bool TMainF::StopsHere() {
  if (ErrorFlag) {
    FinishedFlag = true;
  }
  return ErrorFlag;
}

void TMainF::RunPass1() {
  LogLine(app_messages::PassStart(1));
  std::string source;
  std::string error;
  if (!platform::ReadWholeFile(SourcePath, source, error)) {
    Memo1.ShowMessage(app_messages::CannotReadSource(SourcePath, error));
    ErrorFlag = true;
    return;
  }
  if (source.size() > static_cast<size_t>(std::numeric_limits<int32_t>::max())) {
    Memo1.ShowMessage(app_messages::SourceTooLarge(SourcePath));
    ErrorFlag = true;
    return;
  }
  TokenList = BuildTokenList(source, *this);
}

void TMainF::RunPass2() {
  LogLine(app_messages::PassStart(2));
  AnalyseDeclarations(TokenList, ValList, *this);
}

void TMainF::RunPass3() {
  LogLine(app_messages::PassStart(3));
  ParseDirectives(TokenList);
}

void TMainF::RunPass4() {
  LogLine(app_messages::PassStart(4));
  pass4_ = std::make_unique<TPass4>(TokenList, ValList, RegionList, *this);
  pass4_->Run();
}

// Shown in the window only: the heading and every region's summary.
void TMainF::ShowRegions() {
  Show(app_messages::RegionHeading());
  for (size_t i = 0; i < RegionList.size(); ++i) {
    Show(app_messages::RegionNumber(i));
    Show(RegionSummary(*RegionList[i]));
  }
}

void TMainF::RunPass5() {
  LogLine(app_messages::PassStart(5));
  genContext_.VisualFlag = VisualFlag;
  genContext_.DebugFlag = DebugFlag;
  genContext_.RegionList = &RegionList;
  genContext_.SysVars = pass4_->SysVars;
  genContext_.AbortFlag = &AbortFlag;
  pass5_ = std::make_unique<TPass5>(SourcePath, TokenList, ValList, RegionList, genContext_,
                                    programFolder_);
  pass5_->Generate(RoutineListLength);
}

// Only a run without error or close request replaces the earlier output,
// and all of it together: every file is complete before any is renamed.
void TMainF::CommitOutput() {
  if (ErrorFlag || AbortFlag) {
    return;
  }
  std::vector<platform::TTextFile*> files = pass5_->OutputFiles();
  if (visual_) {
    std::vector<platform::TTextFile*> pages = visual_->OutputFiles();
    files.insert(files.begin(), pages.begin(), pages.end());
  }
  for (const platform::TTextFile* failed : platform::CommitTogether(files)) {
    ReportError(app_messages::CannotWriteFile(failed->Path(), failed->Error()));
  }
}

void TMainF::FinishRun() {
  LogLine(app_messages::End());
  if (AbortFlag) {
    LogLine(app_messages::RunAborted());
    LogLine(app_messages::OutputUncertain());
    ErrorFlag = true;
  } else if (ErrorFlag) {
    LogLine(app_messages::RunFailed());
    LogLine(app_messages::OutputUncertain());
  }
  FinishedFlag = true;
}

bool TMainF::FormCloseQuery() {
  if (FinishedFlag) {
    ErrorFlag = true;
    return true;
  }
  if (AbortFlag) {
    return true;
  }
  AbortFlag = true;
  LogLine(app_messages::StoppingRun());
  return false;
}

void TMainF::FormDestroy() {
  TokenList.clear();
  ValList.clear();
  RegionList.clear();
  LogFile.Close();
}

void TMainF::LogLine(const std::string& text) {
  Memo1.AddText(text);
  LogFile.Write(text + "\n");
  LogFile.Flush();
  Memo1.ProcessMessages();
}

void TMainF::ShowLine(const std::string& text) {
  Memo1.AddText(text);
  Memo1.ProcessMessages();
}

void TMainF::ReportError(const std::string& text) {
  Memo1.AddText(app_messages::ErrorPrefix() + text);
  LogFile.Write(text + "\n");
  LogFile.Flush();
  ErrorFlag = true;
}
