// The summary of a tuning region that the log window shows after Pass 4, so
// that the user can check what the directives produced.
#pragma once

#include <string>

#include "regions/tune_region.h"

// Lines ended by "\r\n": kind, type and name; the argument line; the varied
// ranges; the dependent variables; the case and sub region counts; the cost
// rule of every sub region.
std::string RegionSummary(const TTuneRegion& region);
