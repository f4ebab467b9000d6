// The in-memory page writer.
#include "visual/page_writer.h"

#include <cstdarg>
#include <cstdio>

void TPageWriter::Line(const std::string& text) {
  text_ += text;
  text_ += '\n';
}

void TPageWriter::LineF(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  int size = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  if (size > 0) {
    size_t start = text_.size();
    text_.resize(start + static_cast<size_t>(size) + 1);
    std::vsnprintf(&text_[start], static_cast<size_t>(size) + 1, format, args);
    text_.resize(start + static_cast<size_t>(size));
  }
  va_end(args);
  text_ += '\n';
}

void TPageWriter::Put(const std::string& text) { text_ += text; }
