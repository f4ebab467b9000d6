// The tuning driver of a region: a generated Fortran subroutine that times
// every case of the region with MPI timers over a range of problem sizes
// (or once, at run time, for a Dynamic region), keeps the fastest case per
// size in the region's parameter file and, with visualization, writes the
// progress and log files the pages chart.
#pragma once

#include "codegen/code_writer.h"
#include "codegen/gen_context.h"
#include "regions/tune_region.h"

// Writes the region's tuning driver. The context's RegionList must hold the
// region (its position numbers the region's progress entry). When neither
// the system variable Vexnor_ENDTUNESIZE nor a parameter N or NN with a
// known value gives the largest problem size, reports that through the
// context's reporter and leaves the driver after its heading.
void WriteTuningRoutine(const TTuneRegion& region, const TGenContext& context, TCodeWriter& w);
