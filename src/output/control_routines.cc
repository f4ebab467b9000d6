// The control routines file.
#include "output/control_routines.h"

#include <vector>

#include "codegen/codegen_messages.h"
#include "codegen/param_lookup.h"
#include "codegen/tuning_routine.h"
#include "platform/encoding.h"
#include "platform/files.h"

namespace {

// A name list is assigned in pieces of 35 characters, which keeps most
// assignment lines within column 72; longer ones are folded.
constexpr size_t kListPiece = 35;

const TRegionList kNoRegions;

const TRegionList& Regions(const TGenContext& context) {
  return context.RegionList != nullptr ? *context.RegionList : kNoRegions;
}

std::vector<const TTuneRegion*> RegionsOfKind(const TGenContext& context, TuneKind kind) {
  std::vector<const TTuneRegion*> regions;
  for (const auto& region : Regions(context)) {
    if (region->TuneKind == kind) {
      regions.push_back(region.get());
    }
  }
  return regions;
}

// The rule that frames each control routine.
void WriteRoutineRule(TCodeWriter& w) {
  w.Line("c     ============================================================");
}

// The heading of the part of a control routine for one Vexnor_TYPE.
void WriteKindTest(const char* heading, int type, TCodeWriter& w) {
  w.Line(heading);
  w.LineF("      if (Vexnor_TYPE .eq. %d) then", type);
}

void WritePartEnd(TCodeWriter& w) {
  w.Line("      endif");
  w.Line();
}

// The end Vexnor_ATset and Vexnor_ATexec share.
void WriteRuledEnd(TCodeWriter& w) {
  w.Line("      return");
  w.Line("      end");
  WriteRoutineRule(w);
  w.Line();
  w.Line();
}

// The heading Vexnor_ATset and Vexnor_ATexec share: the kind and the
// list of region names.
void WriteKindAndListHeading(const char* routine, const TGenContext& context, TCodeWriter& w) {
  w.LineF("c     === %s", routine);
  WriteRoutineRule(w);
  w.LineF("      subroutine %s(Vexnor_TYPE, Vexnor_Routines)", routine);
  w.Line("      integer   Vexnor_TYPE");
  w.LineF("      character*%d Vexnor_Routines", context.RoutineListLength);
  w.Line();
  w.Line("      include 'VexnorScript.h'");
  w.Line();
}

// --- Vexnor_ATset ----------------------------------------------------------

// The part of Vexnor_ATset for one Vexnor_TYPE: the names of its regions
// into Vexnor_Routines, after the line first when one is given.
void WriteListPart(const char* heading, int type, const char* indent, const std::string& list,
                   TCodeWriter& w, const char* first = nullptr) {
  WriteKindTest(heading, type, w);
  if (first != nullptr) {
    w.Line(first);
  }
  WriteNameListAssignment(indent, list, w);
  WritePartEnd(w);
}

// --- Vexnor_SetParm --------------------------------------------------------

void WriteSetParmHeading(bool installFitting, TCodeWriter& w) {
  w.Line("c     === Vexnor_SetParm");
  WriteRoutineRule(w);
  w.Line("      subroutine Vexnor_SetParm(Vexnor_TYPE, Vexnor_Routine, n, isw)");
  w.Line("      integer Vexnor_TYPE");
  // The call sites pass the region name as a literal, shorter than the
  // list of all names.
  w.Line("      character*(*) Vexnor_Routine");
  w.Line("      integer n,isw");
  w.Line();
  w.Line("      include 'VexnorScript.h'");
  w.Line();

  if (installFitting) {
    w.Line(platform::Sjis("c     !!!!!! fitting用配列"));
    w.Line("c     === for target coefficients");
    w.Line("      real*8  a_lsm(0:VexnorLSM_MAX_M, 0:VexnorLSM_MAX_NPARM-1)");
    w.Line("      real*8  dtemp");
    w.Line();
    w.Line("      integer nparm, nsamp");
  }

  w.Line();
  w.Line("      integer ibsw");
  w.Line();
  w.Line("      character*100 cbuf");
  w.Line("      character*20 digit");
  w.Line();
}

// The lookup blocks of one tuning kind; label is the label of the next
// block and grows by 10 per block.
void WriteLookupBlocks(const TGenContext& context, TuneKind kind, int32_t& label, TCodeWriter& w) {
  for (const TTuneRegion* region : RegionsOfKind(context, kind)) {
    WriteParamLookup(*region, label, w);
    label += 10;
  }
}

void WriteSetParmPartEnd(const char* kind, TCodeWriter& w) {
  w.Line("      endif");
  w.LineF("c     === end of Vexnor_%s", kind);
  w.Line("c     -----------------------------------------------");
  w.Line();
}

void WriteDynamicCalls(const TGenContext& context, TCodeWriter& w) {
  w.Line("        if (Vexnor_DYNAMICTUNE) then");
  for (const TTuneRegion* region : RegionsOfKind(context, TuneKind::Dynamic)) {
    w.Folded("          if (index(Vexnor_Routine,'" + region->Name + "') .ne. 0) then");
    w.Folded("            call Vexnor_ATexecDynamic" + region->Name + "(Vexnor_Routine,n,isw)");
    w.Line("          endif");
  }
  w.Line("        else");
  w.Line("          isw = 1");
  w.Line("        endif");
}

// --- Vexnor_ATexec ---------------------------------------------------------

// Runs the driver of every region of the kind whose name is in the list.
void WriteDriverCalls(const TGenContext& context, TuneKind kind, TCodeWriter& w) {
  for (const TTuneRegion* region : RegionsOfKind(context, kind)) {
    w.Folded("        if (index(Vexnor_Routines,'" + region->Name + "') .ne. 0) then");
    w.Folded("          call Vexnor_ATexec" + region->KindName + region->Name +
             "(Vexnor_Routines)");
    w.Line("        endif");
  }
}

// The folder without its trailing separator.
std::string WithoutTrailingSeparator(const std::string& folder) {
  if (!folder.empty() && (folder.back() == '/' || folder.back() == '\\')) {
    return folder.substr(0, folder.size() - 1);
  }
  return folder;
}

// Text read as a text file is: carriage returns before line feeds dropped.
std::string TextLineEnds(const std::string& bytes) {
  std::string text;
  text.reserve(bytes.size());
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
      continue;
    }
    text.push_back(bytes[i]);
  }
  return text;
}

}  // namespace

