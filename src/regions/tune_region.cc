// Building a tuning region from its directives.
#include "regions/tune_region.h"

#include "frontend/text.h"
#include "regions/region_variables.h"
#include "regions/regions_messages.h"

namespace {

// The longest generated names built from a region name: the tuning driver
// "Vexnor_ATexec" + kind + name, and candidate k, RoutineName + "_" + k.
constexpr size_t kMaxIdentifier = 63;

}  // namespace

TuneKind TuneKindOf(DirectiveKind kind) {
  switch (kind) {
    case DirectiveKind::Install: return TuneKind::Install;
    case DirectiveKind::Static: return TuneKind::Static;
    case DirectiveKind::Dynamic: return TuneKind::Dynamic;
    default: return TuneKind::None;
  }
}

int32_t TuneKindNumber(TuneKind kind) {
  switch (kind) {
    case TuneKind::Install: return 1;
    case TuneKind::Static: return 2;
    case TuneKind::Dynamic: return 3;
    case TuneKind::None: break;
  }
  return 0;
}

const char* TuneKindName(TuneKind kind) {
  switch (kind) {
    case TuneKind::Install: return "Install";
    case TuneKind::Static: return "Static";
    case TuneKind::Dynamic: return "Dynamic";
    case TuneKind::None: break;
  }
  return "";
}

TTuneRegion::TTuneRegion(TTokenList& tokenList, TValList& valList, int32_t startIndex,
                         size_t number, TReporter& reporter)
    : TokenList(&tokenList),
      ValList(&valList),
      StartIndex(startIndex),
      EndIndex(startIndex),
      reporter_(&reporter) {
  Build(number);
  reporter_ = nullptr;
}

bool TTuneRegion::Build(size_t number) {
  const TScript* start = ScriptAt(StartIndex);
  if (start != nullptr && TuneKindOf(start->Kind) != TuneKind::None) {
    TuneKind = TuneKindOf(start->Kind);
    KindName = TuneKindName(TuneKind);
  } else {
    ReportError(regions_messages::NotATuningKind(start ? start->Text : ""));
  }
  if (!FindEnd()) {
    ReportError(regions_messages::RegionEndMissing());
    return false;
  }
  const bool unroll = ScriptAt(EndIndex)->RegionWord == RegionWordValue::Unroll;
  RegionType = unroll ? RegionType::Unroll : RegionType::Select;
  SetName(std::to_string(number));
  bool built = RegionType == RegionType::Unroll ? WalkUnroll() : WalkGeneral();
  if (built) {
    CheckName();
  }
  return built;
}

TScript* TTuneRegion::ScriptAt(int32_t i) const {
  if (i < 0 || i >= static_cast<int32_t>(TokenList->size())) {
    return nullptr;
  }
  return (*TokenList)[static_cast<size_t>(i)]->Script.get();
}

void TTuneRegion::ReportError(const std::string& text) {
  if (reporter_ != nullptr) {
    reporter_->ReportError(text);
  }
}

// The region-end directive that brings the count of region starts and ends
// back to zero.
bool TTuneRegion::FindEnd() {
  int32_t depth = 0;
  const int32_t size = static_cast<int32_t>(TokenList->size());
  for (int32_t i = StartIndex; i < size; ++i) {
    const TScript* script = ScriptAt(i);
    if (script == nullptr) {
      continue;
    }
    if (script->Mark == DirectiveMark::RegionStart) {
      ++depth;
    }
    if (script->Mark == DirectiveMark::RegionEnd && --depth == 0) {
      EndIndex = i;
      return true;
    }
  }
  EndIndex = StartIndex;
  return false;
}

void TTuneRegion::SetName(const std::string& name) {
  Name = name;
  RoutineName = (TuneKind == TuneKind::None ? std::string() : "Vexnor_" + KindName) + Name;
}

