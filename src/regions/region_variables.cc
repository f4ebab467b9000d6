// Region variable analysis.
#include "regions/region_variables.h"

#include <algorithm>
#include <limits>
#include <unordered_map>

#include "frontend/declarations.h"
#include "frontend/text.h"

namespace {

bool Passable(const TValData& var) { return !var.IsArray || var.DimCount != 0; }

TToken& At(const TTuneRegion& region, int32_t i) {
  return *(*region.TokenList)[static_cast<size_t>(i)];
}

// The earliest DO loop of the region's unit that encloses the region, or -1.
int32_t EnclosingLoop(const TTuneRegion& region) {
  int32_t unit = At(region, region.StartIndex).Unit;
  int32_t outer = -1;
  for (int32_t i = region.StartIndex - 1; i >= 1 && At(region, i).Unit == unit; --i) {
    const TToken& t = At(region, i);
    if ((t.Kind == KwDo || t.Kind == KwDoWhile) && t.EndDoIndex > region.EndIndex) {
      outer = i;
    }
  }
  return outer;
}

}  // namespace

bool ProvidedBySharedInclude(const std::string& name) {
  std::string upper = UpperAscii(name);
  return upper == "MYID" || upper == "IERR" || upper.rfind("VEXNOR_", 0) == 0 ||
         upper.rfind("VEXNORLSM_", 0) == 0 || upper.rfind("MPI_", 0) == 0 ||
         upper.rfind("PMPI_", 0) == 0;
}

void CollectRegionVars(TTuneRegion& region) {
  std::vector<TRegionVar>& vars = region.RegionVars;
  vars.clear();
  std::unordered_map<const TValData*, size_t> listed;
  // Per entry: written inside and not yet known to be used afterwards.
  std::vector<bool> undecided;
  for (int32_t i = region.StartIndex; i <= region.EndIndex; ++i) {
    const TToken& t = At(region, i);
    if (t.Var == nullptr || listed.count(t.Var) != 0 || !Passable(*t.Var)) {
      continue;
    }
    if (ProvidedBySharedInclude(t.Var->Name)) {
      region.UsesSharedNames = true;
      continue;
    }
    if (t.Var->IsArgument || t.Access == AccessKind::Read || t.Access == AccessKind::ReadWrite) {
      listed[t.Var] = vars.size();
      vars.push_back({t.Var->Name, t.Var, true});
      undecided.push_back(false);
    } else if (t.Access == AccessKind::Write) {
      listed[t.Var] = vars.size();
      vars.push_back({t.Var->Name, t.Var, false});
      undecided.push_back(true);
    }
  }

  // A variable written inside is passed when its value is used afterwards:
  // the first use after the region decides, up to the end of the unit.
  size_t undecidedCount = 0;
  for (bool open : undecided) {
    undecidedCount += open ? 1 : 0;
  }
  auto decide = [&](int32_t i) {
    const TToken& t = At(region, i);
    if (t.Var == nullptr) {
      return;
    }
    auto found = listed.find(t.Var);
    if (found == listed.end() || !undecided[found->second]) {
      return;
    }
    if (t.Access == AccessKind::Read || t.Access == AccessKind::ReadWrite) {
      vars[found->second].Passed = true;
      undecided[found->second] = false;
      --undecidedCount;
    } else if (t.Access == AccessKind::Write) {
      undecided[found->second] = false;
      --undecidedCount;
    }
  };
  auto scan = [&](int32_t from, int32_t to) {
    for (int32_t i = from; i < to && undecidedCount > 0; ++i) {
      decide(i);
    }
  };
  const int32_t size = static_cast<int32_t>(region.TokenList->size());
  int32_t unitEnd = region.EndIndex;
  // The END of a block construct (end select, end where, ...) ends no
  // unit; the scan goes past it.
  while (unitEnd < size && !(At(region, unitEnd).Kind == KwEnd &&
                             ClassifyEnd(*region.TokenList, unitEnd) == EndsUnit)) {
    ++unitEnd;
  }
  // Inside a loop, the statements of the loop before the region run again
  // after it, before those after the loop.
  int32_t loop = undecidedCount > 0 ? EnclosingLoop(region) : -1;
  int32_t loopEnd = loop >= 0 ? std::min(At(region, loop).EndDoIndex, unitEnd) : unitEnd;
  scan(region.EndIndex, loopEnd);
  if (loop >= 0) {
    scan(loop, region.StartIndex);
  }
  scan(loopEnd, unitEnd);
  // Entries still undecided are locals: they were never marked Passed.

  // A passed array brings the variables of its type and dimension text.
  for (size_t k = 0; k < vars.size(); ++k) {
    const TValData* var = vars[k].Var;
    if (!vars[k].Passed || !var->IsArray || var->DimCount == 0) {
      continue;
    }
    auto bring = [&](int32_t from, int32_t to) {
      for (int32_t i = from; i >= 0 && i < to; ++i) {
        TValData* needed = At(region, i).Var;
        if (needed == nullptr || listed.count(needed) != 0 || !Passable(*needed)) {
          continue;
        }
        if (ProvidedBySharedInclude(needed->Name)) {
          region.UsesSharedNames = true;
          continue;
        }
        listed[needed] = vars.size();
        vars.push_back({needed->Name, needed, true});
      }
    };
    bring(var->TypeStart, var->TypeEnd);
    bring(var->DimStart, var->DimEnd);
  }
}

