// Transformed source writer.
#include "output/source_writer.h"

#include <unordered_set>

#include "codegen/call_site.h"
#include "directives/script.h"
#include "frontend/declarations.h"
#include "frontend/text.h"

namespace {

// After the first program unit: the four generated files, each a set of
// further program units of the same compilation.
void WriteIncludes(TCodeWriter& w) {
  w.Line();
  w.Line();
  w.Line("      include 'Vexnor_ControlRoutines.f'");
  w.Line("      include 'Vexnor_DynamicRoutines.f'");
  w.Line("      include 'Vexnor_InstallRoutines.f'");
  w.Line("      include 'Vexnor_StaticRoutines.f'");
}

// The END of a program unit at the outermost level, not of a block
// construct (end select, end where, ...) or of an internal procedure.
bool EndsOuterUnit(const TTokenList& list, size_t i) {
  return list[i]->Kind == KwEnd && list[i]->UnitDepth <= 1 &&
         ClassifyEnd(list, static_cast<int32_t>(i)) == EndsUnit;
}

// include 'VexnorScript.h' at record i.
bool IncludesSharedFile(const TTokenList& list, size_t i) {
  if (list[i]->Kind != KwInclude || i + 1 >= list.size()) {
    return false;
  }
  std::string name = list[i + 1]->Text;
  if (name.size() >= 2) {
    name = name.substr(1, name.size() - 2);
  }
  return list[i + 1]->Kind == StringConst && SameText(name, "VexnorScript.h");
}

// The regions of a unit that stand in its code (not inside another region)
// get their case variables declared after the unit's include line, so that
// units under IMPLICIT NONE compile.
void WriteCaseVariableDeclarations(const TRegionList& regions, int32_t unit, const TTokenList& list,
                                   TCodeWriter& w) {
  for (const auto& region : regions) {
    if (region->EndIndex <= region->StartIndex) {
      continue;
    }
    if (list[static_cast<size_t>(region->StartIndex)]->Unit != unit) {
      continue;
    }
    bool nested = false;
    for (const auto& other : regions) {
      nested = nested || (other.get() != region.get() && other->StartIndex < region->StartIndex &&
                          region->StartIndex < other->EndIndex);
    }
    if (!nested) {
      w.Line("      integer iusw1_" + region->Name);
    }
  }
}

}  // namespace

void WriteSource(const TTokenList& list, const TRegionList& regions, const TGenContext& context,
                 TCodeWriter& w) {
  bool includesPending = true;
  int32_t sharedIncludeUnit = -1;
  // The regions whose parameter call a Vexnor_DynPefThis directive has
  // written already; at their own place they get none.
  std::unordered_set<const TTuneRegion*> dynPefThis;
  for (size_t i = 0; i < list.size(); ++i) {
    const TToken& record = *list[i];
    const TScript* script = record.Script.get();
    if (script == nullptr) {
      w.Raw(record.SrcText);
      if (IncludesSharedFile(list, i)) {
        sharedIncludeUnit = record.Unit;
      }
      if (record.Kind == EndOfStatement && sharedIncludeUnit >= 0) {
        WriteCaseVariableDeclarations(regions, sharedIncludeUnit, list, w);
        sharedIncludeUnit = -1;
      }
      if (includesPending && EndsOuterUnit(list, i)) {
        includesPending = false;
        WriteIncludes(w);
      }
      continue;
    }
    if (script->Mark == DirectiveMark::RegionStart && script->Region != nullptr) {
      const TTuneRegion& region = *script->Region;
      if (static_cast<int32_t>(i) < region.EndIndex) {
        WriteCallSite(region, context, "",
                      dynPefThis.count(&region) != 0 ? CallSiteNoParameter : CallSiteFull, w);
        i = static_cast<size_t>(region.EndIndex);
      }
      continue;
    }
    if (script->Kind == DirectiveKind::DynPefThis) {
      if (script->Params && !script->Params->empty()) {
        std::string name;
        for (char c : (*script->Params)[0]->Name) {
          if (c != '"' && c != '\'') {
            name += c;
          }
        }
        for (const auto& region : regions) {
          if (!SameText(region->Name, name)) {
            continue;
          }
          dynPefThis.insert(region.get());
          WriteCallSite(*region, context, "", CallSiteParameterOnly, w);
        }
      }
    } else if (script->Kind == DirectiveKind::Statement) {
      std::string indent;
      for (int32_t level = 0; level < record.BlockDepth; ++level) {
        indent += "  ";
      }
      w.Line(indent + (script->Words.empty() ? "" : script->Words[0]));
    } else {
      w.Raw(record.SrcText);
    }
  }
}