// A region name becomes part of Fortran names and of file names, so it may
// hold only letters, digits and "_", and the names made from it must fit.
void TTuneRegion::CheckName() {
  bool ok = !Name.empty();
  for (char c : Name) {
    ok = ok && IsNameChar(c);
  }
  size_t driver = std::string("Vexnor_ATexecDynamic").size() + Name.size();
  size_t candidate = RoutineName.size() + 1 + std::to_string(CaseCount).size();
  if (!ok || driver > kMaxIdentifier || candidate > kMaxIdentifier) {
    ReportError(regions_messages::BadRegionName(Name));
  }
}

// Select, variable and define regions: the directives at the region's own
// depth, with select sub regions.
bool TTuneRegion::WalkGeneral() {
  int32_t depth = 0;
  bool inSub = false;
  for (int32_t i = StartIndex; i <= EndIndex; ++i) {
    const TScript* script = ScriptAt(i);
    if (depth != 1) {
      if (script != nullptr && script->Mark == DirectiveMark::RegionStart) {
        ++depth;
      }
      if (script != nullptr && script->Mark == DirectiveMark::RegionEnd) {
        --depth;
      }
      continue;
    }
    if (script == nullptr) {
      continue;
    }
    if (script->Mark == DirectiveMark::RegionStart) {
      depth = 2;
    } else if (script->Kind == DirectiveKind::Name) {
      if (script->Words.size() > 2) {
        SetName(script->Words[2]);
      }
    } else if (script->Kind == DirectiveKind::Number) {
      if (script->Words.size() > 2) {
        Number = LeadingInt(script->Words[2]);
      }
    } else if (script->Kind == DirectiveKind::According) {
      if (!inSub) {
        HasAccording = true;
        AccordingStr = (*TokenList)[static_cast<size_t>(i)]->SrcText;
      }
    } else if (script->Kind == DirectiveKind::Varied) {
      if (!inSub && !ReadVaried(*script, *this, true)) {
        return false;
      }
    } else if (script->Kind == DirectiveKind::Fitting) {
      ReadFitting(*script);
    } else if (script->Kind == DirectiveKind::Select &&
               script->Mark == DirectiveMark::SubRegionStart) {
      inSub = true;
      if (!BuildSubRegion(i)) {
        return false;
      }
    } else if (script->Mark == DirectiveMark::SubRegionEnd) {
      inSub = false;
    }
  }
  CollectRegionVars(*this);
  if (!ComputeCaseCount()) {
    return false;
  }
  RemoveVariedNames();
  OrderRegionVars(*this);
  BuildRefValStr(*this);
  CheckSampledPoints();
  return true;
}

bool TTuneRegion::BuildSubRegion(int32_t i) {
  SubRegions.push_back(std::make_unique<TSubRegion>());
  TSubRegion& sub = *SubRegions.back();
  sub.Kind = DirectiveKind::Select;
  sub.StartIndex = i;
  sub.AccordingStr = AccordingStr;
  static_cast<TVariedList&>(sub) = static_cast<const TVariedList&>(*this);
  int32_t j = i;
  for (; j <= EndIndex; ++j) {
    const TScript* script = ScriptAt(j);
    if (script == nullptr) {
      continue;
    }
    if (script->Mark == DirectiveMark::RegionStart) {
      // A region nested in the sub region: nothing of it is read.
      for (++j; j <= EndIndex; ++j) {
        const TScript* inner = ScriptAt(j);
        if (inner != nullptr && inner->Mark == DirectiveMark::RegionEnd) {
          break;
        }
      }
      continue;
    }
    if (script->Mark == DirectiveMark::SubRegionEnd) {
      break;
    }
    if (script->Kind == DirectiveKind::According) {
      HasAccording = true;
      sub.AccordingStr = (*TokenList)[static_cast<size_t>(j)]->SrcText;
    } else if (script->Kind == DirectiveKind::Varied) {
      if (!ReadVaried(*script, sub, false)) {
        return false;
      }
    }
  }
  sub.EndIndex = j;
  if (j >= EndIndex) {
    ReportError(regions_messages::SubRegionEndMissing());
  }
  return true;
}

