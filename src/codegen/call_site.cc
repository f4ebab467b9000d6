// Call sites and case bodies.
#include "codegen/call_site.h"

#include "codegen/processing_block.h"
#include "directives/script.h"
#include "frontend/text.h"

namespace {

const TToken& At(const TTuneRegion& region, int32_t i) {
  return *(*region.TokenList)[static_cast<size_t>(i)];
}

std::string TrimRight(const std::string& text) {
  size_t end = text.size();
  while (end > 0 && static_cast<unsigned char>(text[end - 1]) <= 0x20) {
    --end;
  }
  return text.substr(0, end);
}

void WriteParameterCall(const TTuneRegion& region, const std::string& indent, TCodeWriter& w) {
  w.FoldedWithEnd(indent + "      call Vexnor_SetParm(" +
                  std::to_string(TuneKindNumber(region.TuneKind)) + ",'" + region.Name + "'," +
                  "N" + ", iusw1_" + region.Name + ")");
}

void WriteVariantCall(const TTuneRegion& region, const TGenContext& context,
                      const std::string& indent, TCodeWriter& w) {
  WriteProcessingBlock(region, Pripro, context.Reporter, w);
  std::string call = indent + "      call " + region.RoutineName + "(";
  for (const TRegionVar& var : region.RegionVars) {
    if (var.Passed) {
      call += var.Var->Name + ",";
    }
  }
  w.FoldedWithEnd(call + "iusw1_" + region.Name + ")");
  WriteProcessingBlock(region, Postpro, context.Reporter, w);
}

// The prints a debug directive asks for, active or as comments.
void WriteDebugBlock(const TTuneRegion& region, const TGenContext& context,
                     const std::string& indent, const TScript& script, TCodeWriter& w) {
  const std::string p = (context.DebugFlag ? "" : "c") + indent + "      ";
  const std::string q = context.DebugFlag ? "" : "c";
  w.Line(p + "if(Vexnor_DEBUG .ge. 1)then");
  w.Line(p + "  print *, \"myid: \",myid");
  w.Line(p + "  print *, \"" + region.KindName + " Routine: \",\"" + region.Name + "\"");
  if (script.Params) {
    for (const std::shared_ptr<TScValData>& param : *script.Params) {
      const std::string& name = param->Name;
      if (SameText(name, "bp")) {
        for (const char* value : {"Vexnor_STARTTUNESIZE", "Vexnor_ENDTUNESIZE", "Vexnor_SAMPDIST"}) {
          w.Line(p + "  print *, \"" + value + ": \",");
          w.Line(q + "     &      " + value);
        }
      } else if (SameText(name, "pp")) {
        w.Line(p + "  print *, \"iusw1: \",iusw1_" + region.Name);
      } else if (name.find("Vexnor") != std::string::npos) {
        w.Line(p + "  print *, \"" + name + ": \",");
        w.Line(q + "     &      " + name);
      } else {
        w.Line(p + "  print *, \"Error! : " + name + " \"");
        w.Line(p + "  print *, \"You can only specify the system parameters\"");
        w.Line(p + "  print *, \"   in the co-operator of debug. \"");
      }
    }
  }
  w.Line(p + "endif");
}

// Turns the lines that begin in text into comments: a blank or a digit in
// column 1 (a statement or its label) becomes "c". lineStart tells whether
// text itself begins a line.
std::string Commented(std::string text, bool lineStart) {
  for (size_t i = 0; i < text.size(); ++i) {
    bool starts = i == 0 ? lineStart : text[i - 1] == '\n';
    if (starts && (text[i] == ' ' || IsDigit(text[i]))) {
      text[i] = 'c';
    }
  }
  return text;
}

// The region's lines turned into comments, directive lines kept, with the
// debug prints its debug directives ask for.
void WriteCommentedCopy(const TTuneRegion& region, const TGenContext& context,
                        const std::string& indent, TCodeWriter& w) {
  bool lineStart = true;
  for (int32_t i = region.StartIndex; i <= region.EndIndex; ++i) {
    const TToken& record = At(region, i);
    if (record.Script) {
      w.Line(TrimRight(record.SrcText));
      if (record.Script->Kind == DirectiveKind::Debug) {
        WriteDebugBlock(region, context, indent, *record.Script, w);
      }
      lineStart = true;
    } else if (record.Kind == EndOfStatement) {
      w.Raw(record.SrcText);
      lineStart = true;
    } else if (!record.SrcText.empty()) {
      w.Raw(Commented(record.SrcText, lineStart));
      lineStart = record.SrcText.back() == '\n';
    }
  }
}

}  // namespace

