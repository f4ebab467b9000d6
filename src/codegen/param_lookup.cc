// Tuned-parameter lookup blocks of Vexnor_SetParm.
#include "codegen/param_lookup.h"

#include <string>

#include "platform/encoding.h"

using platform::Sjis;

namespace {

// --- Lookup in the parameter file ------------------------------------------

void WriteOpenParameterFile(const TTuneRegion& region, int32_t label, TCodeWriter& w) {
  w.Line("          isw = -1");
  w.Line("          ibsw = 1");
  w.Line("c         ---- file create");
  w.Line("c         -----------------------------------------");
  w.Line("          if (myid .eq. 0) then");

  w.Line("            open(21, status = 'old',");
  w.Folded("     &         file = 'Vexnor_" + region.KindName + region.Name + "Param.dat',");
  w.LineF("     &         action = 'read', pad= 'yes', err =%d)", label + 2);
  w.Line();

  w.Line("c           --- Seek object file");
  w.Line("            read(21, *) cbuf");
  w.Folded("            do while (index(cbuf,'" + region.Name + "') .eq. 0)");
  w.Line("              read(21, *) cbuf");
  w.Line("            enddo");
  w.Line();
}

// Steps cbuf(i:i) over the blanks that follow a keyword.
void WriteSkipBlanks(TCodeWriter& w) {
  w.Line("              do while(cbuf(i:i) .eq. ' ')");
  w.Line("                i = i + 1");
  w.Line("              enddo");
  w.Line("c             ---------------------------------");
  w.Line();
}

// Copies the digits at cbuf(i:) into digit and converts them into target.
void WriteStoreDigits(const char* target, TCodeWriter& w) {
  w.Line("c             ---- store digit and change it to integer");
  w.Line("              j = 1");
  w.Line("              do while(cbuf(i:i) .ne. ' ')");
  w.Line("                digit(j:j) = cbuf(i:i)");
  w.Line("                i = i + 1");
  w.Line("                j = j + 1");
  w.Line("              enddo");
  w.Line("c             ---------------------------------");
  w.Line("              digit(j:j) = ' '");
  w.LineF("              call VexnorCharToNum(digit, %s)", target);
}

// Reads records until one passes the test of the do-while line (the inner
// read indented by innerIndent); the end of the file jumps to label.
void WriteReadUntil(int32_t label, const std::string& doWhile, const char* innerIndent,
                    TCodeWriter& w) {
  w.LineF("              read(UNIT=21, FMT='(A A)', END=%d) cbuf", label);
  w.Folded(doWhile);
  w.LineF("%sread(UNIT=21, FMT='(A A)', END=%d) cbuf", innerIndent, label);
  w.Line("              enddo");
  w.Line("c             -------------------------------------------");
  w.Line();
  w.Line();
}

void WriteReadProblemSize(int32_t label, TCodeWriter& w) {
  w.Line("            do");
  w.Line("c             --- Find problemsize");
  WriteReadUntil(label, "              do while (index(cbuf,'Vexnor_PROBSIZE') .eq. 0)",
                 "                ", w);

  w.Line("c             ---- find space");
  w.Line("              i = index(cbuf,'Vexnor_PROBSIZE')+len('Vexnor_PROBSIZE')");
  WriteSkipBlanks(w);

  WriteStoreDigits("inum", w);
  w.Line("c             -----------------------------------------");
  w.Line();
}

void WriteReadBestCase(const TTuneRegion& region, int32_t label, TCodeWriter& w) {
  w.Line("c             --- Find parameter");
  WriteReadUntil(label, "              do while (index(cbuf, '" + region.Name + "_I') .eq. 0)",
                 "                 ", w);

  w.Line("c             ---- find space");
  w.Folded("              i = index(cbuf, '" + region.Name + "_I')+" +
           std::to_string(region.Name.size() + 2));
  WriteSkipBlanks(w);

  WriteStoreDigits("ibsw", w);
  w.Line();
}

void WriteTakeCase(int32_t label, TCodeWriter& w) {
  w.Line("c             --- inputed n is less than filed num?");
  w.Line("              if (n .le. inum) then");
  w.Line("                isw = ibsw");
  w.LineF("                goto %d", label);
  w.Line("              endif");
  w.Line("            enddo");
  w.Line("c           === end of seeking loop for n");
  w.LineF(" %-6d     continue", label);
  w.Line();

  w.Line("c           --- File close");
  w.Line("            close(21, status = 'keep')");
  w.Line();
  w.Line("c           --- This is last parameter");
  w.LineF(" %-6d     if (isw .eq. -1) then", label + 2);
  w.Line("              isw = ibsw");
  w.Line("            endif");
  w.Line();
  w.Line("          endif");
  w.Line("c         === end of myid == 1");
  w.Line();
}

void WriteFileLookup(const TTuneRegion& region, int32_t label, TCodeWriter& w) {
  WriteOpenParameterFile(region, label, w);
  WriteReadProblemSize(label, w);
  WriteReadBestCase(region, label, w);
  WriteTakeCase(label, w);
}

// --- Lookup by least-squares fitting ---------------------------------------

void WriteReadCoefficients(const TTuneRegion& region, int32_t label, TCodeWriter& w) {
  w.Line(Sjis("c         !!!!!fitting用処理"));
  w.Line("c         !!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!");
  w.Line();
  w.Line("          if (myid .eq. 0) then");
  w.Line();
  w.Line("c           === file open for LSM");
  w.Folded("            open(21, status = 'old', file = '" + region.Name + "_" +
           region.KindName.substr(0, 1) + "_LSM.dat',");
  w.Line("     &           action = 'read', pad= 'yes')");
  w.Line();

  w.Line(Sjis("c           !!! varidから分かるパラメタの総数"));
  w.LineF("            nparm = %d", region.CaseCount);
  w.Line();
  w.Line(Sjis("c           !!! polynolial x の値"));
  w.LineF("            m_lsm = %d", region.FitOrder);
  w.Line();

  w.Line("            do isw=1, nparm");
  w.LineF("              read (21, %d) dtemp,", label);
  w.Line("     &            (a_lsm(iii, isw-1), iii=0, m_lsm)");
  w.LineF(" %-6d       format(D20.10, 20D20.10)", label);
  w.Line("            enddo");
  w.Line();
  w.Line("            close(21, status = 'keep')");
  w.Line();

  w.Line("c           do i=1, nparm");
  w.LineF("c              write (*, %d) dble(i),", label);
  w.Line("c     &              (a_lsm(iii, i-1), iii=0, m_lsm)");
  w.Line("c           enddo");
  w.Line();
  w.Line("          endif");
  w.Line();
  w.Line();
}

void WriteEstimateCase(int32_t label, TCodeWriter& w) {
  w.Line("          call MPI_BCAST(a_lsm,");
  w.Line("     &         (VexnorLSM_MAX_M+1)*VexnorLSM_MAX_NPARM,");
  w.Line("     &          MPI_DOUBLE_PRECISION,0,");
  w.Line("     &          MPI_COMM_WORLD,ierr)");
  w.Line();
  w.Line();

  w.Line("c          ==== Tuned Parameters do not exist.");
  w.Line("c           if (myid .eq. 0) then");
  w.Line("c              print *, \"I estimate parameters by LSM.\"");
  w.Line("c           endif");
  w.Line();
  w.Line("c           if (myid .eq. 0) then");
  w.Line("c             do i=1, nparm");
  w.LineF("c                write (*, %d) dble(i),", label + 1);
  w.Line("c     &              (a_lsm_TrdUd(iii, i-1), iii=0, VexnorLSM_MAX_M)");
  w.Line("c             enddo");
  w.Line("c             print *, \"\"");
  w.LineF("c %-6d      format(D20.10, 20D20.10)", label + 1);
  w.Line("c           endif");
  w.Line();

  w.Line("          call VexnorLSM_Est_Param(n, nparm, m_lsm,");
  w.Line("     &               a_lsm, isw)");
  w.Line();
  w.Line("c          print *, \"isw=\",isw");
  w.Line();
  w.Line(Sjis("c         !!!!!fitting用処理 の終り"));
  w.Line("c         !!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!");
  w.Line();
}

void WriteFittingLookup(const TTuneRegion& region, int32_t label, TCodeWriter& w) {
  WriteReadCoefficients(region, label, w);
  WriteEstimateCase(label, w);
}

}  // namespace

void WriteParamLookup(const TTuneRegion& region, int32_t label, TCodeWriter& w) {
  w.Line();
  w.Line();
  w.Folded("        if (index(Vexnor_Routine,'" + region.Name + "') .ne. 0) then");
  w.Line();

  if (region.FitMethod == 0) {
    WriteFileLookup(region, label, w);
  } else {
    WriteFittingLookup(region, label, w);
  }

  w.Line("c         === braodcast best param");
  w.Line("          call MPI_BCAST(isw,1,MPI_INTEGER,0,MPI_COMM_WORLD,ierr)");
  w.Line();
  w.Line("        endif");
  w.Comment("c       === end of " + region.Name);
}
