// The control routines file: the routines the transformed program calls to
// run the tuning (Vexnor_ATset, Vexnor_SetParm, VexnorCharToNum,
// Vexnor_ATexec), the tuning driver of every region and, when an Install
// region fits by least squares, the fitting support routines copied from
// the translator's data folder.
//
// Run-time protocol: Vexnor_TYPE 0 means all regions, 1 Install, 2 Static
// (before execution), 3 Dynamic (run time). Vexnor_ATset stores the
// comma-separated names of the regions of a kind into Vexnor_Routines (and
// switches run-time tuning off for kind 3); Vexnor_ATexec runs the drivers
// of the named regions of kind 1 or 2, or switches run-time tuning on for
// kind 3; Vexnor_SetParm returns in isw the case a region runs for problem
// size n.
#pragma once

#include <string>

#include "codegen/code_writer.h"
#include "codegen/gen_context.h"

// The names of the regions, joined by single commas, in region-list order:
// all of them when kind is TuneKind::None, else those of that TuneKind. Empty
// without such regions or without a region list.
std::string RegionNameList(const TGenContext& context, TuneKind kind);

// Assigns a name list to Vexnor_Routines, each line starting with indent:
// "Vexnor_Routines(1:0) = ''" for an empty list, otherwise one line
// "Vexnor_Routines(first:last) = '...'" per piece of 35 characters.
void WriteNameListAssignment(const std::string& indent, const std::string& list, TCodeWriter& w);

void WriteATset(const TGenContext& context, TCodeWriter& w);

// Vexnor_SetParm with the lookup block of every Install region and then
// every Static region (labels 100, 110, ...), and the calls of the Dynamic
// drivers. With installFitting it declares the fitting arrays.
void WriteSetParm(const TGenContext& context, bool installFitting, TCodeWriter& w);

void WriteCharToNum(TCodeWriter& w);

void WriteATexec(const TGenContext& context, TCodeWriter& w);

// Copies the fitting support file executableFolder + "vex_Data/
// ControlSubrutions.f" (executableFolder ends with a separator; the folder
// name may differ in letter case), with its line ends as "\n". When it
// cannot be read, reports it through the context's reporter and writes
// nothing.
void WriteFittingSupport(const TGenContext& context, const std::string& executableFolder,
                         TCodeWriter& w);

// The whole control routines file: Vexnor_ATset, Vexnor_SetParm,
// VexnorCharToNum, Vexnor_ATexec, the tuning driver of every region in list
// order and, with installFitting, the fitting support routines.
void WriteControlRoutines(const TGenContext& context, bool installFitting,
                          const std::string& executableFolder, TCodeWriter& w);
