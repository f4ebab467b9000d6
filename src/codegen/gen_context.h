// What the code generators need of the run besides the region they write:
// the switches, the region list, the length of the region-name list, the
// reporter and the flag a close request sets.
#pragma once

#include <cstdint>

#include "platform/reporter.h"
#include "regions/pass4.h"

struct TGenContext {
  bool VisualFlag = false;
  bool DebugFlag = true;
  // Length of the comma-separated list of all region names (at least 1).
  int32_t RoutineListLength = 1;
  const TRegionList* RegionList = nullptr;
  TReporter* Reporter = nullptr;
  // Set while a run is asked to stop; read after progress lines.
  const bool* AbortFlag = nullptr;

  bool Aborted() const { return AbortFlag != nullptr && *AbortFlag; }
};
