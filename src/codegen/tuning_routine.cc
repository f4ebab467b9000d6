// Tuning driver routines.
#include "codegen/tuning_routine.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <limits>
#include <vector>

#include "codegen/codegen_messages.h"
#include "codegen/fitting_blocks.h"
#include "codegen/fold_line.h"
#include "codegen/processing_block.h"
#include "codegen/type_text.h"
#include "frontend/declarations.h"
#include "frontend/text.h"

namespace {

std::string VFormat(const char* format, va_list args) {
  va_list copy;
  va_copy(copy, args);
  int size = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  if (size <= 0) return "";
  std::string text(static_cast<size_t>(size), '\0');
  std::vsnprintf(text.data(), text.size() + 1, format, args);
  return text;
}

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string text = VFormat(format, args);
  va_end(args);
  return text;
}

// The names an Install or Static driver assigns the problem size to.
bool IsSizeName(const std::string& name) {
  return SameText(name, "N") || SameText(name, "NX") || SameText(name, "NY") ||
         SameText(name, "NZ");
}

// The case numbers the driver measures, in measuring order: the sampled
// cases of a fitting rule in ascending order (the region log relies on
// it), otherwise every case. A fitting rule without sampled cases measures
// every case too, so that there is always a best case to record.
std::vector<int32_t> MeasuredCases(const TTuneRegion& region) {
  std::vector<int32_t> cases;
  if (region.FitMethod != 0 && region.SampledPoints != nullptr) {
    cases = *region.SampledPoints;
    std::sort(cases.begin(), cases.end());
  }
  if (cases.empty()) {
    for (int32_t i = 1; i <= region.CaseCount; ++i) cases.push_back(i);
  }
  return cases;
}

// The largest problem size: Vexnor_ENDTUNESIZE when a directive set it,
// otherwise the first parameter N or NN with a known value, truncated.
bool LargestProblemSize(const TTuneRegion& region, const TGenContext& context,
                        int32_t& value) {
  int32_t index = context.SysVars.Find("Vexnor_ENDTUNESIZE");
  if (index >= 0) {
    value = context.SysVars.Value(index);
    return true;
  }
  if (region.ValList == nullptr) return false;
  for (const auto& var : *region.ValList) {
    if (!var->HasValue || !(SameText(var->Name, "N") || SameText(var->Name, "NN"))) continue;
    value = SaturatingInt(var->Value);
    return true;
  }
  return false;
}

// Finds word in text ignoring letter case; npos when it is not there.
size_t FindIgnoringCase(const std::string& text, const std::string& word) {
  return UpperAscii(text).find(UpperAscii(word));
}

// The expression of a cost rule: what follows "estimated" (an estimated
// cost) or else "according" (a condition), past the keyword and the one
// character after it, trimmed.
std::string RuleExpression(const std::string& rule, bool& estimated) {
  size_t at = FindIgnoringCase(rule, "estimated");
  estimated = at != std::string::npos;
  if (!estimated) at = FindIgnoringCase(rule, "according");
  if (at == std::string::npos || at + 10 > rule.size()) return "";
  return TrimControl(rule.substr(at + 10));
}

class TDriverWriter {
 public:
  TDriverWriter(const TTuneRegion& region, const TGenContext& context, std::string& out)
      : region_(region),
        context_(context),
        out_(out),
        dynamic_(region.TuneKind == TuneKind::Dynamic),
        kind_(region.KindName),
        name_(region.Name),
        loop_("iloop_" + LowerAscii(region.KindName)),
        size_(dynamic_ ? "N" : "iloop_n"),
        cases_(MeasuredCases(region)),
        measured_(static_cast<int32_t>(cases_.size())) {
    if (context.RegionList != nullptr) {
      regionCount_ = static_cast<int32_t>(context.RegionList->size());
      for (size_t i = 0; i < context.RegionList->size(); ++i) {
        if ((*context.RegionList)[i].get() == &region) position_ = static_cast<int32_t>(i) + 1;
      }
    }
  }

