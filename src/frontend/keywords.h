// The Fortran keywords the lexer knows, each with its record kind.
#pragma once

#include "frontend/token.h"

// The keyword spelled in upper case for a keyword kind (KwProgram to
// KwParameter), or null for any other kind.
const char* KeywordWord(TokenKind kind);
