// Dispatchers and unroll candidates.
#include "codegen/candidates.h"

#include "codegen/call_site.h"
#include "codegen/column_fold.h"
#include "codegen/fold_line.h"
#include "codegen/type_text.h"
#include "codegen/unroll_writer.h"
#include "directives/script.h"
#include "frontend/text.h"

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
void WriteLocalDeclarations(const TTuneRegion& region, const TUnrollState& state,
                            std::string& out) {
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
    uint32_t mask = state.MasksOf(var).DependMask & state.ActiveMask;
    int32_t copies = mask == 0 ? 1 : DepthProduct(state, mask);
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
  context.Reporter.ShowLine("Output Code " + std::to_string(k) + " / " + std::to_string(count));
}

void WriteClosing(std::string& out) { out += "\n      return\n      end\n\n\n"; }

}  // namespace

void WriteCandidates(const TTuneRegion& region, const TGenContext& context, std::string& out) {
  TUnrollState state(region);
  std::string text = FoldLine("      subroutine " + region.RoutineName + "(" +
                              ArgumentList(region, ", ") +
                              (ArgumentList(region, ", ").empty() ? "" : ", ") + "iusw1)") +
                     "\n";
  WriteArgumentDeclarations(region, true, text);
  if (region.RegionType != RegionType::Unroll) WriteLocalDeclarations(region, state, text);
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
  if (region.RegionType == RegionType::Unroll) WriteUnrollCandidates(region, state, context, out);
}

namespace {

void WriteCandidateBody(const TTuneRegion& region, TUnrollState& state, int32_t k,
                        std::string& out) {
  state.UnrollLevel = 0;
  state.ActiveMask = 0;
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
      i = WriteDoLoop(region, state, out, i, 0, 0);
    } else if (record.Kind == KwIf) {
      i = WriteIfBlock(region, state, out, i, 0, 0);
    } else if (record.Var != nullptr) {
      i = WriteStatement(region, state, out, i, 0, 0);
    } else {
      i = CopyStatement(region, out, i);
    }
  }
}

}  // namespace

void WriteUnrollCandidates(const TTuneRegion& region, TUnrollState& state,
                           const TGenContext& context, std::string& out) {
  state.PrepareNames(region);
  for (int32_t k = 1; k <= region.CaseCount; ++k) {
    if (k % 10 == 0) {
      ShowProgress(context, k, region.CaseCount);
      if (context.Aborted()) return;
    }
    state.SetCase(region, k);
    std::string text = FoldLine("      subroutine " + region.RoutineName + "_" + std::to_string(k) +
                                "(" + ArgumentList(region, ", ") + ")") +
                       "\n";
    WriteArgumentDeclarations(region, true, text);
    WriteLocalDeclarations(region, state, text);
    WriteSharedInclude(region, text);
    text += "\n";
    WriteCandidateBody(region, state, k, text);
    WriteClosing(text);
    out += FoldStatementLines(text);
  }
}
