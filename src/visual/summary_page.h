// The summary page: one row per tuning region with its progress bar and a
// link to its result page, the script that feeds the bars from the
// progress log, and the coloured listing of the annotated source.
#pragma once

#include <string>

#include "frontend/token.h"
#include "regions/pass4.h"

// The line that loads the browser side of the chart component; every page
// carries it right after its title line.
extern const char kChartScriptLine[];

// The text with carriage returns and line feeds removed and blanks, double
// quotes, "<" and ">" written as HTML entities; every other byte (an "&",
// Shift-JIS text) is copied.
std::string EscapeHtml(const std::string& text);

// The whole page. outDir is the source's folder without a trailing
// separator; sourcePath names the annotated source.
std::string SummaryPage(const std::string& outDir, const std::string& sourcePath,
                        const TTokenList& tokenList, const TRegionList& regions);
