// The least-squares fitting blocks of a tuning driver: the pieces a driver
// of a region with a fitting rule (FitMethod non-zero) holds besides its
// measurement. The driver calls each one at its place and only for such a
// region; each writes its Fortran lines through the driver's writer.
#pragma once

#include <cstdint>

#include "codegen/code_writer.h"
#include "regions/tune_region.h"

// Declarations of the fitting arrays (samples, estimates, coefficients),
// written before the driver's working variables.
void WriteFittingDeclarations(const TTuneRegion& region, TCodeWriter& w);

// Setting of the fitting variables (case count, sample count, number of
// problem sizes, order, sample index), written right after the list of
// cases to measure. measuredCount is the length of that list.
void WriteFittingVariables(const TTuneRegion& region, int32_t measuredCount, TCodeWriter& w);

// Keeping the measured case and its time as a sample, written at the end of
// each pass of the case loop ("iloop_" + lower-case kind name is that
// loop's variable).
void WriteFittingSample(const TTuneRegion& region, TCodeWriter& w);

// The fit over the samples of one problem size and the estimated best case,
// written after the case loop, before the size's parameter-file record.
void WriteFittingSelection(const TTuneRegion& region, int32_t measuredCount, TCodeWriter& w);

// The fit over all problem sizes and the fitting result file, written after
// the parameter file is closed.
void WriteFittingEstimation(const TTuneRegion& region, TCodeWriter& w);
