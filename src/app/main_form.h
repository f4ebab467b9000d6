// The main window: owns the run's shared lists and flags, reads the command
// line, runs the pass sequence and carries the log operations and the close
// protocol. The pass logic itself lives in the passes.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "frontend/token.h"
#include "frontend/variable.h"
#include "output/pass5.h"
#include "platform/files.h"
#include "platform/reporter.h"
#include "platform/window.h"
#include "regions/pass4.h"
#include "visual/visual_dm.h"

class TMainF : public TReporter {
 public:
  // window shows the log; programFolder (with its trailing separator) is
  // the executable's folder: it receives the run log file and holds the
  // data files the generators copy.
  TMainF(platform::TWindow& window, std::string programFolder);
  ~TMainF() override;
  TMainF(const TMainF&) = delete;
  TMainF& operator=(const TMainF&) = delete;

  // Opens the run log, reads the command line (the arguments after the
  // program path) and creates the empty lists.
  void FormCreate(const std::vector<std::string>& args);
  // Runs the whole pass sequence.
  void FormActivate();
  // Decides whether a close request is granted.
  bool FormCloseQuery();
  // Releases the lists and closes the run log.
  void FormDestroy();

  void LogLine(const std::string& text) override;
  void ShowLine(const std::string& text) override;
  void ReportError(const std::string& text) override;

  platform::TWindow& Memo1;
  platform::TTextFile LogFile;
  bool ErrorFlag = false;
  bool AbortFlag = false;
  bool FinishedFlag = false;
  bool VisualFlag = false;
  bool DebugFlag = true;
  std::string SourcePath;
  TTokenList TokenList;
  TValList ValList;
  TRegionList RegionList;
  int32_t RoutineListLength = 0;

 private:
  void OpenRunLog();
  void ReadCommandLine(const std::vector<std::string>& args);
  // After a pass: when it reported an error the run is finished early.
  bool StopsHere();
  void RunPass1();
  void RunPass2();
  void RunPass3();
  void RunPass4();
  void ShowRegions();
  void RunPass5();
  void CommitOutput();
  void FinishRun();
  // Adds a line to the window only, without handling pending requests.
  void Show(const std::string& text) { Memo1.AddText(text); }

  std::string programFolder_;
  // Lives from Pass 4 to the end of the run; Pass 5 gets a copy of its
  // system variables.
  std::unique_ptr<TPass4> pass4_;
  // Pass 5 and the visualization pass live until their files are committed.
  TGenContext genContext_{*this};
  std::unique_ptr<TPass5> pass5_;
  std::unique_ptr<TVisualDM> visual_;
};
