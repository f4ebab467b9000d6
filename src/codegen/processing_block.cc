// Pre- and post-processing blocks.
#include "codegen/processing_block.h"

#include <string>

#include "directives/script.h"
#include "regions/regions_messages.h"

namespace {

// The source text of the block's statements, as written in the source.
std::string BlockStatements(const TTuneRegion& region, TProcessingKind which, TReporter& reporter) {
  const TTokenList& list = *region.TokenList;
  const DirectiveKind wanted = which == Pripro ? DirectiveKind::Pripro : DirectiveKind::Postpro;
  std::string statements;
  int32_t i = region.StartIndex;
  while (i < region.EndIndex) {
    const TScript* script = list[static_cast<size_t>(i)]->Script.get();
    if (script == nullptr || script->Mark != DirectiveMark::SubRegionStart) {
      ++i;
      continue;
    }
    bool taken = script->Kind == wanted;
    for (++i; i <= region.EndIndex; ++i) {
      const TToken& record = *list[static_cast<size_t>(i)];
      const TScript* inner = record.Script.get();
      if (inner == nullptr) {
        if (taken) {
          statements += record.SrcText;
        }
        continue;
      }
      if (inner->Mark == DirectiveMark::RegionStart) {
        // A region nested in the block: nothing of it is taken.
        while (i + 1 <= region.EndIndex) {
          const TScript* end = list[static_cast<size_t>(++i)]->Script.get();
          if (end != nullptr && end->Mark == DirectiveMark::RegionEnd) {
            break;
          }
        }
        continue;
      }
      if (inner->Mark == DirectiveMark::SubRegionEnd) {
        break;
      }
    }
    if (i >= region.EndIndex) {
      reporter.ReportError(regions_messages::SubRegionEndMissing());
    }
    ++i;
  }
  return statements;
}

}  // namespace

bool WriteProcessingBlock(const TTuneRegion& region, TProcessingKind which, TReporter& reporter,
                          TCodeWriter& w) {
  const std::string statements = BlockStatements(region, which, reporter);
  if (statements.empty()) {
    return false;
  }
  const char* word = which == Pripro ? "pripro" : "postpro";
  w.LineF("c!Vexnor$ %s sub region start", word);
  w.Raw(statements);
  w.LineF("c!Vexnor$ %s sub region end", word);
  return true;
}
