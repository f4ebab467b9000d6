// The type part with which generated routines declare a variable of the
// user's program, so that it keeps its type and kind there.
#pragma once

#include <string>

#include "regions/tune_region.h"

// True when the type part of the variable's own declaration can be copied
// into a generated routine: a type statement that is not a named-constant
// declaration.
bool CopiesDeclarationType(const TValData& var);

// The type part of a declaration for the variable: the source text of its
// type statement when it can be copied; otherwise six blanks and its type
// written out (the IMPLICIT rule's type text for an implicitly typed
// variable, the type and kind alone for a named constant), or the empty
// text for a name known only as a function.
std::string TypeText(const TTuneRegion& region, const TValData& var);

// The source text of the records from..to (exclusive), joined.
std::string JoinSource(const TTuneRegion& region, int32_t from, int32_t to);
