// Tuning driver routines.
#include "codegen/tuning_routine.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "codegen/codegen_messages.h"
#include "codegen/fitting_blocks.h"
#include "codegen/processing_block.h"
#include "codegen/type_text.h"
#include "frontend/declarations.h"
#include "frontend/text.h"

namespace {

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
    for (int32_t i = 1; i <= region.CaseCount; ++i) {
      cases.push_back(i);
    }
  }
  return cases;
}

// The largest problem size: Vexnor_ENDTUNESIZE when a directive set it,
// otherwise the first parameter N or NN with a known value, truncated.
bool LargestProblemSize(const TTuneRegion& region, const TGenContext& context, int32_t& value) {
  int32_t index = context.SysVars.Find("Vexnor_ENDTUNESIZE");
  if (index >= 0) {
    value = context.SysVars.Value(index);
    return true;
  }
  if (region.ValList == nullptr) {
    return false;
  }
  for (const auto& var : *region.ValList) {
    if (!var->HasValue || !(SameText(var->Name, "N") || SameText(var->Name, "NN"))) {
      continue;
    }
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
  if (!estimated) {
    at = FindIgnoringCase(rule, "according");
  }
  if (at == std::string::npos || at + 10 > rule.size()) {
    return "";
  }
  return TrimControl(rule.substr(at + 10));
}

class TDriverWriter {
 public:
  TDriverWriter(const TTuneRegion& region, const TGenContext& context, TCodeWriter& w)
      : region_(region),
        context_(context),
        w_(w),
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
        if ((*context.RegionList)[i].get() == &region) {
          position_ = static_cast<int32_t>(i) + 1;
        }
      }
    }
  }

  void Write() {
    Heading();
    if (!ProblemSize()) {
      return;
    }
    LocalCopies();
    WorkingVariables();
    OpenFiles();
    CasesToMeasure();
    Measurement();
    if (context_.VisualFlag) {
      ProgressReport();
    }
    if (region_.HasAccording) {
      CostRules();
    }
    if (context_.VisualFlag) {
      RegionLog();
    }
    MeasurementPrint();
    BestCase();
    if (fitting()) {
      WriteFittingSample(region_, w_);
    }
    EndOfCaseLoop();
    if (fitting()) {
      WriteFittingSelection(region_, measured_, w_);
    }
    SizeRecord();
    CloseFiles();
    if (fitting()) {
      WriteFittingEstimation(region_, w_);
    }
    Ending();
  }

 private:
  bool fitting() const { return region_.FitMethod != 0; }

  // Rewrites the shared progress file from ExecState.
  void WriteProgressFile() {
    w_.Line("              open(12, status = 'replace',");
    w_.Line("     &           file = 'VexnorATLog.dat',");
    w_.Line("     &           action = 'write', pad= 'yes')");
    w_.Line();
    w_.LineF("              do iloop_v = 1, %d", regionCount_);
    w_.Line("                write (12, *) ExecState(iloop_v)");
    w_.Line("              enddo");
    w_.Line("              close(12, status = 'keep')");
  }

  // Subroutine statement and arguments.
  void Heading() {
    w_.LineF("c     ==== %s Optimization Routines", kind_.c_str());
    w_.Line("c     ==============================================================");
    if (!dynamic_) {
      w_.FoldedWithEnd("      subroutine Vexnor_ATexec" + kind_ + name_ + "(Vexnor_Routines)");
    } else {
      w_.FoldedWithEnd("      subroutine Vexnor_ATexec" + kind_ + name_ +
                       "(Vexnor_Routines,N,iBestSw1)");
    }
    if (dynamic_) {
      // Called from Vexnor_SetParm with the region's name as it arrived
      // there, which is shorter than the list of all names.
      w_.Line("      character*(*) Vexnor_Routines");
    } else {
      w_.LineF("      character*%d Vexnor_Routines", context_.RoutineListLength);
    }
    if (dynamic_) {
      w_.LineF("      integer %s", "N");
      w_.Line("      integer iBestSw1");
    }
    w_.Line();
    w_.Line("      include 'VexnorScript.h'");
    w_.Line();
  }

  // NN, the extent of the local copies of the region's arrays.
  bool ProblemSize() {
    int32_t value = 0;
    if (!LargestProblemSize(region_, context_, value)) {
      context_.Reporter.ReportError(codegen_messages::ProblemSizeMissing());
      return false;
    }
    w_.LineF("      integer %s", "NN");
    w_.LineF("      parameter ( %s = %d )", "NN", value);
    return true;
  }

  // The local copies of the variables the dispatcher receives. Variables of
  // one type statement share a line; a variable whose declaration cannot be
  // copied (a named constant, or one typed implicitly or only by DIMENSION)
  // gets a line of its own with its type alone.
  void LocalCopies() {
    std::string line;
    std::vector<std::string> constants;
    int32_t start = -1;
    for (const TRegionVar& entry : region_.RegionVars) {
      if (!entry.Passed || entry.Var == nullptr) {
        continue;
      }
      const TValData& var = *entry.Var;
      if (dynamic_ && IsSizeName(var.Name)) {
        continue;
      }
      const bool copies = CopiesDeclarationType(var);
      if (!copies || start == -1 || var.TypeStart != start) {
        Declaration(line, constants);
        line = copies ? CopiedText(var.TypeStart, var.TypeEnd, true) : TypeText(region_, var);
        start = copies && !line.empty() ? var.TypeStart : -1;
        if (line.empty()) {
          continue;  // a name known only as a function
        }
      } else {
        line += ",";
      }
      line += " " + var.Name + CopiedText(var.DimStart, var.DimEnd, false);
      if (IsIntegerConstant(var)) {
        constants.push_back("      parameter ( " + var.Name + " = " +
                            std::to_string(static_cast<int32_t>(var.Value)) + " )");
      }
    }
    Declaration(line, constants);
    w_.Line();
  }

  // The pending declaration line, then the values of the named constants
  // it declares.
  void Declaration(std::string& line, std::vector<std::string>& constants) {
    if (!line.empty()) {
      w_.Folded(line);
    }
    for (const std::string& constant : constants) {
      w_.Folded(constant);
    }
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
    if (i + 1 >= end || list[static_cast<size_t>(i + 1)]->Kind != LParen) {
      return i;
    }
    int32_t depth = 0;
    for (int32_t j = i + 1; j < end; ++j) {
      int32_t kind = list[static_cast<size_t>(j)]->Kind;
      if (kind == LParen) {
        ++depth;
      }
      if (kind == RParen && --depth == 0) {
        return j;
      }
    }
    return end - 1;
  }

  // An integer named constant keeps its value in the driver, so that the
  // copies it dimensions can be declared and the dispatcher receives it.
  // The problem-size names are variables of the driver.
  static bool IsIntegerConstant(const TValData& var) {
    return var.IsParameter && var.HasValue && var.Type == ValType::Int && !var.IsArray &&
           !IsSizeName(var.Name) && var.Value == std::trunc(var.Value) &&
           std::fabs(var.Value) <= static_cast<double>(std::numeric_limits<int32_t>::max());
  }

  // Case selector, list of cases, best case and timings.
  void WorkingVariables() {
    if (fitting()) {
      WriteFittingDeclarations(region_, w_);
    }
    w_.Line();
    w_.Line("      integer iusw1");
    w_.LineF("      integer F1(%d)", measured_);
    w_.Line();
    if (!dynamic_) {
      w_.Line("      integer iBestSw1");
    }
    w_.Line();
    w_.Line("      real*8  t1, t2, t_all, bt");
    w_.Line("      real*8  dBestTime1");
    w_.Line();
    if (context_.VisualFlag) {
      w_.Line("      integer inum,iloop_v,LoopCount");
      w_.LineF("      integer ExecState(%d)", regionCount_);
      w_.Line("      character*100 cbuf");
      w_.Line("      real*8 t_all_sum");
    }
    w_.Line();
  }

  // Process 0 opens the parameter file and, with visualization, reads the
  // progress file and opens the region log.
  void OpenFiles() {
    w_.Line("c     ---- file create");
    w_.Line("c     -----------------------------------------");
    w_.Line("      if (myid .eq. 0) then");
    w_.Line("        open(11, status = 'replace',");
    w_.FoldedF("     &     file = 'Vexnor_%s%sParam.dat',", kind_.c_str(), name_.c_str());
    w_.Line("     &     action = 'write', pad= 'yes')");
    w_.Line();
    w_.FoldedF("        write (11, *) \"(%s\"", name_.c_str());
    if (!dynamic_) {
      w_.Line("        write (11, *) \"  (Vexnor_NUMPROCS \", Vexnor_NUMPROCS,\")\"");
      w_.Line("        write (11, *) \"  (Vexnor_SAMPDIST \", Vexnor_SAMPDIST,\")\"");
    }
    if (context_.VisualFlag) {
      OpenProgressFiles();
    }
    w_.Line("      endif");
    w_.Line("c     ----------------------------------------");
    w_.Line();
  }

  void OpenProgressFiles() {
    w_.Line();
    if (dynamic_) {
      w_.Line("        LoopCount = 1");
    } else {
      w_.Line("        LoopCount = Vexnor_ENDTUNESIZE-Vexnor_STARTTUNESIZE");
      w_.Line("        LoopCount = LoopCount+Vexnor_SAMPDIST");
      w_.Line("        LoopCount = LoopCount/Vexnor_SAMPDIST");
    }
    w_.Line();
    w_.Line("        open(12, status = 'old',");
    w_.Line("     &     file = 'VexnorATLog.dat',");
    w_.Line("     &     action = 'read', pad= 'yes')");
    w_.Line();
    w_.LineF("        do iloop_v = 1, %d", regionCount_);
    w_.Line("          read(12, *) cbuf");
    w_.Line("          call VexnorCharToNum(cbuf,inum)");
    w_.Line("          ExecState(iloop_v) = inum");
    w_.Line("        enddo");
    w_.Line("        close(12, status = 'keep')");
    w_.Line();
    w_.Line("        open(13, status = 'replace',");
    w_.FoldedF("     &     file = 'VexnorATLog_%s.dat',", name_.c_str());
    w_.Line("     &     action = 'write', pad= 'yes')");
    w_.Line("        write (13, *) VEXNOR_NUMPROCS , \"NUMPROCS\"");
    if (dynamic_) {
      w_.Line("        write (13, *) N, \"Vexnor_STARTTUNESIZE\"");
      w_.Line("        write (13, *) N, \"VEXNOR_ENDTUNESIZE\"");
      w_.Line("        write (13, *) 100, \"VEXNOR_SAMPDIST\"");
    } else {
      w_.Line("        write (13, *) Vexnor_STARTTUNESIZE, \"Vexnor_STARTTUNESIZE\"");
      w_.Line("        write (13, *) VEXNOR_ENDTUNESIZE, \"VEXNOR_ENDTUNESIZE\"");
      w_.Line("        write (13, *) VEXNOR_SAMPDIST, \"VEXNOR_SAMPDIST\"");
    }
    w_.Line("        write (13, *) -1, \"EndOfHeader\"");
    w_.Line();
  }

  // The list of cases, the problem-size loop (not in a Dynamic driver) and
  // the head of the case loop.
  void CasesToMeasure() {
    w_.Line("c     ---- Start tune");
    w_.Line("c     -----------------------------------------");
    for (int32_t i = 1; i <= measured_; ++i) {
      w_.LineF("      F1(%d)=%d", i, cases_[static_cast<size_t>(i - 1)]);
    }
    if (fitting()) {
      WriteFittingVariables(region_, measured_, w_);
    }
    if (context_.VisualFlag) {
      w_.Line("      t_all_sum = 0");
    }
    if (!dynamic_) {
      SizeLimitCheck();
      w_.Line("      do iloop_n=Vexnor_STARTTUNESIZE,");
      w_.Line("     &           Vexnor_ENDTUNESIZE,");
      w_.Line("     &           Vexnor_SAMPDIST");
    }
    w_.Line();
    w_.LineF("        do %s=1, %d", loop_.c_str(), measured_);
    w_.Line();
    w_.LineF("          iusw1 = F1(%s)", loop_.c_str());
    w_.Line();
    if (!dynamic_) {
      w_.Line("          N = iloop_n");
      w_.Line("          NX = iloop_n");
      w_.Line("          NY = iloop_n");
      w_.Line("          NZ = iloop_n");
    }
    w_.Line();
  }

  // The copies hold NN elements per dimension: a tuning range beyond NN
  // stops the program before anything is measured.
  void SizeLimitCheck() {
    w_.Line("      if (Vexnor_ENDTUNESIZE .gt. NN) then");
    w_.Line("        if (myid .eq. 0) then");
    w_.FoldedF("          print *, \"Vexnor_ATexec%s%s: Vexnor_ENDTUNESIZE\",", kind_.c_str(),
               name_.c_str());
    w_.Line("     &      Vexnor_ENDTUNESIZE, \" exceeds the largest problem size\",");
    w_.Line("     &      NN, \" of the tuning routine.\"");
    w_.Line("        endif");
    w_.Line("        call MPI_FINALIZE(ierr)");
    w_.Line("        stop 1");
    w_.Line("      endif");
  }

  // One timed call of the dispatcher, between the pre- and post-processing
  // statements; the time is the largest over the processes.
  void Measurement() {
    if (WriteProcessingBlock(region_, Pripro, context_.Reporter, w_)) {
      w_.Line();
    }
    w_.Line("          call MPI_BARRIER(MPI_COMM_WORLD, ierr)");
    w_.Line("          t1 = MPI_WTIME()");
    w_.Line();
    w_.Folded(DispatcherCall());
    w_.Line();
    w_.Line("          call MPI_BARRIER(MPI_COMM_WORLD, ierr)");
    w_.Line("          t2 = MPI_WTIME()");
    w_.Line("          t_all = t2 - t1");
    w_.Line("          call MPI_ALLREDUCE(t_all, bt, 1, MPI_DOUBLE_PRECISION,");
    w_.Line("     &           MPI_MAX, MPI_COMM_WORLD, ierr)");
    w_.Line("          t_all = bt");
    w_.Line();
    if (WriteProcessingBlock(region_, Postpro, context_.Reporter, w_)) {
      w_.Line();
    }
  }

  // A Dynamic driver knows the problem size only as its argument N, so it
  // hands N to the dispatcher for NX, NY and NZ too.
  std::string DispatcherCall() const {
    std::string call = "          call " + region_.RoutineName + "(";
    for (const TRegionVar& entry : region_.RegionVars) {
      if (!entry.Passed || entry.Var == nullptr) {
        continue;
      }
      const std::string& name = entry.Var->Name;
      const bool sizeName = dynamic_ && IsSizeName(name) && !SameText(name, "N");
      call += (sizeName ? std::string("N") : name) + ", ";
    }
    return call + "iusw1)";
  }

  // Process 0 rewrites the progress file after each further second of
  // measured time.
  void ProgressReport() {
    w_.Line("          if (myid .eq. 0) then");
    w_.Line("            t_all_sum = t_all_sum + t_all");
    w_.Line("            if(t_all_sum .ge. 1.0) then");
    w_.Line("              t_all_sum = 0");
    if (dynamic_) {
      w_.Line("              inum = 0");
    } else {
      w_.Line("              inum = (iloop_n-Vexnor_STARTTUNESIZE)/Vexnor_SAMPDIST");
    }
    w_.LineF("              ExecState(%d) = (100*inum+", position_);
    w_.LineF("     &                    100*(%s-1)/%d)/LoopCount", loop_.c_str(),
             region_.CaseCount);
    WriteProgressFile();
    w_.Line("            endif");
    w_.Line("          endif");
  }

  // According and estimated rules replace the measured time: a condition
  // that holds makes the case cost nothing, an estimate gives its value.
  void CostRules() {
    if (region_.SubRegions.empty()) {
      Rule(region_.AccordingStr, "            ");
    } else {
      w_.Line("          select case(iusw1)");
      int32_t first = 1;
      for (const auto& sub : region_.SubRegions) {
        const int32_t count = sub->CaseCount;
        if (!sub->AccordingStr.empty()) {
          if (count > 1) {
            w_.LineF("            case(%d:%d)", first, first + count - 1);
          } else {
            w_.LineF("            case(%d)", first);
          }
          Rule(sub->AccordingStr, "              ");
        }
        first += count > 1 ? count : 1;
      }
      w_.Line("          end select");
    }
    w_.Line();
  }

  void Rule(const std::string& rule, const std::string& indent) {
    bool estimated = false;
    std::string expression = RuleExpression(rule, estimated);
    if (estimated) {
      w_.Folded(indent + "t_all = dble(" + expression + ")");
    } else {
      w_.Folded(indent + "if (" + expression + ") then");
      w_.Line(indent + "  t_all = 0");
      w_.Line(indent + "endif");
    }
  }

  // Per problem size, one record per case in case order: the time of a
  // measured case, an empty record for one that is not measured.
  void RegionLog() {
    const char* loop = loop_.c_str();
    w_.Line("          if (myid .eq. 0) then");
    w_.LineF("            if (%s .eq. 1) then", loop);
    w_.LineF("              do iloop_vi = 1, F1(%s)-1", loop);
    w_.Line("                write (13, *)");
    w_.Line("              enddo");
    w_.Line("            endif");
    w_.Line("            write (13, *) t_all");
    w_.LineF("            if (%s .lt. %d) then", loop, measured_);
    w_.LineF("              do iloop_vi = F1(%s)+1, F1(%s+1)-1", loop, loop);
    w_.Line("                write (13, *)");
    w_.Line("              enddo");
    w_.Line("            else");
    w_.LineF("              do iloop_vi = F1(%s)+1,%d", loop, region_.CaseCount);
    w_.Line("                write (13, *)");
    w_.Line("              enddo");
    w_.Line("            endif");
    w_.Line("          endif");
  }

  // Printed with DebugFlag, written as comments without it.
  void MeasurementPrint() {
    const char* c = context_.DebugFlag ? "" : "c";
    w_.LineF("%s          if (Vexnor_DEBUG .ge. 1)then", c);
    w_.LineF("%s            if (myid .eq. 0) then", c);
    w_.LineF("%s              print *, \"N=\",%s, \"iusw1=\", iusw1, t_all", c, size_.c_str());
    w_.LineF("%s            endif", c);
    w_.LineF("%s          endif", c);
    w_.Line();
  }

  // The first measured case starts the record; a later one replaces it
  // only when strictly faster.
  void BestCase() {
    w_.LineF("          if (%s .eq. 1) then", loop_.c_str());
    w_.Line("            dBestTime1 = t_all");
    w_.Line("            iBestSw1 = F1(1)");
    w_.Line("          else");
    w_.Line("            if (t_all .lt. dBestTime1) then");
    w_.Line("              dBestTime1 = t_all");
    w_.LineF("              iBestSw1 = F1(%s)", loop_.c_str());
    w_.Line("            endif");
    w_.Line("          endif");
    w_.Line();
  }

  void EndOfCaseLoop() {
    w_.Line("        enddo");
    w_.Line();
    if (context_.DebugFlag) {
      w_.Line("        if (Vexnor_DEBUG .ge. 1)then");
      w_.Line("          if (myid .eq. 0) then");
      w_.LineF("             print *, \"N=\",%s, \"BestSw=\",iBestSW1", size_.c_str());
      w_.Line("          endif");
      w_.Line("        endif");
    }
  }

  // The parameter-file record of one problem size; the end of the
  // problem-size loop.
  void SizeRecord() {
    w_.Line("c       --- file write");
    w_.Line("        if (myid .eq. 0) then");
    w_.LineF("          write (11, *) \"  (Vexnor_PROBSIZE \", %s, \" \"", size_.c_str());
    w_.FoldedF("          write (11, *) \"     (%s_I \", iBestSw1,\")\"", name_.c_str());
    w_.Line("          write (11, *) \"  )\"");
    w_.Line("        endif");
    w_.Line("c       -----------------------------------------");
    if (!dynamic_) {
      w_.Line("      enddo");
    }
    w_.Line();
  }

  // Process 0 ends the parameter file and, with visualization, marks the
  // region done in the progress file and closes the region log.
  void CloseFiles() {
    w_.Line("c     --- file close");
    w_.Line("      if (myid .eq. 0) then");
    w_.Line("        write (11, *) \")\"");
    w_.Line("        close(11, status = 'keep')");
    if (context_.VisualFlag) {
      w_.LineF("              ExecState(%d) = 100", position_);
      WriteProgressFile();
      w_.Line("              close(13, status = 'keep')");
    }
    w_.Line("      endif");
    w_.Line("c     ---------------------------------------------");
    w_.Line();
  }

  void Ending() {
    w_.Line("      return");
    w_.Line("      end");
    w_.LineF("c     ==== End of %s Optimization Routines", kind_.c_str());
    w_.Line("c     ==============================================================");
    w_.Line();
    w_.Line();
  }

  const TTuneRegion& region_;
  const TGenContext& context_;
  TCodeWriter& w_;
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

void WriteTuningRoutine(const TTuneRegion& region, const TGenContext& context, TCodeWriter& w) {
  TDriverWriter(region, context, w).Write();
}
