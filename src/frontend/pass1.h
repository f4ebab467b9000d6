// Pass 1 as one step: the source's records between two Sentinel records,
// read, classified by the lexer and given their slices of the source. The
// driver, the tests and the benchmark all build their record lists here.
#pragma once

#include <string>

#include "frontend/token.h"
#include "platform/reporter.h"

// Reads the bytes of a source into records, lexes and slices them. The
// opening Sentinel has position and line 0; the closing one carries the
// reader's final position and line counter. TAB characters are reported.
TTokenList BuildTokenList(const std::string& source, TReporter& reporter);