  void Write() {
    Heading();
    if (!ProblemSize()) return;
    LocalCopies();
    WorkingVariables();
    OpenFiles();
    CasesToMeasure();
    Measurement();
    if (context_.VisualFlag) ProgressReport();
    if (region_.HasAccording) CostRules();
    if (context_.VisualFlag) RegionLog();
    MeasurementPrint();
    BestCase();
    if (fitting()) WriteFittingSample(region_, out_);
    EndOfCaseLoop();
    if (fitting()) WriteFittingSelection(region_, measured_, out_);
    SizeRecord();
    CloseFiles();
    if (fitting()) WriteFittingEstimation(region_, out_);
    Ending();
  }

 private:
  bool fitting() const { return region_.FitMethod != 0; }

  // A line written as it is, with its line end.
  void Line(const char* text) { out_ += text; }
  // A line filled like printf, with its line end.
  void Put(const char* format, ...) __attribute__((format(printf, 2, 3))) {
    va_list args;
    va_start(args, format);
    out_ += VFormat(format, args);
    va_end(args);
  }
  // A line without its line end, cut into continuation lines when it passes
  // column 72.
  void Folded(const std::string& text) {
    out_ += FoldLine(text);
    out_ += '\n';
  }

  // Rewrites the shared progress file from ExecState.
  void WriteProgressFile() {
    Line("              open(12, status = 'replace',\n");
    Line("     &           file = 'VexnorATLog.dat',\n");
    Line("     &           action = 'write', pad= 'yes')\n");
    Line("\n");
    Put("              do iloop_v = 1, %d\n", regionCount_);
    Line("                write (12, *) ExecState(iloop_v)\n");
    Line("              enddo\n");
    Line("              close(12, status = 'keep')\n");
  }

  // Subroutine statement and arguments.
  void Heading() {
    Put("c     ==== %s Optimization Routines\n", kind_.c_str());
    Line("c     ==============================================================\n");
    if (!dynamic_) {
      out_ += FoldLine(Format("      subroutine Vexnor_ATexec%s%s(Vexnor_Routines)\n", kind_.c_str(),
                              name_.c_str()));
    } else {
      out_ += FoldLine(Format("      subroutine Vexnor_ATexec%s%s(Vexnor_Routines,%s,iBestSw1)\n",
                              kind_.c_str(), name_.c_str(), "N"));
    }
    if (dynamic_) {
      // Called from Vexnor_SetParm with the region's name as it arrived
      // there, which is shorter than the list of all names.
      Line("      character*(*) Vexnor_Routines\n");
    } else {
      Put("      character*%d Vexnor_Routines\n", context_.RoutineListLength);
    }
    if (dynamic_) {
      Put("      integer %s\n", "N");
      Line("      integer iBestSw1\n");
    }
    Line("\n");
    Line("      include 'VexnorScript.h'\n");
    Line("\n");
  }

  // NN, the extent of the local copies of the region's arrays.
  bool ProblemSize() {
    int32_t value = 0;
    if (!LargestProblemSize(region_, context_, value)) {
      context_.Reporter.ReportError(codegen_messages::ProblemSizeMissing());
      return false;
    }
    Put("      integer %s\n", "NN");
    Put("      parameter ( %s = %d )\n", "NN", value);
    return true;
  }

  // The local copies of the variables the dispatcher receives. Variables of
  // one type statement share a line; a variable whose declaration cannot be
  // copied (a named constant, or one typed implicitly or only by DIMENSION)
  // gets a line of its own with its type alone.
  void LocalCopies() {
    std::string line;
    std::string constants;
    int32_t start = -1;
    for (const TRegionVar& entry : region_.RegionVars) {
      if (!entry.Passed || entry.Var == nullptr) continue;
      const TValData& var = *entry.Var;
      if (dynamic_ && IsSizeName(var.Name)) continue;
      const bool copies = CopiesDeclarationType(var);
      if (!copies || start == -1 || var.TypeStart != start) {
        Declaration(line, constants);
        line = copies ? CopiedText(var.TypeStart, var.TypeEnd, true) : TypeText(region_, var);
        start = copies && !line.empty() ? var.TypeStart : -1;
        if (line.empty()) continue;  // a name known only as a function
      } else {
        line += ",";
      }
      line += " " + var.Name + CopiedText(var.DimStart, var.DimEnd, false);
      constants += ConstantValue(var);
    }
    Declaration(line, constants);
    Line("\n");
  }

  void Declaration(std::string& line, std::string& constants) {
    if (!line.empty()) Folded(line);
    out_ += constants;
    line.clear();
    constants.clear();
  }

