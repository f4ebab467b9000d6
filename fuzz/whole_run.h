// Runs the whole translator, from reading the source to the last generated
// file, over one source held in memory. The fuzz target and the replay of
// its corpus in the test suite share it, so both drive the same path.
#pragma once

#include <string>

// Writes source as "fuzz.f" into workFolder and runs the pass sequence on
// it with a window that shows nothing; the output goes to workFolder's
// "Vexnor" folder, the run log and the data files are in programFolder.
// Both folders end with "/". The source's size picks the switches, so that
// every input reaches both forms of the debug prints and, in half of the
// cases, the visualization pages: an odd size adds "-debug OFF", a size
// whose second bit is set adds "-visualization ON". Returns whether the run
// reported an error.
bool RunWholeTranslation(const std::string& source, const std::string& workFolder,
                         const std::string& programFolder);
