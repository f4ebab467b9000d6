// Dispatchers and unroll candidates.
#include "codegen/candidates.h"

#include "codegen/call_site.h"
#include "codegen/column_fold.h"
#include "codegen/fold_line.h"
#include "codegen/type_text.h"
#include "codegen/unroll_writer.h"
#include "directives/script.h"
#include "frontend/text.h"
#include "regions/region_variables.h"

namespace {

const TToken& At(const TTuneRegion& region, int32_t i) {
  return *(*region.TokenList)[static_cast<size_t>(i)];
}

std::string DimensionText(const TTuneRegion& region, const TValData& var) {
  return var.DimStart >= 0 ? JoinSource(region, var.DimStart, var.DimEnd) : "";
}

// The argument names joined by separator.
std::string ArgumentList(const TTuneRegion& region, const std::string& separator) {
  std::string out;
  for (const TRegionVar& entry : region.RegionVars) {
    if (!entry.Passed) continue;
    if (!out.empty()) out += separator;
    out += entry.Var->Name;
  }
  return out;
}

bool IsVariedName(const TTuneRegion& region, const std::string& name) {
  auto in = [&name](const TVariedList& list) {
    for (int32_t u = 0; u < list.VariedCount; ++u) {
      if (SameText(name, list.VariedName[static_cast<size_t>(u)])) return true;
    }
    return false;
  };
  if (in(region)) return true;
  for (const auto& sub : region.SubRegions) {
    if (in(*sub)) return true;
  }
  return false;
}

// Declarations of the passed variables: variables of one type statement
// that follow each other share a line.
void WriteArgumentDeclarations(const TTuneRegion& region, bool fold, std::string& out) {
  std::string line;
  int32_t start = -1;
  bool started = false;
  auto flush = [&] {
    if (!line.empty()) out += (fold ? FoldLine(line) : line) + "\n";
  };
  for (const TRegionVar& entry : region.RegionVars) {
    if (!entry.Passed) continue;
    const TValData& var = *entry.Var;
    int32_t typeStart = CopiesDeclarationType(var) ? var.TypeStart : -1;
    if (!started || typeStart == -1 || typeStart != start) {
      flush();
      line = TypeText(region, var);
      started = !line.empty();
      if (!started) continue;  // a name known only as a function
      start = typeStart;
    } else {
      line += ",";
    }
    line += " " + var.Name + DimensionText(region, var);
  }
  flush();
}

// Declarations of the region's locals (the variables it does not pass), in
// the dispatcher of a select region and in every unroll candidate. A
// temporary that takes a value of an expanded loop index is declared once
// per copy the candidate needs, four names to a line.
void WriteLocalDeclarations(const TTuneRegion& region, std::string& out) {
  std::string line;
  std::string type;
  int32_t start = -1;
  bool started = false;
  auto flush = [&](const char* end) {
    if (!line.empty()) out += FoldLine(line) + end;
  };
  for (const TRegionVar& entry : region.RegionVars) {
    if (entry.Passed) continue;
    const TValData& var = *entry.Var;
    if (region.RegionType != RegionType::Unroll && IsVariedName(region, var.Name)) continue;
    if (var.TypeStart == -1 && var.ImplicitType.empty()) continue;  // default implicit type
    int32_t typeStart = CopiesDeclarationType(var) ? var.TypeStart : -1;
    if (!started || typeStart == -1 || typeStart != start) {
      flush("\n");
      type = CopiesDeclarationType(var) ? JoinSource(region, var.TypeStart, var.TypeEnd)
                                        : TypeText(region, var);
      line = type;
      started = !line.empty();
      if (!started) continue;
      start = typeStart;
    } else {
      line += ",";
    }
    const std::string dims = DimensionText(region, var);
    uint32_t mask = var.DependMask & region.ActiveMask;
    int32_t copies = mask == 0 ? 1 : DepthProduct(region, mask);
    for (int32_t h = 1; h <= copies; ++h) {
      if (h == 1) {
        line += " " + var.Name;
      } else if (h % 4 == 1) {
        flush(!type.empty() && type[0] == '\n' ? "" : "\n");
        line = type + " " + CopyName(region, var.Name, h);
      } else {
        line += ", " + CopyName(region, var.Name, h);
      }
      line += dims;
    }
  }
  flush("\n");
}

// The shared names a region uses (myid, MPI constants) come from the
// include file, as in the user's program.
void WriteSharedInclude(const TTuneRegion& region, std::string& out) {
  if (region.UsesSharedNames) out += "      include 'VexnorScript.h'\n";
}

void ShowProgress(const TGenContext& context, int32_t k, int32_t count) {
  if (context.Reporter != nullptr) {
    context.Reporter->ShowLine("Output Code " + std::to_string(k) + " / " + std::to_string(count));
  }
}

void WriteClosing(std::string& out) { out += "\n      return\n      end\n\n\n"; }

}  // namespace

