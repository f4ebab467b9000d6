// Pass 4: collects the system variables set by directive lines, builds one
// tuning region per region-start directive and orders the regions by their
// numbers. The object outlives the pass: regions point back to it, and the
// code generators read the system variables through it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "frontend/token.h"
#include "frontend/variable.h"
#include "platform/reporter.h"
#include "regions/tune_region.h"

using TRegionList = std::vector<std::unique_ptr<TTuneRegion>>;

class TPass4 {
 public:
  TPass4(TTokenList& tokenList, TValList& valList, TRegionList& regionList, TReporter& reporter);

  void Run();

  // Position of a system variable in SysVars, found ignoring letter case,
  // or -1.
  int32_t FindSysVar(const std::string& name) const;
  int32_t SysVarValue(int32_t index) const { return SysVars[static_cast<size_t>(index)].second; }

  TTokenList& TokenList;
  TValList& ValList;
  // Name as written, with its value, in the order they were set.
  std::vector<std::pair<std::string, int32_t>> SysVars;
  TRegionList& RegionList;
  TReporter& Reporter;

 private:
  bool ReadSystemVariable(const std::string& statement);
  void SortRegions();

  std::unordered_map<std::string, int32_t> sysVarIndex_;  // upper-cased name
};
