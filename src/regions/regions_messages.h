// Messages of the tuning-region pass, in CP932.
#pragma once

#include <cstdint>
#include <string>

namespace regions_messages {

std::string NotAnIntegerConstant(const std::string& statement);
std::string SetTwice(const std::string& statement);
std::string SystemVariable(const std::string& statement);
std::string RegionEndMissing();
std::string VariedNamesMissing();
std::string SubRegionEndMissing();
std::string NestedInUnroll();
std::string NotATuningKind(const std::string& directive);
std::string BadRegionName(const std::string& name);
std::string TooManyVaried();
std::string VariedRangeReversed(const std::string& directive);
std::string TooManyCases(int64_t limit);
std::string SampledPointOutside(int32_t point, int32_t caseCount);
std::string SampledListCut();

}  // namespace regions_messages
