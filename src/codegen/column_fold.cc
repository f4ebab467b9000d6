// Folding of finished statement lines.
#include "codegen/column_fold.h"

#include "codegen/fold_line.h"

std::string FoldStatementLines(const std::string& text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) {
      out += FitToColumn72(text.substr(start));
      break;
    }
    out += FitToColumn72(text.substr(start, end - start));
    out += '\n';
    start = end + 1;
  }
  return out;
}
