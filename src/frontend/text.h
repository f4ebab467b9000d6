// Small text helpers shared by the passes: ASCII letter classes and case, as
// the system compares keywords, names and directive words, and the one
// reader of integer texts (directive words and system-variable values).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// ASCII letters and decimal digits only; other bytes (Shift-JIS included)
// are neither.
bool IsLetter(char c);
bool IsDigit(char c);

// A byte of a Fortran name: an ASCII letter, a digit or "_".
bool IsNameChar(char c);

// The byte with an ASCII letter in upper or lower case; other bytes unchanged.
char UpperChar(char c);
char LowerChar(char c);

// The text with ASCII letters in upper (lower) case; other bytes unchanged.
std::string UpperAscii(const std::string& text);
std::string LowerAscii(const std::string& text);

// Equality ignoring the case of ASCII letters.
bool SameText(const std::string& a, const std::string& b);

// What ReadInteger found at the start of a text.
struct TIntegerText {
  int32_t Value = 0;       // saturated at the int32 limits
  bool Saturated = false;  // the digits gave a value beyond them
  size_t Digits = 0;
  size_t End = 0;  // the position after the last digit
};

// Reads leading blanks, an optional sign, then, when hexPrefix is set, an
// optional hexadecimal mark ("$", "x", "X", "0x" or "0X"), then digits up to
// the first other byte. Without digits the value is 0.
TIntegerText ReadInteger(const std::string& text, bool hexPrefix);

// The integer at the start of a directive word: decimal only, anything after
// the digits ignored, 0 without digits, saturating at the int32 limits.
int32_t LeadingInt(const std::string& word);

// A system-variable value: decimal or hexadecimal as ReadInteger reads it,
// at least one digit and nothing after the digits. False when the text is
// no such int32.
bool ReadIntegerConstant(const std::string& text, int32_t& value);