void WriteCallSite(const TTuneRegion& region, const TGenContext& context, const std::string& indent,
                   TCallSiteMode mode, TCodeWriter& w) {
  if (mode != CallSiteNoParameter) {
    WriteParameterCall(region, indent, w);
  }
  if (mode != CallSiteParameterOnly) {
    WriteVariantCall(region, context, indent, w);
  }
  if (mode == CallSiteFull || mode == CallSiteNoParameter) {
    WriteCommentedCopy(region, context, indent, w);
  }
}

namespace {

// The sub region that holds case k, and the case's position v inside it
// (without sub regions, the region's own).
const TVariedList& CaseParameters(const TTuneRegion& region, int32_t k, int32_t& v,
                                  const TSubRegion*& sub) {
  v = k - 1;
  sub = nullptr;
  for (const auto& candidate : region.SubRegions) {
    sub = candidate.get();
    if (v < candidate->CaseCount) {
      break;
    }
    if (candidate != region.SubRegions.back()) {
      v -= candidate->CaseCount;
    }
  }
  if (sub != nullptr) {
    return *sub;
  }
  return region;
}

// The value a varied name takes in case position v: the last name varies
// fastest.
bool VariedValue(const TVariedList& list, const std::string& name, int32_t v, int32_t& value) {
  for (int32_t i = 0; i < list.VariedCount; ++i) {
    if (!SameText(name, list.VariedName[static_cast<size_t>(i)])) {
      continue;
    }
    int64_t w = v;
    for (int32_t m = i + 1; m < list.VariedCount; ++m) {
      size_t k = static_cast<size_t>(m);
      int64_t range = static_cast<int64_t>(list.VariedTo[k]) - list.VariedFrom[k] + 1;
      if (range > 0) {
        w /= range;
      }
    }
    size_t k = static_cast<size_t>(i);
    int64_t range = static_cast<int64_t>(list.VariedTo[k]) - list.VariedFrom[k] + 1;
    value = static_cast<int32_t>(list.VariedFrom[k] + (range > 0 ? w % range : 0));
    return true;
  }
  return false;
}

// Puts the indent before the last line of a record's source text, so that
// blank lines before a statement stay empty.
std::string Indented(const std::string& indent, const std::string& text) {
  size_t lineEnd = text.rfind('\n');
  if (lineEnd == std::string::npos) {
    return indent + text;
  }
  return text.substr(0, lineEnd + 1) + indent + text.substr(lineEnd + 1);
}

int32_t SkipSubRegion(const TTuneRegion& region, int32_t j) {
  int32_t depth = 0;
  for (; j <= region.EndIndex; ++j) {
    const TScript* script = At(region, j).Script.get();
    if (script == nullptr) {
      continue;
    }
    if (script->Mark == DirectiveMark::SubRegionStart) {
      ++depth;
    }
    if (script->Mark == DirectiveMark::SubRegionEnd && --depth == 0) {
      return j;
    }
  }
  return region.EndIndex;
}

}  // namespace

void WriteCase(const TTuneRegion& region, const TGenContext& context, int32_t k, TCodeWriter& w) {
  int32_t v = 0;
  const TSubRegion* chosen = nullptr;
  const TVariedList& parameters = CaseParameters(region, k, v, chosen);
  const std::string fourBlanks = "    ";
  std::string pending = fourBlanks;  // indent still owed to the current line
  size_t subCount = 0;
  for (int32_t j = region.StartIndex; j <= region.EndIndex; ++j) {
    const TToken& record = At(region, j);
    if (const TScript* script = record.Script.get()) {
      if (script->Mark == DirectiveMark::RegionStart && j != region.StartIndex &&
          script->Region != nullptr) {
        WriteCallSite(*script->Region, context, fourBlanks, CallSiteInCase, w);
        j = script->Region->EndIndex;
      } else if (script->Mark == DirectiveMark::SubRegionStart &&
                 script->Kind == DirectiveKind::Select) {
        if (subCount < region.SubRegions.size()) {
          const TSubRegion& sub = *region.SubRegions[subCount++];
          if (&sub != chosen) {
            j = sub.EndIndex;
          }
        }
      } else if (script->Mark == DirectiveMark::SubRegionStart) {
        j = SkipSubRegion(region, j);
      }
      continue;
    }
    if (record.Kind == EndOfStatement) {
      w.Raw(record.SrcText);
      pending = fourBlanks;
    } else if (record.Kind == BangComment || record.Kind == ColumnComment) {
      w.Raw(record.SrcText);
      pending.clear();
    } else if (record.Kind == Label) {
      // A label stays in columns 1 to 5; the statement after it moves.
      w.Raw(record.SrcText);
    } else {
      int32_t value = 0;
      if (record.Kind == Word && VariedValue(parameters, record.Text, v, value)) {
        std::string blank = record.SrcText != record.Text ? " " : "";
        w.Raw(Indented(pending, blank + std::to_string(value)));
      } else {
        w.Raw(Indented(pending, record.SrcText));
      }
      pending.clear();
    }
  }
}
