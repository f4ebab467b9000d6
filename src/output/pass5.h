// Pass 5: creates the output folder "Vexnor" beside the source with its
// five files, checks the region names, and writes the control routines,
// every region's dispatcher and candidates, and the transformed source;
// the files take their names only when the run has succeeded.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "codegen/gen_context.h"
#include "frontend/token.h"
#include "frontend/variable.h"
#include "platform/files.h"
#include "regions/pass4.h"

class TPass5 {
 public:
  // Creates the folder and opens the files; failures are reported through
  // the context's reporter. executableFolder ends with a separator.
  TPass5(const std::string& sourcePath, TTokenList& tokenList, TValList& valList,
         TRegionList& regionList, TGenContext& context, std::string executableFolder);
  // Closes the files that opened; output not committed is dropped.
  ~TPass5();
  TPass5(const TPass5&) = delete;
  TPass5& operator=(const TPass5&) = delete;

  // Writes everything; sets routineListLength (and the context's) first.
  void Generate(int32_t& routineListLength);

  // The five files, written as temporaries that the driver commits once
  // the run has succeeded (none when the folder or a file did not open).
  std::vector<platform::TTextFile*> OutputFiles();

  std::string SourceName;
  TTokenList& TokenList;
  TValList& ValList;
  TRegionList& RegionList;
  platform::TTextFile SourceFile;
  platform::TTextFile InstallFile;
  platform::TTextFile StaticFile;
  platform::TTextFile DynamicFile;
  platform::TTextFile ControlFile;
  bool InstallFitting = false;

 private:
  void CheckNameOverlaps();
  void CheckGeneratedNames();
  platform::TTextFile& FileOf(const TTuneRegion& region);

  TGenContext& context_;
  std::string executableFolder_;
  bool ready_ = true;  // the folder and every file opened
};

// The folder part of a path without its trailing separator, or the current
// folder when the path has none; and the file name part.
std::string FolderOf(const std::string& path);
std::string FileNameOf(const std::string& path);
