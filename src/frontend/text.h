// Small text helpers shared by the passes: ASCII letter case, as the
// system compares keywords, names and directive words.
#pragma once

#include <string>

// The text with ASCII letters in upper case; other bytes unchanged.
std::string UpperAscii(const std::string& text);

// Equality ignoring the case of ASCII letters.
bool SameText(const std::string& a, const std::string& b);
