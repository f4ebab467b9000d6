// The dispatcher of a tuning region, which runs one case through a SELECT
// CASE, and for unroll regions one candidate subroutine per combination of
// unrolling depths.
#pragma once

#include "codegen/code_writer.h"
#include "codegen/gen_context.h"
#include "codegen/unroll_state.h"
#include "regions/tune_region.h"

// Writes the region's dispatcher and, for an unroll region, its candidates.
// Stops early, leaving the region unfinished, when the run is asked to stop.
void WriteCandidates(const TTuneRegion& region, const TGenContext& context, TCodeWriter& w);

// The candidates of an unroll region, one per case, written with the state
// the dispatcher restored the masks into.
void WriteUnrollCandidates(const TTuneRegion& region, TUnrollState& state,
                           const TGenContext& context, TCodeWriter& w);
