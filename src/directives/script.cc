// The deleter of directive records and the debug dump of a directive record.
#include "directives/script.h"

#include "frontend/token.h"

namespace {

// The name of an enumerator as the dump shows it; the number for a value
// outside names.
template <typename TEnum, size_t N>
std::string EnumText(TEnum value, const char* const (&names)[N]) {
  int number = static_cast<int>(value);
  if (number >= 0 && static_cast<size_t>(number) < N) {
    return names[number];
  }
  return std::to_string(number);
}

std::string KindText(DirectiveKind kind) {
  static const char* const kNames[] = {
      "Install", "Static", "Dynamic", "Statement", "Name",    "Parameter", "Select",   "According",
      "Varied",  "Fitting", "Pripro", "Postpro",   "Debug",   "DynPefThis", "Number"};
  return EnumText(kind, kNames);
}

std::string RegionWordText(RegionWordValue word) {
  static const char* const kNames[] = {"none", "define", "variable", "select", "unroll"};
  return EnumText(word, kNames);
}

std::string MarkText(DirectiveMark mark) {
  static const char* const kNames[] = {"none", "RegionStart", "RegionEnd", "SubRegionStart",
                                       "SubRegionEnd"};
  return EnumText(mark, kNames);
}

}  // namespace

void TScriptDeleter::operator()(TScript* script) const { delete script; }

// Shape: kind=K region=R mark=M params=(a#1,b#2) words=w0|w1 fit=F order=O
// sampled=(1,2,3), "null" for a list that was never made, and " cut" at the
// end when the sampled list was cut.
std::string TScript::Dump() const {
  std::string out = "kind=" + KindText(Kind) + " region=" + RegionWordText(RegionWord) +
                    " mark=" + MarkText(Mark) + " params=";
  if (!Params) {
    out += "null";
  } else {
    out += "(";
    for (size_t i = 0; i < Params->size(); ++i) {
      const std::shared_ptr<TScValData>& param = (*Params)[i];
      out += (i > 0 ? "," : "") + param->Name + "#" + std::to_string(param.use_count());
    }
    out += ")";
  }
  out += " words=";
  for (size_t i = 0; i < Words.size(); ++i) {
    out += (i > 0 ? "|" : "") + Words[i];
  }
  out += " fit=" + std::to_string(FitMethod) + " order=" + std::to_string(FitOrder) + " sampled=";
  if (!SampledPoints) {
    out += "null";
  } else {
    out += "(";
    for (size_t i = 0; i < SampledPoints->size(); ++i) {
      out += (i > 0 ? "," : "") + std::to_string((*SampledPoints)[i]);
    }
    out += ")";
  }
  if (SampledCut) {
    out += " cut";
  }
  return out;
}
