// Messages of the output pass, in CP932.
#pragma once

#include <string>

namespace output_messages {

// The folder's or the file's path (and the reason) come after the message.
std::string CannotCreateFolder(const std::string& path);
std::string CannotOpenFile(const std::string& path, const std::string& reason);
std::string NamesOverlap(const std::string& name, const std::string& other);
std::string NameTakenByGeneratedCode(const std::string& variable, const std::string& region);
std::string RegionProgress(size_t k, size_t count);  // TuneRegion = k/N

}  // namespace output_messages
