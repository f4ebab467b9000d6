// The data flow of a tuning region: which variables its candidate routines
// receive and in which order, and, for unroll regions, which variables
// depend on the unrolled loop indices.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>

#include "regions/tune_region.h"

// Fills RegionVars from the names the region reads and writes: passed when
// read inside, written inside and read after it, or a dummy argument; a
// written variable that is not read afterwards becomes a local (not Passed).
// Passed arrays bring the variables their declarations need.
void CollectRegionVars(TTuneRegion& region);

// True for a name that the shared include file VexnorScript.h declares:
// myid, ierr, the Vexnor_ settings, the fitting bounds and every MPI name.
bool ProvidedBySharedInclude(const std::string& name);

// Orders the passed variables by the position of their declarations;
// undeclared ones first. Locals keep their positions.
void OrderRegionVars(TTuneRegion& region);

// Unroll regions: a variable assigned from an expression that depends on a
// loop index depends on it too (the target's own subscripts excepted).
void PropagateDependence(TTuneRegion& region);

// Saves the masks of every variable occurrence in SavedMasks, lists the
// dependent variables in RefValStr, and clears the masks again.
void BuildRefValStr(TTuneRegion& region);

// The three mask words of a variable; bit u stands for the region's varied
// parameter u.
struct TVarMasks {
  uint32_t LoopMask = 0;
  uint32_t BoundMask = 0;
  uint32_t DependMask = 0;
};

// Masks by variable, for the generators: the variable records themselves
// keep the zeros the analysis left there.
using TMaskTable = std::unordered_map<const TValData*, TVarMasks>;

// Gives the variables of the records from..to (inclusive) their saved masks
// back in masks, three words per occurrence, as long as saved words remain.
void RestoreMasks(const TTuneRegion& region, int32_t from, int32_t to, TMaskTable& masks);
