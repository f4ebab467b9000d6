// The working state of the candidate writers for one region: the
// dependence masks restored from what the region saved, the unrolling
// depths of the candidate being written and the names its unrolled loops
// use. The writers own it and change it as they go; the region itself
// stays as Pass 4 built it.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "regions/region_variables.h"
#include "regions/tune_region.h"

struct TUnrollState {
  // Restores the masks the region saved for its records.
  explicit TUnrollState(const TTuneRegion& region);

  // Once per unroll region, before its candidates: the positions of the
  // unrolled loops and their generated names.
  void PrepareNames(const TTuneRegion& region);

  // The depths of candidate k (from 1): the last unroll variable varies
  // fastest, each from 1 to the size of its range. ActiveMask gets the
  // variables unrolled at least twice.
  void SetCase(const TTuneRegion& region, int32_t k);

  // The masks of a variable of the region; all zero for any other.
  const TVarMasks& MasksOf(const TValData& var) const;

  TMaskTable Masks;
  // Number of the candidate being written, from 1.
  int32_t CurCase = 0;
  // Bit u is set while unroll variable u counts as expanded.
  uint32_t ActiveMask = 0;
  // Unrolling depth of each unroll variable; 1 leaves its loop unchanged.
  std::array<int32_t, kMaxVaried> Depth{};
  // Position of the DO record of each unroll variable, -1 without one.
  std::array<int32_t, kMaxVaried> DoTokIndex{};
  std::array<std::string, kMaxVaried> IndexName;
  // Generated names per unrolled loop: the number of blocks, the block
  // counter and the iterations left over by the blocks.
  std::array<std::string, kMaxVaried> BlockCountName;
  std::array<std::string, kMaxVaried> BlockIndexName;
  std::array<std::string, kMaxVaried> RemainderName;
  // The name written where a reference to the loop index is rewritten.
  std::array<std::string, kMaxVaried> IndexRef;
  // Expanded-loop levels entered on the current path.
  int32_t UnrollLevel = 0;
  // VariedCount when the names were prepared.
  int32_t UnrollCount = 0;
  // Extra indentation of copied statements inside remainder blocks.
  std::string IndentPrefix;
};

// base + suffix, with "_" appended while a variable of the region has that
// name (at most 100 times).
std::string UniqueName(const TTuneRegion& region, const std::string& base,
                       const std::string& suffix);

// The name of copy h (h >= 2) of a variable: its name without trailing
// digits, then h, made unique like UniqueName.
std::string CopyName(const TTuneRegion& region, const std::string& name, int32_t h);

// The product of the depths of the unroll variables whose bits are set
// (1 for none), at most 1000000.
int32_t DepthProduct(const TUnrollState& state, uint32_t mask);
