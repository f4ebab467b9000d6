// The shared writer of generated text.
#include "codegen/code_writer.h"

#include <cstdarg>
#include <cstdio>

#include "codegen/fold_line.h"

namespace {

// Every line the generators write ends so; a file opened in text mode
// turns it into the platform's line end.
constexpr std::string_view kLineEnd = "\n";

constexpr size_t kLastColumn = 72;

std::string VFormat(const char* format, va_list args) {
  va_list copy;
  va_copy(copy, args);
  int size = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  if (size <= 0) {
    return "";
  }
  std::string text(static_cast<size_t>(size), '\0');
  std::vsnprintf(text.data(), text.size() + 1, format, args);
  return text;
}

}  // namespace

void TCodeWriter::Line(std::string_view text) {
  Emit(text);
  Emit(kLineEnd);
}

void TCodeWriter::LineF(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string text = VFormat(format, args);
  va_end(args);
  Line(text);
}

void TCodeWriter::Folded(std::string_view statement) {
  Emit(FoldLine(std::string(statement)));
  Emit(kLineEnd);
}

void TCodeWriter::FoldedF(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string text = VFormat(format, args);
  va_end(args);
  Folded(text);
}

void TCodeWriter::FoldedWithEnd(std::string_view statement) {
  std::string text(statement);
  text.append(kLineEnd);
  Emit(FoldLine(text));
}

void TCodeWriter::FoldedSource(std::string_view text) { Emit(FoldLine(std::string(text))); }

void TCodeWriter::Comment(std::string_view text) {
  Line(text.substr(0, kLastColumn));
  for (size_t at = kLastColumn; at < text.size(); at += kLastColumn - 1) {
    Emit("c");
    Line(text.substr(at, kLastColumn - 1));
  }
}

void TCodeWriter::Raw(std::string_view text) { Emit(text); }

void TCodeWriter::Emit(std::string_view text) {
  if (fitting_ == 0) {
    sink_.Append(text);
    return;
  }
  for (size_t end = text.find('\n'); end != std::string_view::npos; end = text.find('\n')) {
    pendingLine_.append(text.substr(0, end));
    std::string fitted = FitToColumn72(std::move(pendingLine_));
    pendingLine_.clear();
    fitted.push_back('\n');
    sink_.Append(fitted);
    text.remove_prefix(end + 1);
  }
  pendingLine_.append(text);
}

void TCodeWriter::EndFitting() {
  if (--fitting_ > 0) {
    return;
  }
  if (!pendingLine_.empty()) {
    sink_.Append(FitToColumn72(std::move(pendingLine_)));
  }
  pendingLine_.clear();
}