  // The source text of the records from..to (exclusive) for a declaration
  // of the driver: N, NX, NY and NZ become NN (N in a Dynamic driver, whose
  // argument N sizes its copies), keeping the blanks before them; in a type
  // part the attributes a local may not have (intent, optional, value) are
  // left out with their comma.
  std::string CopiedText(int32_t from, int32_t to, bool typePart) const {
    const TTokenList& list = *region_.TokenList;
    const int32_t end = std::min(to, static_cast<int32_t>(list.size()));
    std::string text;
    for (int32_t i = from; i >= 0 && i < end; ++i) {
      const TToken& record = *list[static_cast<size_t>(i)];
      if (typePart && record.Kind == Comma && i + 1 < end && IsDummyAttribute(i + 1)) {
        i = AttributeEnd(i + 1, end);
        continue;
      }
      const std::string& source = record.SrcText;
      const std::string& word = record.Text;
      if (record.Kind == Word && IsSizeName(word) && source.size() >= word.size() &&
          source.compare(source.size() - word.size(), word.size(), word) == 0) {
        text += source.substr(0, source.size() - word.size()) + (dynamic_ ? "N" : "NN");
      } else {
        text += source;
      }
    }
    return text;
  }

  bool IsDummyAttribute(int32_t i) const {
    const TToken& record = *(*region_.TokenList)[static_cast<size_t>(i)];
    return record.Kind == KwIntent || record.Kind == KwOptional || SameText(record.Text, "value");
  }

  // The last record of the attribute at i: its keyword, or the ")" that
  // closes its parenthesised part.
  int32_t AttributeEnd(int32_t i, int32_t end) const {
    const TTokenList& list = *region_.TokenList;
    if (i + 1 >= end || list[static_cast<size_t>(i + 1)]->Kind != LParen) return i;
    int32_t depth = 0;
    for (int32_t j = i + 1; j < end; ++j) {
      int32_t kind = list[static_cast<size_t>(j)]->Kind;
      if (kind == LParen) ++depth;
      if (kind == RParen && --depth == 0) return j;
    }
    return end - 1;
  }

  // An integer named constant keeps its value in the driver, so that the
  // copies it dimensions can be declared and the dispatcher receives it.
  // The problem-size names are variables of the driver.
  std::string ConstantValue(const TValData& var) const {
    if (!var.IsParameter || !var.HasValue || var.Type != ValType::Int || var.IsArray ||
        IsSizeName(var.Name) || var.Value != std::trunc(var.Value) ||
        std::fabs(var.Value) > static_cast<double>(std::numeric_limits<int32_t>::max())) {
      return "";
    }
    return FoldLine(Format("      parameter ( %s = %d )", var.Name.c_str(),
                           static_cast<int32_t>(var.Value))) +
           "\n";
  }

  // Case selector, list of cases, best case and timings.
  void WorkingVariables() {
    if (fitting()) WriteFittingDeclarations(region_, out_);
    Line("\n");
    Line("      integer iusw1\n");
    Put("      integer F1(%d)\n", measured_);
    Line("\n");
    if (!dynamic_) Line("      integer iBestSw1\n");
    Line("\n");
    Line("      real*8  t1, t2, t_all, bt\n");
    Line("      real*8  dBestTime1\n");
    Line("\n");
    if (context_.VisualFlag) {
      Line("      integer inum,iloop_v,LoopCount\n");
      Put("      integer ExecState(%d)\n", regionCount_);
      Line("      character*100 cbuf\n");
      Line("      real*8 t_all_sum\n");
    }
    Line("\n");
  }

  // Process 0 opens the parameter file and, with visualization, reads the
  // progress file and opens the region log.
  void OpenFiles() {
    Line("c     ---- file create\n");
    Line("c     -----------------------------------------\n");
    Line("      if (myid .eq. 0) then\n");
    Line("        open(11, status = 'replace',\n");
    Folded(Format("     &     file = 'Vexnor_%s%sParam.dat',", kind_.c_str(), name_.c_str()));
    Line("     &     action = 'write', pad= 'yes')\n");
    Line("\n");
    Folded(Format("        write (11, *) \"(%s\"", name_.c_str()));
    if (!dynamic_) {
      Line("        write (11, *) \"  (Vexnor_NUMPROCS \", Vexnor_NUMPROCS,\")\"\n");
      Line("        write (11, *) \"  (Vexnor_SAMPDIST \", Vexnor_SAMPDIST,\")\"\n");
    }
    if (context_.VisualFlag) OpenProgressFiles();
    Line("      endif\n");
    Line("c     ----------------------------------------\n");
    Line("\n");
  }

