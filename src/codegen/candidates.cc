// Dispatchers and unroll candidates.
#include "codegen/candidates.h"

#include "codegen/call_site.h"
#include "codegen/type_text.h"
#include "codegen/unroll_writer.h"
#include "frontend/text.h"

namespace {

const TToken& At(const TTuneRegion& region, int32_t i) {
  return *(*region.TokenList)[static_cast<size_t>(i)];
}

std::string DimensionText(const TTuneRegion& region, const TValData& var) {
  return var.DimStart >= 0 ? JoinSource(region, var.DimStart, var.DimEnd) : "";
}

// The argument names joined by ", ".
std::string ArgumentList(const TTuneRegion& region) {
  std::string list;
  for (const TRegionVar& entry : region.RegionVars) {
    if (!entry.Passed) {
      continue;
    }
    if (!list.empty()) {
      list += ", ";
    }
    list += entry.Var->Name;
  }
  return list;
}

bool IsVariedName(const TTuneRegion& region, const std::string& name) {
  auto in = [&name](const TVariedList& list) {
    for (int32_t u = 0; u < list.VariedCount; ++u) {
      if (SameText(name, list.VariedName[static_cast<size_t>(u)])) {
        return true;
      }
    }
    return false;
  };
  if (in(region)) {
    return true;
  }
  for (const auto& sub : region.SubRegions) {
    if (in(*sub)) {
      return true;
    }
  }
  return false;
}

// Declarations of the passed variables: variables of one type statement
// that follow each other share a line.
void WriteArgumentDeclarations(const TTuneRegion& region, TCodeWriter& w) {
  std::string line;
  int32_t start = -1;
  bool started = false;
  for (const TRegionVar& entry : region.RegionVars) {
    if (!entry.Passed) {
      continue;
    }
    const TValData& var = *entry.Var;
    int32_t typeStart = CopiesDeclarationType(var) ? var.TypeStart : -1;
    if (!started || typeStart == -1 || typeStart != start) {
      if (!line.empty()) {
        w.Folded(line);
      }
      line = TypeText(region, var);
      started = !line.empty();
      if (!started) {
        continue;  // a name known only as a function
      }
      start = typeStart;
    } else {
      line += ",";
    }
    line += " " + var.Name + DimensionText(region, var);
  }
  if (!line.empty()) {
    w.Folded(line);
  }
}

// A declaration line of locals; a type text that begins with a line feed
// brings its own line end.
void WriteLocalsLine(const std::string& line, const std::string& type, TCodeWriter& w) {
  if (line.empty()) {
    return;
  }
  if (!type.empty() && type[0] == '\n') {
    w.FoldedSource(line);
  } else {
    w.Folded(line);
  }
}

// Declarations of the region's locals (the variables it does not pass), in
// the dispatcher of a select region and in every unroll candidate. A
// temporary that takes a value of an expanded loop index is declared once
// per copy the candidate needs, four names to a line.
void WriteLocalDeclarations(const TTuneRegion& region, const TUnrollState& state, TCodeWriter& w) {
  std::string line;
  std::string type;
  int32_t start = -1;
  bool started = false;
  for (const TRegionVar& entry : region.RegionVars) {
    if (entry.Passed) {
      continue;
    }
    const TValData& var = *entry.Var;
    if (region.RegionType != RegionType::Unroll && IsVariedName(region, var.Name)) {
      continue;
    }
    if (var.TypeStart == -1 && var.ImplicitType.empty()) {
      continue;  // default implicit type
    }
    int32_t typeStart = CopiesDeclarationType(var) ? var.TypeStart : -1;
    if (!started || typeStart == -1 || typeStart != start) {
      if (!line.empty()) {
        w.Folded(line);
      }
      type = CopiesDeclarationType(var) ? JoinSource(region, var.TypeStart, var.TypeEnd)
                                        : TypeText(region, var);
      line = type;
      started = !line.empty();
      if (!started) {
        continue;
      }
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
        WriteLocalsLine(line, type, w);
        line = type + " " + CopyName(region, var.Name, h);
      } else {
        line += ", " + CopyName(region, var.Name, h);
      }
      line += dims;
    }
  }
  if (!line.empty()) {
    w.Folded(line);
  }
}

