// The tuned-parameter lookup block of an Install or Static region: the
// Fortran that Vexnor_SetParm runs when it is asked for the region's case
// number. Without fitting it reads the region's parameter file and takes the
// best case of the smallest tuned problem size not below n; with
// least-squares fitting it reads the fitted coefficients and lets
// VexnorLSM_Est_Param estimate the case. Process 0 does the file work and
// broadcasts the case to all processes.
#pragma once

#include <cstdint>
#include <string>

#include "regions/tune_region.h"

// Appends the region's lookup block to out. The block uses the statement
// labels label, label + 1 and label + 2 (label 100, 110, ... from the
// caller), and the names Vexnor_SetParm declares (Vexnor_Routine, n, isw,
// ibsw, cbuf, digit and, with fitting, a_lsm, dtemp, nparm).
void WriteParamLookup(const TTuneRegion& region, int32_t label, std::string& out);

// A statement label as the lookup code writes it: one blank, then the
// number left-aligned in a field of six characters.
std::string LabelField(int32_t label);

// A Fortran line with its line end; a line longer than 72 columns is
// folded into "&" continuation lines.
std::string FoldedLine(const std::string& text);

// A comment line with its line end; a comment longer than 72 columns goes
// on in further comment lines.
std::string CommentLine(const std::string& text);
