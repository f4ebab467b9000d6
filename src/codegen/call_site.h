// What stands in place of a tuning region: the call that fetches the case
// to run, the pre-processing statements, the call of the region's
// dispatcher, the post-processing statements and the region's own lines as
// comments; and the body of one case of a select region.
#pragma once

#include <cstdint>
#include <string>

#include "codegen/code_writer.h"
#include "codegen/gen_context.h"
#include "regions/tune_region.h"

enum TCallSiteMode {
  CallSiteFull = 0,         // a region in the transformed source
  CallSiteInCase = 1,       // a region nested in a case body
  CallSiteParameterOnly = 2,  // a DynPefThis directive naming the region
  CallSiteNoParameter = 3,  // a region whose parameter call stood earlier
};

// Writes the call site of the region, every line prefixed by indent.
void WriteCallSite(const TTuneRegion& region, const TGenContext& context, const std::string& indent,
                   TCallSiteMode mode, TCodeWriter& w);

// Writes the statements of case k (from 1) of a select region, indented by
// four blanks, with every varied parameter replaced by its value.
void WriteCase(const TTuneRegion& region, const TGenContext& context, int32_t k, TCodeWriter& w);
