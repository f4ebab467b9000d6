// What the code generators need of the run besides the region they write:
// the switches, the region list, the length of the region-name list, the
// system variables, the reporter and the flag a close request sets.
#pragma once

#include <cstdint>

#include "platform/reporter.h"
#include "regions/pass4.h"

struct TGenContext {
  explicit TGenContext(TReporter& reporter) : Reporter(reporter) {}

  TReporter& Reporter;
  bool VisualFlag = false;
  bool DebugFlag = true;
  // Length of the comma-separated list of all region names (at least 1).
  int32_t RoutineListLength = 1;
  const TRegionList* RegionList = nullptr;
  // The system variables the directive lines set, copied from Pass 4 when
  // it ends, so that nothing here depends on the pass object's lifetime.
  TSysVarTable SysVars;
  // Set while a run is asked to stop; read after progress lines.
  const bool* AbortFlag = nullptr;

  bool Aborted() const { return AbortFlag != nullptr && *AbortFlag; }
};
