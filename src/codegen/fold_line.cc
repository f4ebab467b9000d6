// Folding of generated Fortran lines at column 72.
#include "codegen/fold_line.h"

namespace {

const char kContinuation[] = "\n     &";
constexpr size_t kMarkLength = sizeof kContinuation - 1;
constexpr size_t kFirstPiece = 72;
constexpr size_t kNextPiece = kFirstPiece - kMarkLength;

// Removes continuation marks until none is left. A mark is dropped as soon
// as its last character has been copied, so a mark that closes only after
// an inner one went is removed too; the mark cannot overlap itself, so the
// order of removal does not change the outcome.
std::string Unfold(const std::string& text) {
  if (text.find(kContinuation) == std::string::npos) return text;
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

}  // namespace

std::string FoldLine(const std::string& text) {
  std::string flat = Unfold(text);
  if (flat.size() < kFirstPiece) return flat;
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
