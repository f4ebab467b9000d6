// Spellings of the keyword kinds.
#include "frontend/keywords.h"

namespace {

// In kind order: the first word has kind KwProgram, the last KwParameter.
const char* const kKeywords[] = {
    "PROGRAM",   "SUBROUTINE", "FUNCTION",  "MODULE",     "INTERFACE",  "CONTAINS",
    "USE",       "INCLUDE",    "COMMON",    "INTEGER",    "REAL",       "DOUBLEPRECISION",
    "CHARACTER", "LOGICAL",    "COMPLEX",   "IMPLICIT",   "TYPE",       "NAMELIST",
    "ALLOCATABLE", "POINTER",  "TARGET",    "SAVE",       "PRIVATE",    "PUBLIC",
    "EXTERNAL",  "INTRINSIC",  "INTENT",    "OPTIONAL",   "WHERE",      "ALLOCATE",
    "DEALLOCATE", "NULLIFY",   "IF",        "THEN",       "ELSE",       "ELSEIF",
    "ENDIF",     "DO",         "ENDDO",     "SELECT",     "CASE",       "GOTO",
    "DOWHILE",   "CALL",       "RETURN",    "STOP",       "END",        "READ",
    "WRITE",     "PRINT",      "BACKSPACE", "INQUIRE",    "REWIND",     "CLOSE",
    "OPEN",      "ENDFILE",    "FORMAT",    "ASSOCIATED", "CONTINUE",   "CYCLE",
    "DATA",      "DIMENSION",  "EXIT",      "PARAMETER",
};

static_assert(sizeof kKeywords / sizeof kKeywords[0] == KwParameter - KwProgram + 1,
              "one spelling per keyword kind");

}  // namespace

const char* KeywordWord(TokenKind kind) {
  if (kind < KwProgram || kind > KwParameter) {
    return nullptr;
  }
  return kKeywords[kind - KwProgram];
}
