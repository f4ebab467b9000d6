// The statements of a region's pre-processing ("pripro") or
// post-processing ("postpro") sub regions, which the tuning driver and the
// call site run around the measured or selected case.
#pragma once

#include "codegen/code_writer.h"
#include "platform/reporter.h"
#include "regions/tune_region.h"

enum TProcessingKind { Pripro = 0, Postpro = 1 };

// Writes the statements of every sub region of that kind, in source order,
// between two bracketing comment lines; nothing when there are none.
// Returns whether it wrote the block. A sub region without its end is
// reported, at every call.
bool WriteProcessingBlock(const TTuneRegion& region, TProcessingKind which, TReporter& reporter,
                          TCodeWriter& w);
