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

enum DirectiveKind : int8_t {
  DkInstall = 0,
  DkStatic = 1,
  DkDynamic = 2,
  DkStatement = 3,
  DkName = 4,
  DkParameter = 5,
  DkSelect = 6,
  DkAccording = 7,
  DkVaried = 8,
  DkFitting = 9,
  DkPripro = 10,
  DkPostpro = 11,
  DkDebug = 12,
  DkDynPefThis = 13,
  DkNumber = 14,
};

// The region type word after a tuning keyword (RegionWord).
enum RegionWordValue : int8_t {
  RegionWordNone = 0,
  RegionWordDefine = 1,
  RegionWordVariable = 2,
  RegionWordSelect = 3,
  RegionWordUnroll = 4,
};

enum DirectiveMark : int8_t {
  MarkNone = 0,
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
  int8_t Kind = 0;
  int8_t RegionWord = 0;
  int8_t Mark = MarkNone;
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
