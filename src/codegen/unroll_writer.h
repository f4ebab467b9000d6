// Writing the body statements of unroll candidates 2 and up, where loops
// are unrolled to the candidate's depths. Each writer is given the index of
// the record that begins a statement and returns the index of the last
// record it wrote; the candidate body goes on after it. The depths, masks
// and generated names come from the candidate writer's state.
#pragma once

#include <cstdint>

#include "codegen/code_writer.h"
#include "codegen/unroll_state.h"
#include "regions/tune_region.h"

// A DO loop with its body, up to its ENDDO.
int32_t WriteDoLoop(const TTuneRegion& region, TUnrollState& state, TCodeWriter& w, int32_t i,
                    uint32_t outerMask, int32_t copy);

// An IF statement or block.
int32_t WriteIfBlock(const TTuneRegion& region, TUnrollState& state, TCodeWriter& w, int32_t i,
                     uint32_t outerMask, int32_t copy);

// A statement that begins with a variable, as an assignment does.
int32_t WriteStatement(const TTuneRegion& region, TUnrollState& state, TCodeWriter& w, int32_t i,
                       uint32_t outerMask, int32_t copy);

// The statement that begins at record i copied unchanged, folded at column
// 72; returns the index of its end record.
int32_t CopyStatement(const TTuneRegion& region, TCodeWriter& w, int32_t i);
