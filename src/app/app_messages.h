// Messages of the run driver and the log, in CP932.
#pragma once

#include <string>

namespace app_messages {

std::string ErrorPrefix();                          // *** Error ***
std::string Start();                                // **** Start ****
std::string SourceFileLine(const std::string& path);  // SrcFile ="<path>"
std::string SourceNotFound(const std::string& path);
std::string GiveCorrectFile();
std::string PassStart(int pass);                    // Pass<n> Start
std::string RegionHeading();
std::string RegionNumber(size_t index);
std::string End();                                  // **** End ****
std::string RunAborted();
std::string RunFailed();
std::string OutputUncertain();
std::string StoppingRun();
std::string CannotOpenLog(const std::string& path);
std::string CannotReadSource(const std::string& path, const std::string& reason);
std::string SourceTooLarge(const std::string& path);
// An output file that could not be completed or put in place.
std::string CannotWriteFile(const std::string& path, const std::string& reason);

}  // namespace app_messages
