// Candidate body statements. Loops are not unrolled yet: every statement
// is copied as it stands, so candidates 2 and up compute what candidate 1
// computes.
#include "codegen/unroll_writer.h"

int32_t CopyStatement(const TTuneRegion& region, TCodeWriter& w, int32_t i) {
  std::string statement;
  int32_t j = i;
  for (; j < region.EndIndex; ++j) {
    const TToken& record = *(*region.TokenList)[static_cast<size_t>(j)];
    statement += record.SrcText;
    if (record.Kind == EndOfStatement) {
      break;
    }
  }
  if (j >= region.EndIndex) {
    j = region.EndIndex - 1;
  }
  w.FoldedSource(statement);
  return j;
}

int32_t WriteDoLoop(const TTuneRegion& region, TUnrollState&, TCodeWriter& w, int32_t i, uint32_t,
                    int32_t) {
  return CopyStatement(region, w, i);
}

int32_t WriteIfBlock(const TTuneRegion& region, TUnrollState&, TCodeWriter& w, int32_t i, uint32_t,
                     int32_t) {
  return CopyStatement(region, w, i);
}

int32_t WriteStatement(const TTuneRegion& region, TUnrollState&, TCodeWriter& w, int32_t i,
                       uint32_t, int32_t) {
  return CopyStatement(region, w, i);
}