// The shared names a region uses (myid, MPI constants) come from the
// include file, as in the user's program.
void WriteSharedInclude(const TTuneRegion& region, TCodeWriter& w) {
  if (region.UsesSharedNames) {
    w.Line("      include 'VexnorScript.h'");
  }
}

// Every tenth case shows its progress; a stop request is looked at there.
bool StopsAt(const TGenContext& context, int32_t k, int32_t count) {
  if (k % 10 != 0) {
    return false;
  }
  context.Reporter.ShowLine("Output Code " + std::to_string(k) + " / " + std::to_string(count));
  return context.Aborted();
}

void WriteClosing(TCodeWriter& w) {
  w.Line();
  w.Line("      return");
  w.Line("      end");
  w.Line();
  w.Line();
}

}  // namespace

void WriteCandidates(const TTuneRegion& region, const TGenContext& context, TCodeWriter& w) {
  TUnrollState state(region);
  const bool unroll = region.RegionType == RegionType::Unroll;
  const std::string arguments = ArgumentList(region);
  {
    TFittedLines fitted(w);
    w.Folded("      subroutine " + region.RoutineName + "(" + arguments +
             (arguments.empty() ? "" : ", ") + "iusw1)");
    WriteArgumentDeclarations(region, w);
    if (!unroll) {
      WriteLocalDeclarations(region, state, w);
    }
    WriteSharedInclude(region, w);
    w.Line("      integer iusw1");
    w.Line();
    w.Line("      select case(iusw1)");
    for (int32_t k = 1; k <= region.CaseCount; ++k) {
      if (StopsAt(context, k, region.CaseCount)) {
        return;
      }
      w.LineF("        case(%d)", k);
      if (unroll) {
        w.Folded("           call " + region.RoutineName + "_" + std::to_string(k) + "(" +
                 arguments + ")");
      } else {
        WriteCase(region, context, k, w);
      }
    }
    w.Line("      end select");
    WriteClosing(w);
  }
  if (unroll) {
    WriteUnrollCandidates(region, state, context, w);
  }
}

namespace {

void WriteCandidateBody(const TTuneRegion& region, TUnrollState& state, int32_t k, TCodeWriter& w) {
  state.UnrollLevel = 0;
  state.ActiveMask = 0;
  for (int32_t i = region.StartIndex; i < region.EndIndex; ++i) {
    const TToken& record = At(region, i);
    if (record.Script) {
      continue;
    }
    if (record.Kind == BangComment || record.Kind == ColumnComment) {
      w.Raw(record.SrcText);
    } else if (record.Kind == EndOfStatement) {
      if (!record.SrcText.empty()) {
        w.Line();
      }
    } else if (k == 1) {
      i = CopyStatement(region, w, i);
    } else if (record.Kind == KwDo) {
      i = WriteDoLoop(region, state, w, i, 0, 0);
    } else if (record.Kind == KwIf) {
      i = WriteIfBlock(region, state, w, i, 0, 0);
    } else if (record.Var != nullptr) {
      i = WriteStatement(region, state, w, i, 0, 0);
    } else {
      i = CopyStatement(region, w, i);
    }
  }
}

}  // namespace

void WriteUnrollCandidates(const TTuneRegion& region, TUnrollState& state,
                           const TGenContext& context, TCodeWriter& w) {
  state.PrepareNames(region);
  const std::string arguments = ArgumentList(region);
  for (int32_t k = 1; k <= region.CaseCount; ++k) {
    if (StopsAt(context, k, region.CaseCount)) {
      return;
    }
    state.SetCase(region, k);
    TFittedLines fitted(w);
    w.Folded("      subroutine " + region.RoutineName + "_" + std::to_string(k) + "(" + arguments +
             ")");
    WriteArgumentDeclarations(region, w);
    WriteLocalDeclarations(region, state, w);
    WriteSharedInclude(region, w);
    w.Line();
    WriteCandidateBody(region, state, k, w);
    WriteClosing(w);
  }
}
