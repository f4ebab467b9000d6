// The tuned-parameter lookup block of an Install or Static region: the
// Fortran that Vexnor_SetParm runs when it is asked for the region's case
// number. Without fitting it reads the region's parameter file and takes the
// best case of the smallest tuned problem size not below n; with
// least-squares fitting it reads the fitted coefficients and lets
// VexnorLSM_Est_Param estimate the case. Process 0 does the file work and
// broadcasts the case to all processes.
#pragma once

#include <cstdint>

#include "codegen/code_writer.h"
#include "regions/tune_region.h"

// Writes the region's lookup block. The block uses the statement labels
// label, label + 1 and label + 2 (label 100, 110, ... from the caller),
// each written left-aligned in the six columns after one blank, and the
// names Vexnor_SetParm declares (Vexnor_Routine, n, isw, ibsw, cbuf, digit
// and, with fitting, a_lsm, dtemp, nparm).
void WriteParamLookup(const TTuneRegion& region, int32_t label, TCodeWriter& w);
