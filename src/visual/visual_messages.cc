// Texts of the visualization pass's messages.
#include "visual/visual_messages.h"

namespace visual_messages {

std::string CannotCreate(const std::string& path) { return "File Create Err " + path; }

std::string CannotCopy(const std::string& path) { return "File Copy Err " + path; }

std::string CannotOpen(const std::string& path) { return "File Open Err " + path; }

}  // namespace visual_messages
