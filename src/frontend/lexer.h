// Pass 1, middle step: classifies the reader's records. Joins two-word
// keywords and two-character operators, marks statement labels and
// construct names, looks words up in the keyword table, recognises numbers,
// removes merged records, numbers every record and sets operator priorities.
#pragma once

#include "frontend/token.h"

void Lex(TTokenList& list);

// Reads a numeric constant the way the lexer does ("d" as exponent letter,
// a kind suffix after "_" ignored). Returns whether the whole text is a
// number; value gets the value of its longest numeric prefix (0 when none)
// and isInteger whether the text holds only digits.
bool ReadNumber(const std::string& text, double& value, bool& isInteger);
