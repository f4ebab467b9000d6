// The candidate writers' working state and the names it gives.
#include "codegen/unroll_state.h"

#include <algorithm>

#include "frontend/text.h"

TUnrollState::TUnrollState(const TTuneRegion& region) {
  RestoreMasks(region, region.StartIndex, region.EndIndex, Masks);
}

void TUnrollState::PrepareNames(const TTuneRegion& region) {
  UnrollCount = region.VariedCount;
  for (int32_t u = 0; u < region.VariedCount && u < kMaxVaried; ++u) {
    size_t i = static_cast<size_t>(u);
    const TToken* doToken = region.DoToken[i];
    DoTokIndex[i] = doToken != nullptr ? doToken->Index : -1;
    const TToken* index = region.IndexVarToken[i];
    std::string name = index != nullptr && index->Var != nullptr ? index->Var->Name : "";
    IndexName[i] = name;
    IndexRef[i] = name;
    BlockCountName[i] = UniqueName(region, name, "m");
    BlockIndexName[i] = UniqueName(region, name, "i");
    RemainderName[i] = UniqueName(region, name, "l");
  }
}

void TUnrollState::SetCase(const TTuneRegion& region, int32_t k) {
  CurCase = k;
  ActiveMask = 0;
  int64_t t = k - 1;
  for (int32_t u = std::min(region.VariedCount, kMaxVaried) - 1; u >= 0; --u) {
    size_t i = static_cast<size_t>(u);
    int64_t range = static_cast<int64_t>(region.VariedTo[i]) - region.VariedFrom[i] + 1;
    if (range < 1) {
      range = 1;
    }
    int64_t c = t % range;
    Depth[i] = static_cast<int32_t>(c + 1);
    if (c >= 1) {
      ActiveMask |= 1u << u;
    }
    t /= range;
  }
}

const TVarMasks& TUnrollState::MasksOf(const TValData& var) const {
  static const TVarMasks kNone;
  auto found = Masks.find(&var);
  return found != Masks.end() ? found->second : kNone;
}

namespace {

bool NameTaken(const TTuneRegion& region, const std::string& name) {
  for (const TRegionVar& entry : region.RegionVars) {
    if (SameText(entry.Var->Name, name)) {
      return true;
    }
  }
  return false;
}

std::string MadeUnique(const TTuneRegion& region, std::string name) {
  for (int tries = 0; tries < 100 && NameTaken(region, name); ++tries) {
    name += "_";
  }
  return name;
}

}  // namespace

std::string UniqueName(const TTuneRegion& region, const std::string& base,
                       const std::string& suffix) {
  return MadeUnique(region, base + suffix);
}

std::string CopyName(const TTuneRegion& region, const std::string& name, int32_t h) {
  size_t end = name.size();
  while (end > 0 && IsDigit(name[end - 1])) {
    --end;
  }
  std::string base = end == 0 ? name : name.substr(0, end);
  return MadeUnique(region, base + std::to_string(h));
}

int32_t DepthProduct(const TUnrollState& state, uint32_t mask) {
  int64_t product = 1;
  for (int32_t u = 0; u < kMaxVaried; ++u) {
    if ((mask & (1u << u)) != 0) {
      product *= state.Depth[static_cast<size_t>(u)];
    }
    if (product > 1000000) {
      return 1000000;
    }
  }
  return static_cast<int32_t>(product);
}