std::string RegionNameList(const TGenContext& context, TuneKind kind) {
  std::string list;
  for (const auto& region : Regions(context)) {
    if (kind != TuneKind::None && region->TuneKind != kind) {
      continue;
    }
    if (!list.empty()) {
      list += ",";
    }
    list += region->Name;
  }
  return list;
}

void WriteNameListAssignment(const std::string& indent, const std::string& list, TCodeWriter& w) {
  if (list.empty()) {
    w.Line(indent + "Vexnor_Routines(1:0) = ''");
    return;
  }
  for (size_t first = 0; first < list.size(); first += kListPiece) {
    std::string piece = list.substr(first, kListPiece);
    w.Folded(indent + "Vexnor_Routines(" + std::to_string(first + 1) + ":" +
             std::to_string(first + piece.size()) + ") = '" + piece + "'");
  }
}

void WriteATset(const TGenContext& context, TCodeWriter& w) {
  WriteKindAndListHeading("Vexnor_ATset", context, w);
  WriteListPart("c     ==== All routines", 0, "        ", RegionNameList(context, TuneKind::None),
                w);
  WriteListPart("c     ==== Install Optimization", 1, "         ",
                RegionNameList(context, TuneKind::Install), w);
  WriteListPart("c     ==== Before Execution-invocation Optimization Routines", 2, "        ",
                RegionNameList(context, TuneKind::Static), w);
  // Run-time tuning stays off until Vexnor_ATexec switches it on.
  WriteListPart("c     ==== Run-time Optimization Routines", 3, "        ",
                RegionNameList(context, TuneKind::Dynamic), w,
                "        Vexnor_DYNAMICTUNE = .false.");
  WriteRuledEnd(w);
}

