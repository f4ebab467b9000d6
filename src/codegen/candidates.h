// The dispatcher of a tuning region, which runs one case through a SELECT
// CASE, and for unroll regions one candidate subroutine per combination of
// unrolling depths.
#pragma once

#include <cstdint>
#include <string>

#include "codegen/gen_context.h"
#include "regions/tune_region.h"

// Writes the region's dispatcher and, for an unroll region, its candidates.
// Stops early, leaving the region unfinished, when the run is asked to stop.
void WriteCandidates(TTuneRegion& region, const TGenContext& context, std::string& out);

// The candidates of an unroll region, one per case.
void WriteUnrollCandidates(TTuneRegion& region, const TGenContext& context, std::string& out);

// base + suffix, with "_" appended while a variable of the region has that
// name (at most 100 times).
std::string UniqueName(const TTuneRegion& region, const std::string& base,
                       const std::string& suffix);

// The name of copy h (h >= 2) of a variable: its name without trailing
// digits, then h, made unique like UniqueName.
std::string CopyName(const TTuneRegion& region, const std::string& name, int32_t h);

// The product of the depths of the unroll variables whose bits are set.
int32_t DepthProduct(const TTuneRegion& region, uint32_t mask);
