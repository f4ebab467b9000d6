// Tuned-parameter lookup blocks of Vexnor_SetParm.
#include "codegen/param_lookup.h"

#include "codegen/fold_line.h"
#include "platform/encoding.h"

using platform::Sjis;

namespace {

constexpr size_t kLastColumn = 72;

std::string Number(int32_t value) { return std::to_string(value); }

// --- Lookup in the parameter file ------------------------------------------

void WriteOpenParameterFile(const TTuneRegion& region, int32_t label, std::string& out) {
  out += "          isw = -1\n"
         "          ibsw = 1\n"
         "c         ---- file create\n"
         "c         -----------------------------------------\n"
         "          if (myid .eq. 0) then\n";

  out += "            open(21, status = 'old',\n";
  out += FoldedLine("     &         file = 'Vexnor_" + region.KindName + region.Name +
                    "Param.dat',");
  out += "     &         action = 'read', pad= 'yes', err =" + Number(label + 2) + ")\n";
  out += "\n";

  out += "c           --- Seek object file\n"
         "            read(21, *) cbuf\n";
  out += FoldedLine("            do while (index(cbuf,'" + region.Name + "') .eq. 0)");
  out += "              read(21, *) cbuf\n"
         "            enddo\n"
         "\n";
}

// Steps cbuf(i:i) over the blanks that follow a keyword.
void WriteSkipBlanks(std::string& out) {
  out += "              do while(cbuf(i:i) .eq. ' ')\n"
         "                i = i + 1\n"
         "              enddo\n"
         "c             ---------------------------------\n"
         "\n";
}

// Copies the digits at cbuf(i:) into digit and converts them into target.
void WriteStoreDigits(const std::string& target, std::string& out) {
  out += "c             ---- store digit and change it to integer\n"
         "              j = 1\n"
         "              do while(cbuf(i:i) .ne. ' ')\n"
         "                digit(j:j) = cbuf(i:i)\n"
         "                i = i + 1\n"
         "                j = j + 1\n"
         "              enddo\n"
         "c             ---------------------------------\n"
         "              digit(j:j) = ' '\n";
  out += "              call VexnorCharToNum(digit, " + target + ")\n";
}

void WriteReadProblemSize(int32_t label, std::string& out) {
  const std::string end = Number(label);
  out += "            do\n"
         "c             --- Find problemsize\n";
  out += "              read(UNIT=21, FMT='(A A)', END=" + end + ") cbuf\n";
  out += "              do while (index(cbuf,'Vexnor_PROBSIZE') .eq. 0)\n";
  out += "                read(UNIT=21, FMT='(A A)', END=" + end + ") cbuf\n";
  out += "              enddo\n"
         "c             -------------------------------------------\n"
         "\n"
         "\n";

  out += "c             ---- find space\n"
         "              i = index(cbuf,'Vexnor_PROBSIZE')+len('Vexnor_PROBSIZE')\n";
  WriteSkipBlanks(out);

  WriteStoreDigits("inum", out);
  out += "c             -----------------------------------------\n"
         "\n";
}

void WriteReadBestCase(const TTuneRegion& region, int32_t label, std::string& out) {
  const std::string end = Number(label);
  const int32_t afterKey = static_cast<int32_t>(region.Name.size()) + 2;
  out += "c             --- Find parameter\n";
  out += "              read(UNIT=21, FMT='(A A)', END=" + end + ") cbuf\n";
  out += FoldedLine("              do while (index(cbuf, '" + region.Name + "_I') .eq. 0)");
  out += "                 read(UNIT=21, FMT='(A A)', END=" + end + ") cbuf\n";
  out += "              enddo\n"
         "c             -------------------------------------------\n"
         "\n"
         "\n";

  out += "c             ---- find space\n";
  out += FoldedLine("              i = index(cbuf, '" + region.Name + "_I')+" + Number(afterKey));
  WriteSkipBlanks(out);

  WriteStoreDigits("ibsw", out);
  out += "\n";
}

void WriteTakeCase(int32_t label, std::string& out) {
  out += "c             --- inputed n is less than filed num?\n"
         "              if (n .le. inum) then\n"
         "                isw = ibsw\n";
  out += "                goto " + Number(label) + "\n";
  out += "              endif\n"
         "            enddo\n"
         "c           === end of seeking loop for n\n";
  out += LabelField(label) + "     continue\n";
  out += "\n";

  out += "c           --- File close\n"
         "            close(21, status = 'keep')\n"
         "\n"
         "c           --- This is last parameter\n";
  out += LabelField(label + 2) + "     if (isw .eq. -1) then\n";
  out += "              isw = ibsw\n"
         "            endif\n"
         "\n"
         "          endif\n"
         "c         === end of myid == 1\n"
         "\n";
}

void WriteFileLookup(const TTuneRegion& region, int32_t label, std::string& out) {
  WriteOpenParameterFile(region, label, out);
  WriteReadProblemSize(label, out);
  WriteReadBestCase(region, label, out);
  WriteTakeCase(label, out);
}

// --- Lookup by least-squares fitting ---------------------------------------

void WriteReadCoefficients(const TTuneRegion& region, int32_t label, std::string& out) {
  out += Sjis("c         !!!!!fitting用処理\n");
  out += "c         !!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n"
         "\n"
         "          if (myid .eq. 0) then\n"
         "\n"
         "c           === file open for LSM\n";
  out += FoldedLine("            open(21, status = 'old', file = '" + region.Name + "_" +
                    region.KindName.substr(0, 1) + "_LSM.dat',");
  out += "     &           action = 'read', pad= 'yes')\n"
         "\n";

  out += Sjis("c           !!! varidから分かるパラメタの総数\n");
  out += "            nparm = " + Number(region.CaseCount) + "\n";
  out += "\n";
  out += Sjis("c           !!! polynolial x の値\n");
  out += "            m_lsm = " + Number(region.FitOrder) + "\n";
  out += "\n";

  out += "            do isw=1, nparm\n";
  out += "              read (21, " + Number(label) + ") dtemp,\n";
  out += "     &            (a_lsm(iii, isw-1), iii=0, m_lsm)\n";
  out += LabelField(label) + "       format(D20.10, 20D20.10)\n";
  out += "            enddo\n"
         "\n"
         "            close(21, status = 'keep')\n"
         "\n";

  out += "c           do i=1, nparm\n";
  out += "c              write (*, " + Number(label) + ") dble(i),\n";
  out += "c     &              (a_lsm(iii, i-1), iii=0, m_lsm)\n"
         "c           enddo\n"
         "\n"
         "          endif\n"
         "\n"
         "\n";
}

void WriteEstimateCase(int32_t label, std::string& out) {
  out += "          call MPI_BCAST(a_lsm,\n"
         "     &         (VexnorLSM_MAX_M+1)*VexnorLSM_MAX_NPARM,\n"
         "     &          MPI_DOUBLE_PRECISION,0,\n"
         "     &          MPI_COMM_WORLD,ierr)\n"
         "\n"
         "\n";

  out += "c          ==== Tuned Parameters do not exist.\n"
         "c           if (myid .eq. 0) then\n"
         "c              print *, \"I estimate parameters by LSM.\"\n"
         "c           endif\n"
         "\n"
         "c           if (myid .eq. 0) then\n"
         "c             do i=1, nparm\n";
  out += "c                write (*, " + Number(label + 1) + ") dble(i),\n";
  out += "c     &              (a_lsm_TrdUd(iii, i-1), iii=0, VexnorLSM_MAX_M)\n"
         "c             enddo\n"
         "c             print *, \"\"\n";
  out += "c" + LabelField(label + 1) + "      format(D20.10, 20D20.10)\n";
  out += "c           endif\n"
         "\n";

  out += "          call VexnorLSM_Est_Param(n, nparm, m_lsm,\n"
         "     &               a_lsm, isw)\n"
         "\n"
         "c          print *, \"isw=\",isw\n"
         "\n";
  out += Sjis("c         !!!!!fitting用処理 の終り\n");
  out += "c         !!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n"
         "\n";
}

void WriteFittingLookup(const TTuneRegion& region, int32_t label, std::string& out) {
  WriteReadCoefficients(region, label, out);
  WriteEstimateCase(label, out);
}

}  // namespace

std::string LabelField(int32_t label) {
  std::string digits = Number(label);
  if (digits.size() < 6) digits.resize(6, ' ');
  return " " + digits;
}

std::string FoldedLine(const std::string& text) { return FoldLine(text) + "\n"; }

std::string CommentLine(const std::string& text) {
  std::string out(text, 0, kLastColumn);
  out += "\n";
  for (size_t at = kLastColumn; at < text.size(); at += kLastColumn - 1) {
    out += "c" + text.substr(at, kLastColumn - 1) + "\n";
  }
  return out;
}

void WriteParamLookup(const TTuneRegion& region, int32_t label, std::string& out) {
  out += "\n"
         "\n";
  out += FoldedLine("        if (index(Vexnor_Routine,'" + region.Name + "') .ne. 0) then");
  out += "\n";

  if (region.FitMethod == 0) {
    WriteFileLookup(region, label, out);
  } else {
    WriteFittingLookup(region, label, out);
  }

  out += "c         === braodcast best param\n"
         "          call MPI_BCAST(isw,1,MPI_INTEGER,0,MPI_COMM_WORLD,ierr)\n"
         "\n"
         "        endif\n";
  out += CommentLine("c       === end of " + region.Name);
}
