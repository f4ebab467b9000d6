// The result page of one tuning region: its chart with the parameters the
// chart component reads, and the script of the data-list window that turns
// a row number into problem size, case number and parameter values.
#pragma once

#include <string>

#include "regions/tune_region.h"

std::string ResultPage(const TTuneRegion& region);
