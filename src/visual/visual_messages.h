// Messages of the visualization pass.
#pragma once

#include <string>

namespace visual_messages {

std::string CannotCreate(const std::string& path);  // File Create Err <path>
std::string CannotCopy(const std::string& path);    // File Copy Err <path>
std::string CannotOpen(const std::string& path);    // File Open Err <path>

}  // namespace visual_messages
