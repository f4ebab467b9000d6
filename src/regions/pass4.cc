// Pass 4: system variables, region collection and ordering.
#include "regions/pass4.h"

#include "directives/script.h"
#include "frontend/text.h"
#include "regions/regions_messages.h"

TPass4::TPass4(TTokenList& tokenList, TValList& valList, TRegionList& regionList,
               TReporter& reporter)
    : TokenList(tokenList), ValList(valList), RegionList(regionList), Reporter(reporter) {}

void TPass4::Run() {
  for (size_t i = 1; i + 1 < TokenList.size(); ++i) {
    TScript* script = TokenList[i]->Script.get();
    if (script == nullptr) {
      continue;
    }
    if (script->Kind == DirectiveKind::Statement) {
      if (!script->Words.empty() && !ReadSystemVariable(script->Words[0])) {
        return;
      }
    } else if (script->Mark == DirectiveMark::RegionStart) {
      RegionList.push_back(std::make_unique<TTuneRegion>(
          TokenList, ValList, static_cast<int32_t>(i), RegionList.size() + 1, Reporter));
      script->Region = RegionList.back().get();
    }
  }
  SortRegions();
}

// A statement directive of the form name = integer sets a system variable.
// Returns false when the pass must end.
bool TPass4::ReadSystemVariable(const std::string& statement) {
  size_t equals = statement.find('=');
  if (equals == std::string::npos) {
    return true;
  }
  std::string name = TrimControl(statement.substr(0, equals));
  int32_t value = 0;
  if (!ReadIntegerConstant(TrimControl(statement.substr(equals + 1)), value)) {
    Reporter.ReportError(regions_messages::NotAnIntegerConstant(statement));
    return false;
  }
  if (!SysVars.Add(name, value)) {
    Reporter.ReportError(regions_messages::SetTwice(statement));
    return false;
  }
  Reporter.LogLine(regions_messages::SystemVariable(statement));
  return true;
}

bool TSysVarTable::Add(const std::string& name, int32_t value) {
  if (!index_.emplace(UpperAscii(name), static_cast<int32_t>(entries_.size())).second) {
    return false;
  }
  entries_.emplace_back(name, value);
  return true;
}

int32_t TSysVarTable::Find(const std::string& name) const {
  auto found = index_.find(UpperAscii(name));
  return found == index_.end() ? -1 : found->second;
}

// Exchange sort by Number: regions without a number (0) come first.
void TPass4::SortRegions() {
  for (size_t i = 0; i < RegionList.size(); ++i) {
    for (size_t j = i + 1; j < RegionList.size(); ++j) {
      if (RegionList[j]->Number < RegionList[i]->Number) {
        std::swap(RegionList[i], RegionList[j]);
      }
    }
  }
}
