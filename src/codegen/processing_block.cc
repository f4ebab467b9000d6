// Pre- and post-processing blocks.
#include "codegen/processing_block.h"

#include "directives/script.h"
#include "regions/regions_messages.h"

std::string ProcessingBlock(const TTuneRegion& region, TProcessingKind which, TReporter& reporter) {
  const TTokenList& list = *region.TokenList;
  const DirectiveKind wanted = which == Pripro ? DirectiveKind::Pripro : DirectiveKind::Postpro;
  std::string block;
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
        if (taken) block += record.SrcText;
        continue;
      }
      if (inner->Mark == DirectiveMark::RegionStart) {
        // A region nested in the block: nothing of it is taken.
        while (i + 1 <= region.EndIndex) {
          const TScript* end = list[static_cast<size_t>(++i)]->Script.get();
          if (end != nullptr && end->Mark == DirectiveMark::RegionEnd) break;
        }
        continue;
      }
      if (inner->Mark == DirectiveMark::SubRegionEnd) break;
    }
    if (i >= region.EndIndex) reporter.ReportError(regions_messages::SubRegionEndMissing());
    ++i;
  }
  if (block.empty()) return "";
  const char* word = which == Pripro ? "pripro" : "postpro";
  return std::string("c!Vexnor$ ") + word + " sub region start\n" + block + "c!Vexnor$ " + word +
         " sub region end\n";
}
