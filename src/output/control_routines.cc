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
    if (region->TuneKind == kind) regions.push_back(region.get());
  }
  return regions;
}

std::string ListLength(const TGenContext& context) {
  return std::to_string(context.RoutineListLength);
}

// The rule that frames each control routine.
std::string RoutineRule() {
  return "c     ============================================================\n";
}

// --- Vexnor_ATset ----------------------------------------------------------

// The end Vexnor_ATset and Vexnor_ATexec share.
void WriteRuledEnd(std::string& out) {
  out += "      return\n"
         "      end\n";
  out += RoutineRule();
  out += "\n"
         "\n";
}

// The heading Vexnor_ATset and Vexnor_ATexec share: the kind and the
// list of region names.
void WriteKindAndListHeading(const std::string& routine, const TGenContext& context,
                             std::string& out) {
  out += "c     === " + routine + "\n";
  out += RoutineRule();
  out += "      subroutine " + routine + "(Vexnor_TYPE, Vexnor_Routines)\n"
         "      integer   Vexnor_TYPE\n";
  out += "      character*" + ListLength(context) + " Vexnor_Routines\n";
  out += "\n"
         "      include 'VexnorScript.h'\n"
         "\n";
}

// --- Vexnor_SetParm --------------------------------------------------------

void WriteSetParmHeading(bool installFitting, std::string& out) {
  out += "c     === Vexnor_SetParm\n";
  out += RoutineRule();
  out += "      subroutine Vexnor_SetParm(Vexnor_TYPE, Vexnor_Routine, n, isw)\n"
         "      integer Vexnor_TYPE\n";
  // The call sites pass the region name as a literal, shorter than the
  // list of all names.
  out += "      character*(*) Vexnor_Routine\n";
  out += "      integer n,isw\n"
         "\n"
         "      include 'VexnorScript.h'\n"
         "\n";

  if (installFitting) {
    out += platform::Sjis("c     !!!!!! fitting用配列\n");
    out += "c     === for target coefficients\n"
           "      real*8  a_lsm(0:VexnorLSM_MAX_M, 0:VexnorLSM_MAX_NPARM-1)\n"
           "      real*8  dtemp\n"
           "\n"
           "      integer nparm, nsamp\n";
  }

  out += "\n"
         "      integer ibsw\n"
         "\n"
         "      character*100 cbuf\n"
         "      character*20 digit\n"
         "\n";
}

// The lookup blocks of one tuning kind; label is the label of the next
// block and grows by 10 per block.
void WriteLookupBlocks(const TGenContext& context, TuneKind kind, int32_t& label,
                       std::string& out) {
  for (const TTuneRegion* region : RegionsOfKind(context, kind)) {
    WriteParamLookup(*region, label, out);
    label += 10;
  }
}

void WriteDynamicCalls(const TGenContext& context, std::string& out) {
  out += "c     ==== Run-time Optimization\n"
         "      if (Vexnor_TYPE .eq. 3) then\n"
         "        if (Vexnor_DYNAMICTUNE) then\n";
  for (const TTuneRegion* region : RegionsOfKind(context, TuneKind::Dynamic)) {
    out += FoldedLine("          if (index(Vexnor_Routine,'" + region->Name + "') .ne. 0) then");
    out += FoldedLine("            call Vexnor_ATexecDynamic" + region->Name +
                      "(Vexnor_Routine,n,isw)");
    out += "          endif\n";
  }
  out += "        else\n"
         "          isw = 1\n"
         "        endif\n"
         "      endif\n"
         "c     === end of Vexnor_Dynamic\n"
         "c     -----------------------------------------------\n"
         "\n";
}

// --- Vexnor_ATexec ---------------------------------------------------------

// Runs the driver of every region of the kind whose name is in the list.
void WriteDriverCalls(const TGenContext& context, TuneKind kind, std::string& out) {
  for (const TTuneRegion* region : RegionsOfKind(context, kind)) {
    out += FoldedLine("        if (index(Vexnor_Routines,'" + region->Name + "') .ne. 0) then");
    out += FoldedLine("          call Vexnor_ATexec" + region->KindName + region->Name +
                      "(Vexnor_Routines)");
    out += "        endif\n";
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
    if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
    text.push_back(bytes[i]);
  }
  return text;
}

}  // namespace

std::string RegionNameList(const TGenContext& context, TuneKind kind) {
  std::string list;
  for (const auto& region : Regions(context)) {
    if (kind != TuneKind::None && region->TuneKind != kind) continue;
    if (!list.empty()) list += ",";
    list += region->Name;
  }
  return list;
}

void WriteNameListAssignment(const std::string& indent, const std::string& list,
                             std::string& out) {
  if (list.empty()) {
    out += indent + "Vexnor_Routines(1:0) = ''\n";
    return;
  }
  for (size_t first = 0; first < list.size(); first += kListPiece) {
    std::string piece = list.substr(first, kListPiece);
    out += FoldedLine(indent + "Vexnor_Routines(" + std::to_string(first + 1) + ":" +
                      std::to_string(first + piece.size()) + ") = '" + piece + "'");
  }
}