  void OpenProgressFiles() {
    Line("\n");
    if (dynamic_) {
      Line("        LoopCount = 1\n");
    } else {
      Line("        LoopCount = Vexnor_ENDTUNESIZE-Vexnor_STARTTUNESIZE\n");
      Line("        LoopCount = LoopCount+Vexnor_SAMPDIST\n");
      Line("        LoopCount = LoopCount/Vexnor_SAMPDIST\n");
    }
    Line("\n");
    Line("        open(12, status = 'old',\n");
    Line("     &     file = 'VexnorATLog.dat',\n");
    Line("     &     action = 'read', pad= 'yes')\n");
    Line("\n");
    Put("        do iloop_v = 1, %d\n", regionCount_);
    Line("          read(12, *) cbuf\n");
    Line("          call VexnorCharToNum(cbuf,inum)\n");
    Line("          ExecState(iloop_v) = inum\n");
    Line("        enddo\n");
    Line("        close(12, status = 'keep')\n");
    Line("\n");
    Line("        open(13, status = 'replace',\n");
    Folded(Format("     &     file = 'VexnorATLog_%s.dat',", name_.c_str()));
    Line("     &     action = 'write', pad= 'yes')\n");
    Line("        write (13, *) VEXNOR_NUMPROCS , \"NUMPROCS\"\n");
    if (dynamic_) {
      Line("        write (13, *) N, \"Vexnor_STARTTUNESIZE\"\n");
      Line("        write (13, *) N, \"VEXNOR_ENDTUNESIZE\"\n");
      Line("        write (13, *) 100, \"VEXNOR_SAMPDIST\"\n");
    } else {
      Line("        write (13, *) Vexnor_STARTTUNESIZE, \"Vexnor_STARTTUNESIZE\"\n");
      Line("        write (13, *) VEXNOR_ENDTUNESIZE, \"VEXNOR_ENDTUNESIZE\"\n");
      Line("        write (13, *) VEXNOR_SAMPDIST, \"VEXNOR_SAMPDIST\"\n");
    }
    Line("        write (13, *) -1, \"EndOfHeader\"\n");
    Line("\n");
  }

  // The list of cases, the problem-size loop (not in a Dynamic driver) and
  // the head of the case loop.
  void CasesToMeasure() {
    Line("c     ---- Start tune\n");
    Line("c     -----------------------------------------\n");
    for (int32_t i = 1; i <= measured_; ++i) {
      Put("      F1(%d)=%d\n", i, cases_[static_cast<size_t>(i - 1)]);
    }
    if (fitting()) WriteFittingVariables(region_, measured_, out_);
    if (context_.VisualFlag) Line("      t_all_sum = 0\n");
    if (!dynamic_) {
      SizeLimitCheck();
      Line("      do iloop_n=Vexnor_STARTTUNESIZE,\n");
      Line("     &           Vexnor_ENDTUNESIZE,\n");
      Line("     &           Vexnor_SAMPDIST\n");
    }
    Line("\n");
    Put("        do %s=1, %d\n", loop_.c_str(), measured_);
    Line("\n");
    Put("          iusw1 = F1(%s)\n", loop_.c_str());
    Line("\n");
    if (!dynamic_) {
      Line("          N = iloop_n\n");
      Line("          NX = iloop_n\n");
      Line("          NY = iloop_n\n");
      Line("          NZ = iloop_n\n");
    }
    Line("\n");
  }

  // The copies hold NN elements per dimension: a tuning range beyond NN
  // stops the program before anything is measured.
  void SizeLimitCheck() {
    Line("      if (Vexnor_ENDTUNESIZE .gt. NN) then\n");
    Line("        if (myid .eq. 0) then\n");
    Folded(Format("          print *, \"Vexnor_ATexec%s%s: Vexnor_ENDTUNESIZE\",", kind_.c_str(),
                  name_.c_str()));
    Line("     &      Vexnor_ENDTUNESIZE, \" exceeds the largest problem size\",\n");
    Line("     &      NN, \" of the tuning routine.\"\n");
    Line("        endif\n");
    Line("        call MPI_FINALIZE(ierr)\n");
    Line("        stop 1\n");
    Line("      endif\n");
  }

