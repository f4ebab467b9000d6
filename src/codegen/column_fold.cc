// Folding of finished statement lines.
#include "codegen/column_fold.h"

namespace {

constexpr size_t kLastColumn = 72;

bool IsCommentLine(const std::string& line) {
  if (line.empty()) return true;
  char first = line[0];
  if (first == 'c' || first == 'C' || first == '*' || first == '!') return true;
  size_t i = line.find_first_not_of(' ');
  return i == std::string::npos || line[i] == '!';
}

// The position of a "!" that starts a trailing comment (not inside a
// character constant, not the continuation mark in column 6), or npos.
size_t TrailingComment(const std::string& line) {
  char quote = 0;
  for (size_t i = 0; i < line.size(); ++i) {
    char c = line[i];
    if (i == 5) continue;
    if (quote != 0) {
      if (c == quote) quote = 0;
    } else if (c == '\'' || c == '"') {
      quote = c;
    } else if (c == '!') {
      return i;
    }
  }
  return std::string::npos;
}

void AppendFolded(std::string line, std::string& out) {
  if (line.size() > kLastColumn && !IsCommentLine(line)) {
    size_t comment = TrailingComment(line);
    if (comment != std::string::npos) {
      line.erase(comment);
      while (!line.empty() && line.back() == ' ') line.pop_back();
    }
  }
  if (line.size() <= kLastColumn || IsCommentLine(line)) {
    out += line;
    return;
  }
  out.append(line, 0, kLastColumn);
  for (size_t at = kLastColumn; at < line.size(); at += kLastColumn - 7 + 1) {
    out += "\n     &";
    out.append(line, at, kLastColumn - 6);
  }
}

}  // namespace

std::string FoldStatementLines(const std::string& text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) {
      AppendFolded(text.substr(start), out);
      break;
    }
    AppendFolded(text.substr(start, end - start), out);
    out += '\n';
    start = end + 1;
  }
  return out;
}