void WriteATset(const TGenContext& context, std::string& out) {
  WriteKindAndListHeading("Vexnor_ATset", context, out);

  out += "c     ==== All routines\n"
         "      if (Vexnor_TYPE .eq. 0) then\n";
  WriteNameListAssignment("        ", RegionNameList(context, TuneKind::None), out);
  out += "      endif\n"
         "\n";

  out += "c     ==== Install Optimization\n"
         "      if (Vexnor_TYPE .eq. 1) then\n";
  WriteNameListAssignment("         ", RegionNameList(context, TuneKind::Install), out);
  out += "      endif\n"
         "\n";

  out += "c     ==== Before Execution-invocation Optimization Routines\n"
         "      if (Vexnor_TYPE .eq. 2) then\n";
  WriteNameListAssignment("        ", RegionNameList(context, TuneKind::Static), out);
  out += "      endif\n"
         "\n";

  out += "c     ==== Run-time Optimization Routines\n"
         "      if (Vexnor_TYPE .eq. 3) then\n"
         "        Vexnor_DYNAMICTUNE = .false.\n";
  WriteNameListAssignment("        ", RegionNameList(context, TuneKind::Dynamic), out);
  out += "      endif\n"
         "\n";

  WriteRuledEnd(out);
}

void WriteSetParm(const TGenContext& context, bool installFitting, std::string& out) {
  WriteSetParmHeading(installFitting, out);
  int32_t label = 100;

  out += "c     ==== Install Optimization\n"
         "      if (Vexnor_TYPE .eq. 1) then\n";
  WriteLookupBlocks(context, TuneKind::Install, label, out);
  out += "      endif\n"
         "c     === end of Vexnor_Install\n"
         "c     -----------------------------------------------\n"
         "\n";

  out += "c     ==== Before Execution-invocation Optimization\n"
         "      if (Vexnor_TYPE .eq. 2) then\n";
  WriteLookupBlocks(context, TuneKind::Static, label, out);
  out += "      endif\n"
         "c     === end of Vexnor_Static\n"
         "c     -----------------------------------------------\n"
         "\n";

  WriteDynamicCalls(context, out);

  out += "      return\n"
         "      end\n"
         "\n"
         "\n";
}

void WriteCharToNum(std::string& out) {
  out += "      subroutine VexnorCharToNum(coption, inum)\n"
         "      character*20 coption\n"
         "      integer inum\n"
         "\n"
         "      integer j\n"
         "      integer idec\n"
         "      character ctemp\n"
         "\n";

  out += "      inum = 0\n"
         "      j = 1\n"
         "      do while(coption(j:j) .ne. ' ')\n"
         "         ctemp = coption(j:j)\n"
         "         if (ctemp .eq. ' ') goto 100\n";

  out += "         if (ctemp .eq. '0') idec = 0\n"
         "         if (ctemp .eq. '1') idec = 1\n"
         "         if (ctemp .eq. '2') idec = 2\n"
         "         if (ctemp .eq. '3') idec = 3\n"
         "         if (ctemp .eq. '4') idec = 4\n"
         "         if (ctemp .eq. '5') idec = 5\n"
         "         if (ctemp .eq. '6') idec = 6\n"
         "         if (ctemp .eq. '7') idec = 7\n"
         "         if (ctemp .eq. '8') idec = 8\n"
         "         if (ctemp .eq. '9') idec = 9\n";

  out += "         inum = inum*10 + idec\n"
         "         j = j + 1\n"
         "       enddo\n"
         " 100   continue\n"
         "\n"
         "      return\n"
         "      end\n"
         "\n";
  out += RoutineRule();
  out += "\n"
         "\n";
}

void WriteATexec(const TGenContext& context, std::string& out) {
  WriteKindAndListHeading("Vexnor_ATexec", context, out);

  out += "c     ==== Install Optimization\n"
         "      if (Vexnor_TYPE .eq. 1) then\n";
  WriteDriverCalls(context, TuneKind::Install, out);
  out += "      endif\n"
         "\n";

  out += "c     ==== Before Execution-invocation Optimization\n"
         "      if (Vexnor_TYPE .eq. 2) then\n";
  WriteDriverCalls(context, TuneKind::Static, out);
  out += "      endif\n"
         "\n";

  out += "c     ==== Run-time Optimization\n"
         "      if (Vexnor_TYPE .eq. 3) then\n";
  // One line per Dynamic region, repeated when there are several.
  const size_t dynamicCount = RegionsOfKind(context, TuneKind::Dynamic).size();
  for (size_t k = 0; k < dynamicCount; ++k) out += "        Vexnor_DYNAMICTUNE = .true.\n";
  out += "      endif\n"
         "\n";

  WriteRuledEnd(out);
}

void WriteFittingSupport(const TGenContext& context, const std::string& executableFolder,
                         std::string& out) {
  const std::string path =
      WithoutTrailingSeparator(executableFolder) + "\\vex_Data\\ControlSubrutions.f";
  std::string bytes;
  std::string error;
  if (!platform::ReadWholeFile(platform::ResolvePath(path), bytes, error)) {
    context.Reporter.ReportError(codegen_messages::CannotOpenSupportFile(path));
    return;
  }
  out += TextLineEnds(bytes);
}

void WriteControlRoutines(const TGenContext& context, bool installFitting,
                          const std::string& executableFolder, std::string& out) {
  WriteATset(context, out);
  WriteSetParm(context, installFitting, out);
  WriteCharToNum(out);
  WriteATexec(context, out);
  for (const auto& region : Regions(context)) WriteTuningRoutine(*region, context, out);
  if (installFitting) WriteFittingSupport(context, executableFolder, out);
}