  // One timed call of the dispatcher, between the pre- and post-processing
  // statements; the time is the largest over the processes.
  void Measurement() {
    std::string before = ProcessingBlock(region_, Pripro, context_.Reporter);
    if (!before.empty()) {
      out_ += before;
      Line("\n");
    }
    Line("          call MPI_BARRIER(MPI_COMM_WORLD, ierr)\n");
    Line("          t1 = MPI_WTIME()\n");
    Line("\n");
    Folded(DispatcherCall());
    Line("\n");
    Line("          call MPI_BARRIER(MPI_COMM_WORLD, ierr)\n");
    Line("          t2 = MPI_WTIME()\n");
    Line("          t_all = t2 - t1\n");
    Line("          call MPI_ALLREDUCE(t_all, bt, 1, MPI_DOUBLE_PRECISION,\n");
    Line("     &           MPI_MAX, MPI_COMM_WORLD, ierr)\n");
    Line("          t_all = bt\n");
    Line("\n");
    std::string after = ProcessingBlock(region_, Postpro, context_.Reporter);
    if (!after.empty()) {
      out_ += after;
      Line("\n");
    }
  }

  // A Dynamic driver knows the problem size only as its argument N, so it
  // hands N to the dispatcher for NX, NY and NZ too.
  std::string DispatcherCall() const {
    std::string call = "          call " + region_.RoutineName + "(";
    for (const TRegionVar& entry : region_.RegionVars) {
      if (!entry.Passed || entry.Var == nullptr) continue;
      const std::string& name = entry.Var->Name;
      const bool sizeName = dynamic_ && IsSizeName(name) && !SameText(name, "N");
      call += (sizeName ? std::string("N") : name) + ", ";
    }
    return call + "iusw1)";
  }

  // Process 0 rewrites the progress file after each further second of
  // measured time.
  void ProgressReport() {
    Line("          if (myid .eq. 0) then\n");
    Line("            t_all_sum = t_all_sum + t_all\n");
    Line("            if(t_all_sum .ge. 1.0) then\n");
    Line("              t_all_sum = 0\n");
    if (dynamic_) {
      Line("              inum = 0\n");
    } else {
      Line("              inum = (iloop_n-Vexnor_STARTTUNESIZE)/Vexnor_SAMPDIST\n");
    }
    Put("              ExecState(%d) = (100*inum+\n", position_);
    Put("     &                    100*(%s-1)/%d)/LoopCount\n", loop_.c_str(), region_.CaseCount);
    WriteProgressFile();
    Line("            endif\n");
    Line("          endif\n");
  }

  // According and estimated rules replace the measured time: a condition
  // that holds makes the case cost nothing, an estimate gives its value.
  void CostRules() {
    if (region_.SubRegions.empty()) {
      Rule(region_.AccordingStr, "            ");
    } else {
      Line("          select case(iusw1)\n");
      int32_t first = 1;
      for (const auto& sub : region_.SubRegions) {
        const int32_t count = sub->CaseCount;
        if (!sub->AccordingStr.empty()) {
          if (count > 1) {
            Put("            case(%d:%d)\n", first, first + count - 1);
          } else {
            Put("            case(%d)\n", first);
          }
          Rule(sub->AccordingStr, "              ");
        }
        first += count > 1 ? count : 1;
      }
      Line("          end select\n");
    }
    Line("\n");
  }

  void Rule(const std::string& rule, const std::string& indent) {
    bool estimated = false;
    std::string expression = RuleExpression(rule, estimated);
    if (estimated) {
      Folded(indent + "t_all = dble(" + expression + ")");
    } else {
      Folded(indent + "if (" + expression + ") then");
      out_ += indent + "  t_all = 0\n";
      out_ += indent + "endif\n";
    }
  }

