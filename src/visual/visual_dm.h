// The visualization pass: the summary page, the progress-log stubs, the
// result page of every region and the chart assets, written into the output
// folder so that a browser can follow and chart the generated program's
// tuning runs.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "frontend/token.h"
#include "platform/files.h"
#include "platform/reporter.h"
#include "regions/pass4.h"

class TVisualDM {
 public:
  // sourcePath names the annotated source (the output folder "Vexnor" is
  // beside it); programFolder, with its trailing separator, holds the
  // data folder vex_data with the chart assets.
  TVisualDM(const std::string& sourcePath, const TTokenList& tokenList,
            const TRegionList& regionList, TReporter& reporter, std::string programFolder);

  // Writes every page and stub and copies the assets. Failures are
  // reported; the pass always goes on with the next file.
  void Run();

  // The files written, complete under temporary names, for the driver to
  // commit once the run has succeeded.
  std::vector<platform::TTextFile*> OutputFiles() const;

  // The folder of the source without a trailing separator.
  std::string OutDir;
  const TRegionList& Regions;

 private:
  void WriteSummaryPage();
  void WriteOverallStub();
  void WriteRegionStub(const TTuneRegion& region);
  void WriteResultPage(const TTuneRegion& region);
  // False when a copy failed (and was reported).
  bool CopyAssets();
  // An asset of the data folder copied to the same place in the output
  // folder, and a folder created there; false after reporting a failure.
  bool CopyAsset(const std::string& name);
  bool CreateAssetFolder(const std::string& name);
  // Writes text to a temporary for path; when it cannot be opened or
  // written reports message. False after a report.
  bool WriteFile(const std::string& path, const std::string& text, const std::string& message);

  std::string sourcePath_;
  const TTokenList& tokenList_;
  TReporter& reporter_;
  std::string programFolder_;
  std::vector<std::unique_ptr<platform::TTextFile>> files_;
};
