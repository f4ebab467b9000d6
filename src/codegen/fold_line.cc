// Folding of generated Fortran lines at column 72.
#include "codegen/fold_line.h"

namespace {

const char kContinuation[] = "\n     &";
constexpr size_t kMarkLength = sizeof kContinuation - 1;
constexpr size_t kFirstPiece = 72;
constexpr size_t kNextPiece = kFirstPiece - kMarkLength;

constexpr size_t kLastColumn = 72;
// Columns 7 to 72 of a continuation line.
constexpr size_t kContinuedColumns = kLastColumn - 6;

// Removes continuation marks until none is left. A mark is dropped as soon
// as its last character has been copied, so a mark that closes only after
// an inner one went is removed too; the mark cannot overlap itself, so the
// order of removal does not change the outcome.
std::string Unfold(const std::string& text) {
  if (text.find(kContinuation) == std::string::npos) {
    return text;
  }
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    out.push_back(c);
    if (c == '&' && out.size() >= kMarkLength &&
        out.compare(out.size() - kMarkLength, kMarkLength, kContinuation) == 0) {
      out.resize(out.size() - kMarkLength);
    }
  }
  return out;
}

bool IsCommentLine(const std::string& line) {
  if (line.empty()) {
    return true;
  }
  char first = line[0];
  if (first == 'c' || first == 'C' || first == '*' || first == '!') {
    return true;
  }
  size_t i = line.find_first_not_of(' ');
  return i == std::string::npos || line[i] == '!';
}

// The position of a "!" that starts a trailing comment (not inside a
// character constant, not the continuation mark in column 6), or npos.
size_t TrailingComment(const std::string& line) {
  char quote = 0;
  for (size_t i = 0; i < line.size(); ++i) {
    char c = line[i];
    if (i == 5) {
      continue;
    }
    if (quote != 0) {
      if (c == quote) {
        quote = 0;
      }
    } else if (c == '\'' || c == '"') {
      quote = c;
    } else if (c == '!') {
      return i;
    }
  }
  return std::string::npos;
}

}  // namespace

std::string FoldLine(const std::string& text) {
  std::string flat = Unfold(text);
  if (flat.size() < kFirstPiece) {
    return flat;
  }
  size_t rest = flat.size() - kFirstPiece;
  std::string folded;
  folded.reserve(flat.size() + (rest / kNextPiece + 1) * kMarkLength);
  folded.append(flat, 0, kFirstPiece);
  for (size_t at = kFirstPiece; at < flat.size(); at += kNextPiece) {
    folded.append(kContinuation, kMarkLength);
    folded.append(flat, at, kNextPiece);
  }
  return folded;
}

std::string FitToColumn72(std::string line) {
  if (line.size() <= kLastColumn || IsCommentLine(line)) {
    return line;
  }
  size_t comment = TrailingComment(line);
  if (comment != std::string::npos) {
    line.erase(comment);
    while (!line.empty() && line.back() == ' ') {
      line.pop_back();
    }
  }
  if (line.size() <= kLastColumn || IsCommentLine(line)) {
    return line;
  }
  std::string out(line, 0, kLastColumn);
  for (size_t at = kLastColumn; at < line.size(); at += kContinuedColumns) {
    out.append(kContinuation, kMarkLength);
    out.append(line, at, kContinuedColumns);
  }
  return out;
}