  // Per problem size, one record per case in case order: the time of a
  // measured case, an empty record for one that is not measured.
  void RegionLog() {
    const char* loop = loop_.c_str();
    Line("          if (myid .eq. 0) then\n");
    Put("            if (%s .eq. 1) then\n", loop);
    Put("              do iloop_vi = 1, F1(%s)-1\n", loop);
    Line("                write (13, *)\n");
    Line("              enddo\n");
    Line("            endif\n");
    Line("            write (13, *) t_all\n");
    Put("            if (%s .lt. %d) then\n", loop, measured_);
    Put("              do iloop_vi = F1(%s)+1, F1(%s+1)-1\n", loop, loop);
    Line("                write (13, *)\n");
    Line("              enddo\n");
    Line("            else\n");
    Put("              do iloop_vi = F1(%s)+1,%d\n", loop, region_.CaseCount);
    Line("                write (13, *)\n");
    Line("              enddo\n");
    Line("            endif\n");
    Line("          endif\n");
  }

  // Printed with DebugFlag, written as comments without it.
  void MeasurementPrint() {
    const char* c = context_.DebugFlag ? "" : "c";
    Put("%s          if (Vexnor_DEBUG .ge. 1)then\n", c);
    Put("%s            if (myid .eq. 0) then\n", c);
    Put("%s              print *, \"N=\",%s, \"iusw1=\", iusw1, t_all\n", c, size_.c_str());
    Put("%s            endif\n", c);
    Put("%s          endif\n", c);
    Line("\n");
  }

  // The first measured case starts the record; a later one replaces it
  // only when strictly faster.
  void BestCase() {
    Put("          if (%s .eq. 1) then\n", loop_.c_str());
    Line("            dBestTime1 = t_all\n");
    Line("            iBestSw1 = F1(1)\n");
    Line("          else\n");
    Line("            if (t_all .lt. dBestTime1) then\n");
    Line("              dBestTime1 = t_all\n");
    Put("              iBestSw1 = F1(%s)\n", loop_.c_str());
    Line("            endif\n");
    Line("          endif\n");
    Line("\n");
  }

  void EndOfCaseLoop() {
    Line("        enddo\n");
    Line("\n");
    if (context_.DebugFlag) {
      Line("        if (Vexnor_DEBUG .ge. 1)then\n");
      Line("          if (myid .eq. 0) then\n");
      Put("             print *, \"N=\",%s, \"BestSw=\",iBestSW1\n", size_.c_str());
      Line("          endif\n");
      Line("        endif\n");
    }
  }

  // The parameter-file record of one problem size; the end of the
  // problem-size loop.
  void SizeRecord() {
    Line("c       --- file write\n");
    Line("        if (myid .eq. 0) then\n");
    Put("          write (11, *) \"  (Vexnor_PROBSIZE \", %s, \" \"\n", size_.c_str());
    Folded(Format("          write (11, *) \"     (%s_I \", iBestSw1,\")\"", name_.c_str()));
    Line("          write (11, *) \"  )\"\n");
    Line("        endif\n");
    Line("c       -----------------------------------------\n");
    if (!dynamic_) Line("      enddo\n");
    Line("\n");
  }

  // Process 0 ends the parameter file and, with visualization, marks the
  // region done in the progress file and closes the region log.
  void CloseFiles() {
    Line("c     --- file close\n");
    Line("      if (myid .eq. 0) then\n");
    Line("        write (11, *) \")\"\n");
    Line("        close(11, status = 'keep')\n");
    if (context_.VisualFlag) {
      Put("              ExecState(%d) = 100\n", position_);
      WriteProgressFile();
      Line("              close(13, status = 'keep')\n");
    }
    Line("      endif\n");
    Line("c     ---------------------------------------------\n");
    Line("\n");
  }

  void Ending() {
    Line("      return\n");
    Line("      end\n");
    Put("c     ==== End of %s Optimization Routines\n", kind_.c_str());
    Line("c     ==============================================================\n");
    Line("\n");
    Line("\n");
  }

  const TTuneRegion& region_;
  const TGenContext& context_;
  std::string& out_;
  const bool dynamic_;
  const std::string kind_;
  const std::string name_;
  // The case loop's variable, and the problem size as the prints and the
  // parameter file name it.
  const std::string loop_;
  const std::string size_;
  const std::vector<int32_t> cases_;
  const int32_t measured_;
  int32_t regionCount_ = 0;
  int32_t position_ = 0;
};

}  // namespace

void WriteTuningRoutine(const TTuneRegion& region, const TGenContext& context, std::string& out) {
  TDriverWriter(region, context, out).Write();
}