// The names of a varied directive with the range its "from" and "to" words
// give. Returns false when building must stop.
bool TTuneRegion::ReadVaried(const TScript& script, TVariedList& list, bool regionLevel) {
  if (!script.Params || script.Params->empty()) {
    ReportError(regions_messages::VariedNamesMissing());
    return false;
  }
  int32_t from = 0;
  int32_t to = 0;
  const std::vector<std::string>& words = script.Words;
  for (size_t j = 0; j + 1 < words.size(); ++j) {
    if (SameText(words[j], "from")) {
      from = LeadingInt(words[j + 1]);
    }
    if (SameText(words[j], "to")) {
      to = LeadingInt(words[j + 1]);
    }
  }
  if (to < from) {
    ReportError(regions_messages::VariedRangeReversed(script.Text));
    return false;
  }
  for (const std::shared_ptr<TScValData>& param : *script.Params) {
    if (list.VariedCount >= kMaxVaried) {
      ReportError(regions_messages::TooManyVaried());
      return false;
    }
    size_t u = static_cast<size_t>(list.VariedCount);
    list.VariedName[u] = param->Name;
    list.VariedVal[u] = param.get();
    list.VariedFrom[u] = from;
    list.VariedTo[u] = to;
    if (regionLevel) {
      DoToken[u] = nullptr;
    }
    ++list.VariedCount;
  }
  return true;
}

void TTuneRegion::ReadFitting(const TScript& script) {
  FitMethod = script.FitMethod;
  FitOrder = script.FitOrder;
  SampledPoints = script.SampledPoints.get();
  sampledCut_ = script.SampledCut;
}

// Unroll regions: the DO loop of every unroll variable, with no select sub
// regions and no cost rules.
bool TTuneRegion::WalkUnroll() {
  int32_t starts = 0;
  for (int32_t i = StartIndex; i <= EndIndex; ++i) {
    const TScript* script = ScriptAt(i);
    if (script == nullptr) {
      if ((*TokenList)[static_cast<size_t>(i)]->Kind == KwDo) {
        MatchDoLoop(i);
      }
      continue;
    }
    if (script->Mark == DirectiveMark::RegionStart) {
      if (++starts >= 2) {
        ReportError(regions_messages::NestedInUnroll());
      }
    } else if (script->Kind == DirectiveKind::Name) {
      if (script->Words.size() > 2) {
        SetName(script->Words[2]);
      }
    } else if (script->Kind == DirectiveKind::Number) {
      if (script->Words.size() > 2) {
        Number = LeadingInt(script->Words[2]);
      }
    } else if (script->Kind == DirectiveKind::Varied) {
      if (!ReadVaried(*script, *this, true)) {
        return false;
      }
    } else if (script->Kind == DirectiveKind::Fitting) {
      ReadFitting(*script);
    }
  }
  CollectRegionVars(*this);
  if (!ComputeCaseCount()) {
    return false;
  }
  MarkBoundVariables();
  OrderRegionVars(*this);
  PropagateDependence(*this);
  BuildRefValStr(*this);
  CheckSampledPoints();
  return true;
}

namespace {

// The first "," outside parentheses or end of statement at or after from,
// -1 when the list ends first.
int32_t ExpressionEnd(const TTokenList& list, int32_t from) {
  int32_t depth = 0;
  for (int32_t i = from; i >= 0 && i < static_cast<int32_t>(list.size()); ++i) {
    int32_t kind = list[static_cast<size_t>(i)]->Kind;
    if (kind == LParen) {
      ++depth;
    }
    if (kind == RParen) {
      --depth;
    }
    if ((kind == Comma && depth == 0) || kind == EndOfStatement) {
      return i;
    }
  }
  return -1;
}

}  // namespace

