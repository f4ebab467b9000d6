// Keeps finished Fortran text within column 72: statement lines that grew
// past it (the user's lines indented inside a case, long declarations) are
// cut into "&" continuation lines; comment lines stay as they are.
#pragma once

#include <string>

// Every statement line of text longer than 72 columns is cut at column 72
// and continued on lines "     &" + 65 columns. A trailing "!" comment of
// such a line is dropped first, so that its words never become code.
std::string FoldStatementLines(const std::string& text);
