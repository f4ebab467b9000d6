// ASCII case helpers.
#include "frontend/text.h"

namespace {

char UpperByte(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

std::string UpperAscii(const std::string& text) {
  std::string out = text;
  for (char& c : out) c = UpperByte(c);
  return out;
}

bool SameText(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (UpperByte(a[i]) != UpperByte(b[i])) return false;
  }
  return true;
}
