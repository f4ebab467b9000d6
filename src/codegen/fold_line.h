// The two ways generated Fortran is kept inside the 72 columns of fixed
// source form. FoldLine cuts a statement the generators build themselves
// (a heading, a call, a declaration: no comment, no line feed inside) as a
// flat run of characters. FitToColumn72 works on one finished line that may
// hold the user's own text, moved right inside a case body: it knows
// comment lines and trailing "!" comments, which a flat cut would turn
// into code on the continuation line. The shared writer applies them.
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

// One line without its line end, made to fit column 72: a comment line
// comes back as it is; a statement line longer than 72 columns loses its
// trailing "!" comment (so that its words never become code), and if it is
// still longer it is cut at column 72 and continued on lines "     &" + 66
// columns.
std::string FitToColumn72(std::string line);