void WriteCandidates(TTuneRegion& region, const TGenContext& context, std::string& out) {
  RestoreMasks(region, region.StartIndex, region.EndIndex);
  region.ActiveMask = 0;
  std::string text = FoldLine("      subroutine " + region.RoutineName + "(" +
                              ArgumentList(region, ", ") +
                              (ArgumentList(region, ", ").empty() ? "" : ", ") + "iusw1)") +
                     "\n";
  WriteArgumentDeclarations(region, true, text);
  if (region.RegionType != RegionType::Unroll) WriteLocalDeclarations(region, text);
  WriteSharedInclude(region, text);
  text += "      integer iusw1\n\n      select case(iusw1)\n";
  for (int32_t k = 1; k <= region.CaseCount; ++k) {
    if (k % 10 == 0) {
      ShowProgress(context, k, region.CaseCount);
      if (context.Aborted()) {
        out += FoldStatementLines(text);
        return;
      }
    }
    text += "        case(" + std::to_string(k) + ")\n";
    if (region.RegionType == RegionType::Unroll) {
      text += FoldLine("           call " + region.RoutineName + "_" + std::to_string(k) + "(" +
                       ArgumentList(region, ", ") + ")") +
              "\n";
    } else {
      WriteCase(region, context, k, text);
    }
  }
  text += "      end select\n";
  WriteClosing(text);
  out += FoldStatementLines(text);
  if (region.RegionType == RegionType::Unroll) WriteUnrollCandidates(region, context, out);
}

namespace {

// The unrolling depths of candidate k: the last unroll variable varies
// fastest, each from 1 to the size of its range.
void SetDepths(TTuneRegion& region, int32_t k) {
  region.ActiveMask = 0;
  int64_t t = k - 1;
  for (int32_t u = region.VariedCount - 1; u >= 0; --u) {
    size_t i = static_cast<size_t>(u);
    int64_t range = static_cast<int64_t>(region.VariedTo[i]) - region.VariedFrom[i] + 1;
    if (range < 1) range = 1;
    int64_t c = t % range;
    region.Depth[i] = static_cast<int32_t>(c + 1);
    if (c >= 1) region.ActiveMask |= 1u << u;
    t /= range;
  }
}

void PrepareNames(TTuneRegion& region) {
  region.UnrollCount = region.VariedCount;
  for (int32_t u = 0; u < region.VariedCount; ++u) {
    size_t i = static_cast<size_t>(u);
    const TToken* doToken = region.DoToken[i];
    region.DoTokIndex[i] = doToken != nullptr ? doToken->Index : -1;
    const TToken* index = region.IndexVarToken[i];
    std::string name = index != nullptr && index->Var != nullptr ? index->Var->Name : "";
    region.IndexName[i] = name;
    region.IndexRef[i] = name;
    region.BlockCountName[i] = UniqueName(region, name, "m");
    region.BlockIndexName[i] = UniqueName(region, name, "i");
    region.RemainderName[i] = UniqueName(region, name, "l");
  }
}

void WriteCandidateBody(TTuneRegion& region, int32_t k, std::string& out) {
  region.UnrollLevel = 0;
  region.ActiveMask = 0;
  for (int32_t i = region.StartIndex; i < region.EndIndex; ++i) {
    const TToken& record = At(region, i);
    if (record.Script) continue;
    if (record.Kind == BangComment || record.Kind == ColumnComment) {
      out += record.SrcText;
    } else if (record.Kind == EndOfStatement) {
      if (!record.SrcText.empty()) out += "\n";
    } else if (k == 1) {
      i = CopyStatement(region, out, i);
    } else if (record.Kind == KwDo) {
      i = WriteDoLoop(region, out, i, 0, 0);
    } else if (record.Kind == KwIf) {
      i = WriteIfBlock(region, out, i, 0, 0);
    } else if (record.Var != nullptr) {
      i = WriteStatement(region, out, i, 0, 0);
    } else {
      i = CopyStatement(region, out, i);
    }
  }
}

}  // namespace

void WriteUnrollCandidates(TTuneRegion& region, const TGenContext& context, std::string& out) {
  PrepareNames(region);
  for (int32_t k = 1; k <= region.CaseCount; ++k) {
    if (k % 10 == 0) {
      ShowProgress(context, k, region.CaseCount);
      if (context.Aborted()) return;
    }
    region.CurCase = k;
    SetDepths(region, k);
    std::string text = FoldLine("      subroutine " + region.RoutineName + "_" + std::to_string(k) +
                                "(" + ArgumentList(region, ", ") + ")") +
                       "\n";
    WriteArgumentDeclarations(region, true, text);
    WriteLocalDeclarations(region, text);
    WriteSharedInclude(region, text);
    text += "\n";
    WriteCandidateBody(region, k, text);
    WriteClosing(text);
    out += FoldStatementLines(text);
  }
}

namespace {

bool NameTaken(const TTuneRegion& region, const std::string& name) {
  for (const TRegionVar& entry : region.RegionVars) {
    if (SameText(entry.Var->Name, name)) return true;
  }
  return false;
}

std::string MadeUnique(const TTuneRegion& region, std::string name) {
  for (int tries = 0; tries < 100 && NameTaken(region, name); ++tries) name += "_";
  return name;
}

}  // namespace

std::string UniqueName(const TTuneRegion& region, const std::string& base,
                       const std::string& suffix) {
  return MadeUnique(region, base + suffix);
}

std::string CopyName(const TTuneRegion& region, const std::string& name, int32_t h) {
  size_t end = name.size();
  while (end > 0 && IsDigit(name[end - 1])) --end;
  std::string base = end == 0 ? name : name.substr(0, end);
  return MadeUnique(region, base + std::to_string(h));
}

int32_t DepthProduct(const TTuneRegion& region, uint32_t mask) {
  int64_t product = 1;
  for (int32_t u = 0; u < kMaxVaried; ++u) {
    if ((mask & (1u << u)) != 0) product *= region.Depth[static_cast<size_t>(u)];
    if (product > 1000000) return 1000000;
  }
  return static_cast<int32_t>(product);
}
