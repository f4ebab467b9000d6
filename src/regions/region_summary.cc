// Region summary text.
#include "regions/region_summary.h"

namespace {

const char* RegionTypeName(RegionType type) {
  switch (type) {
    case RegionType::Define: return "Define";
    case RegionType::Variable: return "Variable";
    case RegionType::Select: return "Select";
    case RegionType::Unroll: return "Unroll";
  }
  return "";
}

}  // namespace

std::string RegionSummary(const TTuneRegion& region) {
  std::string out;
  out += TuneKindName(region.TuneKind);
  out += " ";
  out += RegionTypeName(region.RegionType);
  out += " " + region.Name + "\r\n";
  out += region.RoutineName + "(";
  for (size_t k = 0; k < region.RegionVars.size(); ++k) {
    if (k > 0) {
      out += ",";
    }
    const TRegionVar& entry = region.RegionVars[k];
    out += entry.Passed ? entry.Name : std::string();
  }
  out += ") \r\n";
  for (int32_t u = 0; u < region.VariedCount; ++u) {
    size_t k = static_cast<size_t>(u);
    out += "    varied " + region.VariedName[k] + " from " + std::to_string(region.VariedFrom[k]) +
           " to " + std::to_string(region.VariedTo[k]) + "\r\n";
  }
  out += "  RefValStr = ( " + region.RefValStr + " )\r\n";
  out += "  Case Count = " + std::to_string(region.CaseCount) + "\r\n";
  out += "    SubRegion Count = " + std::to_string(region.SubRegions.size()) + "\r\n";
  for (size_t i = 0; i < region.SubRegions.size(); ++i) {
    out += "    AccordingStr(" + std::to_string(i) + ") = " + region.SubRegions[i]->AccordingStr +
           "\r\n";
  }
  return out;
}
