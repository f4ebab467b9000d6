// Pass 4: collects the system variables set by directive lines, builds one
// tuning region per region-start directive and orders the regions by their
// numbers. The code generators get a copy of the system variables.
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

// The system variables set by directive lines, in the order they were set,
// found by name ignoring letter case.
class TSysVarTable {
 public:
  // Adds the variable; false when one of that name is set already.
  bool Add(const std::string& name, int32_t value);
  // Position of the variable, or -1.
  int32_t Find(const std::string& name) const;
  // The value at a position Find gave; 0 for any other position.
  int32_t Value(int32_t index) const {
    return index >= 0 && static_cast<size_t>(index) < entries_.size()
               ? entries_[static_cast<size_t>(index)].second
               : 0;
  }
  size_t size() const { return entries_.size(); }

 private:
  // Name as written, with its value.
  std::vector<std::pair<std::string, int32_t>> entries_;
  std::unordered_map<std::string, int32_t> index_;  // upper-cased name
};

class TPass4 {
 public:
  TPass4(TTokenList& tokenList, TValList& valList, TRegionList& regionList, TReporter& reporter);

  void Run();

  // Position of a system variable in SysVars, found ignoring letter case,
  // or -1.
  int32_t FindSysVar(const std::string& name) const { return SysVars.Find(name); }
  int32_t SysVarValue(int32_t index) const { return SysVars.Value(index); }

  TTokenList& TokenList;
  TValList& ValList;
  TSysVarTable SysVars;
  TRegionList& RegionList;
  TReporter& Reporter;

 private:
  bool ReadSystemVariable(const std::string& statement);
  void SortRegions();
};
