// Runs the whole translator, from reading the source to the last generated
// file, over one source held in memory. The fuzz target and the replay of
// its corpus in the test suite share it, so both drive the same path.
#pragma once

#include <string>

// Writes source as "fuzz.f" into workFolder and runs the pass sequence on
// it with a window that shows nothing; the output goes to workFolder's
// "Vexnor" folder, the run log and the data files are in programFolder.
// Both folders end with "/". An odd-sized source is translated with
// "-debug OFF", so both forms of the debug prints are exercised. Returns
// whether the run reported an error.
bool RunWholeTranslation(const std::string& source, const std::string& workFolder,
                         const std::string& programFolder);
