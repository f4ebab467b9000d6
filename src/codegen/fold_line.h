// Keeps generated fixed-form Fortran inside column 72 by cutting long texts
// into a first line and "&" continuation lines.
#pragma once

#include <string>

// Returns text folded at 72 characters. Earlier folding is undone first:
// every continuation mark "\n     &" (a line feed, five blanks and "&" in
// column 6) is removed, also marks that only appear once an inner one is
// gone, so folding a folded text gives the same as folding the unfolded
// one. A text of fewer than 72 characters then comes back as it is;
// otherwise the result is its first 72 characters followed by pieces of a
// continuation mark and the next 65 characters (the last piece may be
// shorter). Every character counts, line feeds included. Linear time.
std::string FoldLine(const std::string& text);
