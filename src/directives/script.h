// The directive record hung on a "!Vexnor$" line, and the parameter record
// that directive records naming the same parameter share.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TTuneRegion;

// A parameter named in a directive's "(" ... ")" list; shared by every
// directive record that names it, destroyed with the last of them. Only the
// Params lists of directive records own it, so the use count of its pointer
// is the number of list entries naming it.
struct TScValData {
  std::string Name;
};

// The keyword after the sentinel; Statement for any other word. The debug
// dump names them in this order.
enum class DirectiveKind : int8_t {
  Install = 0,
  Static = 1,
  Dynamic = 2,
  Statement = 3,
  Name = 4,
  Parameter = 5,
  Select = 6,
  According = 7,
  Varied = 8,
  Fitting = 9,
  Pripro = 10,
  Postpro = 11,
  Debug = 12,
  DynPefThis = 13,
  Number = 14,
};

// The region type word after a tuning keyword (RegionWord).
enum class RegionWordValue : int8_t {
  None = 0,
  Define = 1,
  Variable = 2,
  Select = 3,
  Unroll = 4,
};

enum class DirectiveMark : int8_t {
  None = 0,
  RegionStart = 1,
  RegionEnd = 2,
  SubRegionStart = 3,
  SubRegionEnd = 4,
};

class TScript {
 public:
  TScript() = default;
  TScript(const TScript&) = delete;
  TScript& operator=(const TScript&) = delete;

  std::string Text;
  int32_t Index = 0;
  TTuneRegion* Region = nullptr;
  DirectiveKind Kind = DirectiveKind::Install;
  RegionWordValue RegionWord = RegionWordValue::None;
  DirectiveMark Mark = DirectiveMark::None;
  std::unique_ptr<std::vector<std::shared_ptr<TScValData>>> Params;
  std::vector<std::string> Words;
  int32_t FitMethod = 0;
  int32_t FitOrder = 0;
  std::unique_ptr<std::vector<int32_t>> SampledPoints;
  // Set when the sampled list held more points than a directive keeps and
  // was cut there; the region model reports it.
  bool SampledCut = false;

  // One line with kind, region word, mark, parameters with their reference
  // counts, words and fitting fields, for tests and debugging.
  std::string Dump() const;
};