// A DO loop whose index is an unroll variable: its records and ranges.
void TTuneRegion::MatchDoLoop(int32_t doIndex) {
  const TTokenList& list = *TokenList;
  const int32_t size = static_cast<int32_t>(list.size());
  int32_t assign = -1;
  for (int32_t i = doIndex + 1; i < size && i <= doIndex + 100; ++i) {
    if (list[static_cast<size_t>(i)]->Kind == Assign) {
      assign = i;
      break;
    }
  }
  if (assign < 0) {
    return;
  }
  TToken* index = list[static_cast<size_t>(assign - 1)].get();
  for (int32_t u = 0; u < VariedCount; ++u) {
    if (!SameText(index->Text, VariedName[static_cast<size_t>(u)])) {
      continue;
    }
    size_t k = static_cast<size_t>(u);
    DoToken[k] = list[static_cast<size_t>(doIndex)].get();
    IndexVarToken[k] = index;
    if (index->Var != nullptr) {
      index->Var->LoopMask = index->Var->DependMask = 1u << u;
    }
    InitBegin[k] = assign + 1;
    InitStop[k] = ExpressionEnd(list, doIndex);
    LimitBegin[k] = InitStop[k] < 0 ? -1 : InitStop[k] + 1;
    LimitStop[k] = LimitBegin[k] < 0 ? -1 : ExpressionEnd(list, LimitBegin[k]);
    if (LimitStop[k] >= 0 && list[static_cast<size_t>(LimitStop[k])]->Kind == Comma) {
      StepBegin[k] = LimitStop[k] + 1;
      StepStop[k] = ExpressionEnd(list, StepBegin[k]);
    } else {
      StepBegin[k] = StepStop[k] = -1;
    }
    return;
  }
}

void TTuneRegion::MarkBoundVariables() {
  for (int32_t u = 0; u < VariedCount; ++u) {
    size_t k = static_cast<size_t>(u);
    if (DoToken[k] == nullptr || LimitBegin[k] < 0) {
      continue;
    }
    for (int32_t i = LimitBegin[k]; i < LimitStop[k]; ++i) {
      TValData* var = (*TokenList)[static_cast<size_t>(i)]->Var;
      if (var != nullptr) {
        var->BoundMask |= 1u << u;
      }
    }
  }
}

namespace {

// The number of cases of a varied list, or -1 beyond the limit.
int64_t CasesOf(const TVariedList& list) {
  int64_t cases = 1;
  for (int32_t u = 0; u < list.VariedCount; ++u) {
    size_t k = static_cast<size_t>(u);
    cases *= static_cast<int64_t>(list.VariedTo[k]) - list.VariedFrom[k] + 1;
    if (cases > kMaxCaseCount) {
      return -1;
    }
  }
  return cases;
}

}  // namespace

bool TTuneRegion::ComputeCaseCount() {
  int64_t cases = 0;
  if (SubRegions.empty() || RegionType == RegionType::Unroll) {
    cases = CasesOf(*this);
  } else {
    for (auto& sub : SubRegions) {
      int64_t own = CasesOf(*sub);
      if (own < 0) {
        cases = -1;
        break;
      }
      sub->CaseCount = static_cast<int32_t>(own);
      cases += own;
      if (cases > kMaxCaseCount) {
        cases = -1;
        break;
      }
    }
  }
  if (cases < 0) {
    ReportError(regions_messages::TooManyCases(kMaxCaseCount));
    return false;
  }
  CaseCount = static_cast<int32_t>(cases);
  return true;
}

// The cases a fitting rule samples must be cases of the region.
void TTuneRegion::CheckSampledPoints() {
  if (sampledCut_) {
    ReportError(regions_messages::SampledListCut());
    return;
  }
  if (SampledPoints == nullptr) {
    return;
  }
  for (int32_t point : *SampledPoints) {
    if (point < 1 || point > CaseCount) {
      ReportError(regions_messages::SampledPointOutside(point, CaseCount));
      return;
    }
  }
}

// Varied parameters of select regions are case numbers, not variables the
// candidates receive.
void TTuneRegion::RemoveVariedNames() {
  auto clear = [this](const TVariedList& list) {
    for (int32_t u = 0; u < list.VariedCount; ++u) {
      for (TRegionVar& entry : RegionVars) {
        if (SameText(entry.Name, list.VariedName[static_cast<size_t>(u)])) {
          entry.Passed = false;
        }
      }
    }
  };
  for (const auto& sub : SubRegions) {
    clear(*sub);
  }
  clear(*this);
}
