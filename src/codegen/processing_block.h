// The statements of a region's pre-processing ("pripro") or
// post-processing ("postpro") sub regions, which the tuning driver and the
// call site run around the measured or selected case.
#pragma once

#include <string>

#include "platform/reporter.h"
#include "regions/tune_region.h"

enum TProcessingKind { Pripro = 0, Postpro = 1 };

// The statements of every sub region of that kind, in source order, between
// two bracketing comment lines; empty when there are none. A sub region
// without its end is reported.
std::string ProcessingBlock(const TTuneRegion& region, TProcessingKind which, TReporter& reporter);
