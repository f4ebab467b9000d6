// Conversions between the CP932 (Shift-JIS) bytes that the system keeps its
// texts in and the UTF-8 that its source code and the terminal use.
#pragma once

#include <string>

namespace platform {

// Converts a UTF-8 text to CP932 bytes. Characters without a CP932 form
// become "?".
std::string Sjis(const std::string& utf8);

// Converts CP932 bytes to UTF-8 for display. Bytes that are not valid CP932
// (the user's source may hold anything) are shown as "?".
std::string ToUtf8(const std::string& cp932);

}  // namespace platform
