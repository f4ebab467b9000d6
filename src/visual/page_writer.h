// Collects the lines of one generated page or data file in memory, so that
// a page is written whole or not at all and tests compare its exact text.
#pragma once

#include <string>

class TPageWriter {
 public:
  // The text followed by a line end.
  void Line(const std::string& text);
  // A printf-style line: the format filled with its arguments, then a line
  // end.
  void LineF(const char* format, ...) __attribute__((format(printf, 2, 3)));
  // Text without a line end.
  void Put(const std::string& text);

  const std::string& Text() const { return text_; }

 private:
  std::string text_;
};
