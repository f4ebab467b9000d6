// Pass 2: walks the lexed statements once, builds the variable table, stamps
// every record with its scope counters, links names to their variables,
// marks how each occurrence is used and folds constant expressions (for
// PARAMETER values and array bounds).
#pragma once

#include <cstdint>
#include <string>

#include "frontend/token.h"
#include "frontend/variable.h"
#include "platform/reporter.h"

// Pass 2 over the whole record list.
void AnalyseDeclarations(TTokenList& list, TValList& vars, TReporter& reporter);

// Reports "**** message **** [ statement ]", the statement being the texts
// of the records of the statement that holds record index, joined.
void ReportStatementError(const TTokenList& list, int32_t index, const std::string& message,
                          TReporter& reporter);

// What the END record at index i closes: a program unit, a type or
// interface definition, a SELECT block, or another block construct (where,
// forall, associate, block, critical, enum).
enum TEndKind { EndsUnit, EndsDefinition, EndsSelect, EndsBlock };
TEndKind ClassifyEnd(const TTokenList& list, int32_t i);

// True when the text is a Fortran name: a letter, then letters, digits and
// underscores.
bool IsFortranName(const std::string& text);

// Converts a folded value to an int32, truncating; out-of-range values
// saturate and NaN gives 0.
int32_t SaturatingInt(double value);