// A selection by declaration position: at each passed entry, the later
// passed entry with the smallest declaration index below its own (the first
// such entry on ties) is exchanged with it. A segment tree over the entries
// finds that entry without a scan.
void OrderRegionVars(TTuneRegion& region) {
  std::vector<TRegionVar>& vars = region.RegionVars;
  const size_t n = vars.size();
  if (n < 2) {
    return;
  }
  const int32_t none = std::numeric_limits<int32_t>::max();
  size_t leaves = 1;
  while (leaves < n) {
    leaves *= 2;
  }
  // Each node: the smallest key of its range and the first position holding it.
  std::vector<std::pair<int32_t, size_t>> tree(2 * leaves, {none, n});
  auto key = [&](size_t k) { return vars[k].Passed ? vars[k].Var->DeclIndex : none; };
  auto set = [&](size_t k) {
    size_t node = leaves + k;
    tree[node] = {key(k), k};
    for (node /= 2; node >= 1; node /= 2) {
      const auto& left = tree[2 * node];
      const auto& right = tree[2 * node + 1];
      tree[node] = right.first < left.first ? right : left;
    }
  };
  for (size_t k = 0; k < n; ++k) {
    set(k);
  }
  auto minimumFrom = [&](size_t from) {
    std::pair<int32_t, size_t> best{none, n};
    size_t lo = from + leaves;
    size_t hi = n - 1 + leaves;
    std::vector<size_t> rightNodes;
    while (lo <= hi) {
      if (lo % 2 == 1) {
        if (tree[lo].first < best.first) {
          best = tree[lo];
        }
        ++lo;
      }
      if (hi % 2 == 0) {
        rightNodes.push_back(hi);
        --hi;
      }
      lo /= 2;
      hi /= 2;
    }
    for (auto it = rightNodes.rbegin(); it != rightNodes.rend(); ++it) {
      if (tree[*it].first < best.first) {
        best = tree[*it];
      }
    }
    return best;
  };
  for (size_t i = 0; i + 1 < n; ++i) {
    if (!vars[i].Passed) {
      continue;
    }
    std::pair<int32_t, size_t> best = minimumFrom(i + 1);
    if (best.second < n && best.first < vars[i].Var->DeclIndex) {
      std::swap(vars[i], vars[best.second]);
      set(i);
      set(best.second);
    }
  }
}

void PropagateDependence(TTuneRegion& region) {
  const int32_t end = region.EndIndex;
  for (int32_t i = region.StartIndex; i <= end; ++i) {
    TToken& target = At(region, i);
    if (target.Var == nullptr || target.Access != AccessKind::Write) {
      continue;
    }
    uint32_t subscripts = 0;
    uint32_t values = 0;
    int32_t j = i + 1;
    for (; j < end && At(region, j).Kind != Assign && At(region, j).Kind != EndOfStatement; ++j) {
      if (At(region, j).Var != nullptr) {
        subscripts |= At(region, j).Var->DependMask;
      }
    }
    for (; j < end && At(region, j).Kind != EndOfStatement; ++j) {
      if (At(region, j).Var != nullptr) {
        values |= At(region, j).Var->DependMask;
      }
    }
    target.Var->DependMask |= values & ~subscripts;
    i = j;
  }
}

void BuildRefValStr(TTuneRegion& region) {
  region.SavedMasks.clear();
  for (int32_t i = region.StartIndex; i <= region.EndIndex; ++i) {
    const TValData* var = At(region, i).Var;
    if (var == nullptr) {
      continue;
    }
    region.SavedMasks.push_back(var->LoopMask);
    region.SavedMasks.push_back(var->BoundMask);
    region.SavedMasks.push_back(var->DependMask);
  }
  region.RefValStr.clear();
  for (int32_t i = region.StartIndex; i <= region.EndIndex; ++i) {
    TToken& t = At(region, i);
    if (t.Var == nullptr) {
      continue;
    }
    if (t.Var->DependMask != 0) {
      region.RefValStr += t.Text + ",";
    }
    t.Var->LoopMask = t.Var->BoundMask = t.Var->DependMask = 0;
  }
}

void RestoreMasks(const TTuneRegion& region, int32_t from, int32_t to, TMaskTable& masks) {
  const int32_t size = static_cast<int32_t>(region.TokenList->size());
  size_t next = 0;
  for (int32_t i = std::max(from, 0); i <= to && i < size && next + 3 <= region.SavedMasks.size();
       ++i) {
    const TValData* var = At(region, i).Var;
    if (var == nullptr) {
      continue;
    }
    TVarMasks& restored = masks[var];
    restored.LoopMask = region.SavedMasks[next];
    restored.BoundMask = region.SavedMasks[next + 1];
    restored.DependMask = region.SavedMasks[next + 2];
    next += 3;
  }
}
