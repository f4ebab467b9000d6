// The transformed copy of the user's source: every tuning region replaced
// by its call site, statement directives turned into statements, and the
// generated files included after the main program.
#pragma once

#include "codegen/code_writer.h"
#include "codegen/gen_context.h"
#include "frontend/token.h"
#include "regions/pass4.h"

void WriteSource(const TTokenList& list, const TRegionList& regions, const TGenContext& context,
                 TCodeWriter& w);
