// ASCII classes and case, and the integer reader.
#include "frontend/text.h"

#include <algorithm>
#include <limits>

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsNameChar(char c) { return IsLetter(c) || IsDigit(c) || c == '_'; }

char UpperChar(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

char LowerChar(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string UpperAscii(const std::string& text) {
  std::string out = text;
  for (char& c : out) {
    c = UpperChar(c);
  }
  return out;
}

std::string LowerAscii(const std::string& text) {
  std::string out = text;
  for (char& c : out) {
    c = LowerChar(c);
  }
  return out;
}

bool SameText(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) {
    return false;
  }
  for (size_t i = 0; i < a.size(); ++i) {
    if (UpperChar(a[i]) != UpperChar(b[i])) {
      return false;
    }
  }
  return true;
}

namespace {

// The value of c as a digit of base, or -1.
int DigitValue(char c, int base) {
  if (IsDigit(c)) {
    return c - '0';
  }
  char upper = UpperChar(c);
  if (base == 16 && upper >= 'A' && upper <= 'F') {
    return upper - 'A' + 10;
  }
  return -1;
}

}  // namespace

TIntegerText ReadInteger(const std::string& text, bool hexPrefix) {
  TIntegerText read;
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') {
    ++i;
  }
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  int base = 10;
  if (hexPrefix && i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
    base = 16;
    ++i;
  } else if (hexPrefix && i + 1 < text.size() && text[i] == '0' &&
             (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  // The magnitude stops at the limit of its sign, so it never overflows.
  const int64_t limit = negative ? -static_cast<int64_t>(std::numeric_limits<int32_t>::min())
                                 : std::numeric_limits<int32_t>::max();
  int64_t magnitude = 0;
  for (; i < text.size(); ++i) {
    int digit = DigitValue(text[i], base);
    if (digit < 0) {
      break;
    }
    magnitude = magnitude * base + digit;
    if (magnitude > limit) {
      magnitude = limit;
      read.Saturated = true;
    }
    ++read.Digits;
  }
  read.End = i;
  read.Value = static_cast<int32_t>(negative ? -magnitude : magnitude);
  return read;
}

int32_t LeadingInt(const std::string& word) { return ReadInteger(word, false).Value; }

bool ReadIntegerConstant(const std::string& text, int32_t& value) {
  TIntegerText read = ReadInteger(text, true);
  if (read.Digits == 0 || read.End != text.size() || read.Saturated) {
    return false;
  }
  value = read.Value;
  return true;
}
