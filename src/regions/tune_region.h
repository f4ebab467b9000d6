// A tuning region: the stretch of source between a region-start directive
// and its matching region-end directive, with its name, varied parameters,
// sub regions, cost rules, fitting rule, case count, the variables its
// candidate routines receive and, for unroll regions, the loops to unroll.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "directives/script.h"
#include "frontend/token.h"
#include "frontend/variable.h"
#include "platform/reporter.h"

enum class TuneKind : int8_t { None = -1, Install = 0, Static = 1, Dynamic = 2 };

// Only Unroll and Select are ever given; the summary names all four.
enum class RegionType : int8_t { Define = 0, Variable = 1, Select = 2, Unroll = 3 };

// The tuning kind a region-start directive of kind gives; None for a
// directive that is no tuning keyword.
TuneKind TuneKindOf(DirectiveKind kind);

// The kind's number in the generated code (Vexnor_SetParm's first
// argument): 1 Install, 2 Static, 3 Dynamic; 0 for None.
int32_t TuneKindNumber(TuneKind kind);

// "Install", "Static", "Dynamic", or "" for None.
const char* TuneKindName(TuneKind kind);

// The most varied parameters a region or sub region holds.
constexpr int32_t kMaxVaried = 32;

// The most cases a region may have; more would make the generated
// routines impractically large (and the product of ranges could overflow).
constexpr int64_t kMaxCaseCount = 100000;

// A variable of a region, with its name: either one its candidate routines
// receive (Passed) or a local of the region.
struct TRegionVar {
  std::string Name;
  TValData* Var;
  bool Passed;
};

// Varied parameters: entry u names a parameter and its inclusive range.
struct TVariedList {
  int32_t VariedCount = 0;
  std::array<std::string, kMaxVaried> VariedName;
  std::array<int32_t, kMaxVaried> VariedFrom{};
  std::array<int32_t, kMaxVaried> VariedTo{};
  std::array<TScValData*, kMaxVaried> VariedVal{};
};

class TSubRegion : public TVariedList {
 public:
  DirectiveKind Kind = DirectiveKind::Install;
  int32_t StartIndex = 0;
  int32_t EndIndex = 0;
  std::string AccordingStr;
  int32_t CaseCount = 1;
};

class TTuneRegion : public TVariedList {
 public:
  // Builds the whole region from the region-start directive at startIndex
  // of tokenList; number is its place in creation order (from 1), its name
  // unless a name directive gives one. Errors go to the reporter, which is
  // not kept.
  TTuneRegion(TTokenList& tokenList, TValList& valList, int32_t startIndex, size_t number,
              TReporter& reporter);

  TTokenList* TokenList;
  TValList* ValList;
  int32_t StartIndex;
  int32_t EndIndex;
  std::string Name;
  std::string RoutineName;
  std::string RefValStr;
  ::TuneKind TuneKind = ::TuneKind::None;
  std::string KindName;
  ::RegionType RegionType = ::RegionType::Define;
  bool HasAccording = false;
  std::string AccordingStr;
  int32_t Number = 0;
  std::vector<TRegionVar> RegionVars;
  int32_t CaseCount = 0;
  std::vector<uint32_t> SavedMasks;
  std::vector<std::unique_ptr<TSubRegion>> SubRegions;
  int32_t FitMethod = 0;
  int32_t FitOrder = 0;
  const std::vector<int32_t>* SampledPoints = nullptr;
  std::array<TToken*, kMaxVaried> DoToken{};
  std::array<TToken*, kMaxVaried> IndexVarToken{};
  std::array<int32_t, kMaxVaried> InitBegin{};
  std::array<int32_t, kMaxVaried> InitStop{};
  std::array<int32_t, kMaxVaried> LimitBegin{};
  std::array<int32_t, kMaxVaried> LimitStop{};
  std::array<int32_t, kMaxVaried> StepBegin{};
  std::array<int32_t, kMaxVaried> StepStop{};
  // The region uses names that the shared include file declares (myid,
  // MPI constants, ...): they are not passed, and the generated routines
  // include the file instead.
  bool UsesSharedNames = false;

 private:
  bool Build(size_t number);
  void SetName(const std::string& name);
  void CheckName();
  bool FindEnd();
  bool WalkGeneral();
  bool WalkUnroll();
  bool BuildSubRegion(int32_t i);
  bool ReadVaried(const TScript& script, TVariedList& list, bool regionLevel);
  void MatchDoLoop(int32_t doIndex);
  void ReadFitting(const TScript& script);
  bool ComputeCaseCount();
  void CheckSampledPoints();
  void RemoveVariedNames();
  void MarkBoundVariables();
  void ReportError(const std::string& text);
  TScript* ScriptAt(int32_t i) const;

  bool sampledCut_ = false;
  TReporter* reporter_ = nullptr;  // while the constructor builds the region
};