void WriteSetParm(const TGenContext& context, bool installFitting, TCodeWriter& w) {
  WriteSetParmHeading(installFitting, w);
  int32_t label = 100;

  WriteKindTest("c     ==== Install Optimization", 1, w);
  WriteLookupBlocks(context, TuneKind::Install, label, w);
  WriteSetParmPartEnd("Install", w);

  WriteKindTest("c     ==== Before Execution-invocation Optimization", 2, w);
  WriteLookupBlocks(context, TuneKind::Static, label, w);
  WriteSetParmPartEnd("Static", w);

  WriteKindTest("c     ==== Run-time Optimization", 3, w);
  WriteDynamicCalls(context, w);
  WriteSetParmPartEnd("Dynamic", w);

  w.Line("      return");
  w.Line("      end");
  w.Line();
  w.Line();
}

void WriteCharToNum(TCodeWriter& w) {
  w.Line("      subroutine VexnorCharToNum(coption, inum)");
  w.Line("      character*20 coption");
  w.Line("      integer inum");
  w.Line();
  w.Line("      integer j");
  w.Line("      integer idec");
  w.Line("      character ctemp");
  w.Line();

  w.Line("      inum = 0");
  w.Line("      j = 1");
  w.Line("      do while(coption(j:j) .ne. ' ')");
  w.Line("         ctemp = coption(j:j)");
  w.Line("         if (ctemp .eq. ' ') goto 100");

  for (int digit = 0; digit <= 9; ++digit) {
    w.LineF("         if (ctemp .eq. '%d') idec = %d", digit, digit);
  }

  w.Line("         inum = inum*10 + idec");
  w.Line("         j = j + 1");
  w.Line("       enddo");
  w.Line(" 100   continue");
  w.Line();
  w.Line("      return");
  w.Line("      end");
  w.Line();
  WriteRoutineRule(w);
  w.Line();
  w.Line();
}

void WriteATexec(const TGenContext& context, TCodeWriter& w) {
  WriteKindAndListHeading("Vexnor_ATexec", context, w);

  WriteKindTest("c     ==== Install Optimization", 1, w);
  WriteDriverCalls(context, TuneKind::Install, w);
  WritePartEnd(w);

  WriteKindTest("c     ==== Before Execution-invocation Optimization", 2, w);
  WriteDriverCalls(context, TuneKind::Static, w);
  WritePartEnd(w);

  WriteKindTest("c     ==== Run-time Optimization", 3, w);
  // One line per Dynamic region, repeated when there are several.
  for (size_t k = RegionsOfKind(context, TuneKind::Dynamic).size(); k > 0; --k) {
    w.Line("        Vexnor_DYNAMICTUNE = .true.");
  }
  WritePartEnd(w);

  WriteRuledEnd(w);
}

void WriteFittingSupport(const TGenContext& context, const std::string& executableFolder,
                         TCodeWriter& w) {
  const std::string path =
      WithoutTrailingSeparator(executableFolder) + "\\vex_Data\\ControlSubrutions.f";
  std::string bytes;
  std::string error;
  if (!platform::ReadWholeFile(platform::ResolvePath(path), bytes, error)) {
    context.Reporter.ReportError(codegen_messages::CannotOpenSupportFile(path));
    return;
  }
  w.Raw(TextLineEnds(bytes));
}

void WriteControlRoutines(const TGenContext& context, bool installFitting,
                          const std::string& executableFolder, TCodeWriter& w) {
  WriteATset(context, w);
  WriteSetParm(context, installFitting, w);
  WriteCharToNum(w);
  WriteATexec(context, w);
  for (const auto& region : Regions(context)) {
    WriteTuningRoutine(*region, context, w);
  }
  if (installFitting) {
    WriteFittingSupport(context, executableFolder, w);
  }
}
