// Tuned-parameter lookup blocks: the parameter-file lookup with its labels,
// the least-squares lookup, and folding of long region names.
#include "codegen/param_lookup.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/encoding.h"
#include "test_support.h"

namespace {

using platform::Sjis;

// A subroutine holding one region of the kind with the name and body lines.
std::string RegionSource(const std::string& kind, const std::string& name,
                         const std::string& body) {
  return "      subroutine s(a)\n"
         "!Vexnor$ " + kind + " select region start\n"
         "!Vexnor$ name " + name + "\n" + body +
         "      a = i\n"
         "!Vexnor$ " + kind + " select region end\n"
         "      end\n";
}

std::string Lookup(const std::string& source, int32_t label) {
  TPipeline pipeline(source);
  EXPECT_EQ(pipeline.Reporter.Errors, 0) << testing::PrintToString(pipeline.Reporter.Lines);
  if (pipeline.Regions.empty()) {
    return "";
  }
  return Written([&](TCodeWriter& w) { WriteParamLookup(pipeline.Region(), label, w); });
}

// The whole block, in order: the labels 110 and 112 in the label field
// (columns 2 to 4), END=110 in all four reads, the key length 5 of mat_I.
TEST(ParamLookup, StaticRegionReadsItsParameterFileWithItsLabels) {
  EXPECT_EQ(Lookup(RegionSource("static", "mat", "!Vexnor$ varied (i) from 1 to 4\n"), 110),
            R"f(

        if (index(Vexnor_Routine,'mat') .ne. 0) then

          isw = -1
          ibsw = 1
c         ---- file create
c         -----------------------------------------
          if (myid .eq. 0) then
            open(21, status = 'old',
     &         file = 'Vexnor_StaticmatParam.dat',
     &         action = 'read', pad= 'yes', err =112)

c           --- Seek object file
            read(21, *) cbuf
            do while (index(cbuf,'mat') .eq. 0)
              read(21, *) cbuf
            enddo

            do
c             --- Find problemsize
              read(UNIT=21, FMT='(A A)', END=110) cbuf
              do while (index(cbuf,'Vexnor_PROBSIZE') .eq. 0)
                read(UNIT=21, FMT='(A A)', END=110) cbuf
              enddo
c             -------------------------------------------


c             ---- find space
              i = index(cbuf,'Vexnor_PROBSIZE')+len('Vexnor_PROBSIZE')
              do while(cbuf(i:i) .eq. ' ')
                i = i + 1
              enddo
c             ---------------------------------

c             ---- store digit and change it to integer
              j = 1
              do while(cbuf(i:i) .ne. ' ')
                digit(j:j) = cbuf(i:i)
                i = i + 1
                j = j + 1
              enddo
c             ---------------------------------
              digit(j:j) = ' '
              call VexnorCharToNum(digit, inum)
c             -----------------------------------------

c             --- Find parameter
              read(UNIT=21, FMT='(A A)', END=110) cbuf
              do while (index(cbuf, 'mat_I') .eq. 0)
                 read(UNIT=21, FMT='(A A)', END=110) cbuf
              enddo
c             -------------------------------------------


c             ---- find space
              i = index(cbuf, 'mat_I')+5
              do while(cbuf(i:i) .eq. ' ')
                i = i + 1
              enddo
c             ---------------------------------

c             ---- store digit and change it to integer
              j = 1
              do while(cbuf(i:i) .ne. ' ')
                digit(j:j) = cbuf(i:i)
                i = i + 1
                j = j + 1
              enddo
c             ---------------------------------
              digit(j:j) = ' '
              call VexnorCharToNum(digit, ibsw)

c             --- inputed n is less than filed num?
              if (n .le. inum) then
                isw = ibsw
                goto 110
              endif
            enddo
c           === end of seeking loop for n
 110        continue

c           --- File close
            close(21, status = 'keep')

c           --- This is last parameter
 112        if (isw .eq. -1) then
              isw = ibsw
            endif

          endif
c         === end of myid == 1

c         === braodcast best param
          call MPI_BCAST(isw,1,MPI_INTEGER,0,MPI_COMM_WORLD,ierr)

        endif
c       === end of mat
)f");
}

// The whole block of an Install region fitted by order 2 over 8 cases: it
// reads the coefficients from mat_I_LSM.dat with the format labelled 100;
// label 101 stands only in comment lines.
TEST(ParamLookup, FittingRegionEstimatesFromItsCoefficients) {
  EXPECT_EQ(Lookup(RegionSource("install", "mat",
                                "!Vexnor$ varied (i) from 1 to 8\n"
                                "!Vexnor$ fitting least-squares 2 sampled (1, 4, 8)\n"),
                   100),
            Sjis(R"f(

        if (index(Vexnor_Routine,'mat') .ne. 0) then

c         !!!!!fitting用処理
c         !!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!

          if (myid .eq. 0) then

c           === file open for LSM
            open(21, status = 'old', file = 'mat_I_LSM.dat',
     &           action = 'read', pad= 'yes')

c           !!! varidから分かるパラメタの総数
            nparm = 8

c           !!! polynolial x の値
            m_lsm = 2

            do isw=1, nparm
              read (21, 100) dtemp,
     &            (a_lsm(iii, isw-1), iii=0, m_lsm)
 100          format(D20.10, 20D20.10)
            enddo

            close(21, status = 'keep')

c           do i=1, nparm
c              write (*, 100) dble(i),
c     &              (a_lsm(iii, i-1), iii=0, m_lsm)
c           enddo

          endif


          call MPI_BCAST(a_lsm,
     &         (VexnorLSM_MAX_M+1)*VexnorLSM_MAX_NPARM,
     &          MPI_DOUBLE_PRECISION,0,
     &          MPI_COMM_WORLD,ierr)


c          ==== Tuned Parameters do not exist.
c           if (myid .eq. 0) then
c              print *, "I estimate parameters by LSM."
c           endif

c           if (myid .eq. 0) then
c             do i=1, nparm
c                write (*, 101) dble(i),
c     &              (a_lsm_TrdUd(iii, i-1), iii=0, VexnorLSM_MAX_M)
c             enddo
c             print *, ""
c 101         format(D20.10, 20D20.10)
c           endif

          call VexnorLSM_Est_Param(n, nparm, m_lsm,
     &               a_lsm, isw)

c          print *, "isw=",isw

c         !!!!!fitting用処理 の終り
c         !!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!

c         === braodcast best param
          call MPI_BCAST(isw,1,MPI_INTEGER,0,MPI_COMM_WORLD,ierr)

        endif
c       === end of mat
)f"));
}

// Lines that would pass column 72 are cut there and go on in "&"
// continuation lines; the others stay as they are.
TEST(ParamLookup, LongNamesAreFoldedWithinColumn72) {
  const std::string name(43, 'q');
  const std::string kVaried = "!Vexnor$ varied (i) from 1 to 8\n";
  const std::string kFitting = "!Vexnor$ fitting least-squares 2 sampled (1, 8)\n";
  const std::string guard = "        if (index(Vexnor_Routine,'" + name + "') .ne. 0) then";
  struct {
    const char* Name;
    std::string Body;
    std::vector<std::string> Long;
  } cases[] = {
      {"ParameterFile",
       kVaried,
       {guard, "     &         file = 'Vexnor_Static" + name + "Param.dat',",
        "            do while (index(cbuf,'" + name + "') .eq. 0)",
        "              do while (index(cbuf, '" + name + "_I') .eq. 0)",
        "              i = index(cbuf, '" + name + "_I')+45"}},
      {"Fitting",
       kVaried + kFitting,
       {guard, "            open(21, status = 'old', file = '" + name + "_S_LSM.dat',"}},
  };
  for (const auto& c : cases) {
    std::string text = Lookup(RegionSource("static", name, c.Body), 9990);
    std::vector<std::string> lines = Lines(text);
    for (const std::string& line : lines) {
      EXPECT_LE(line.size(), 72u) << c.Name << ": " << line;
    }
    for (const std::string& line : c.Long) {
      ASSERT_GT(line.size(), 72u) << line;
      std::string folded = line.substr(0, 72) + "\n     &" + line.substr(72);
      EXPECT_NE(text.find("\n" + folded + "\n"), std::string::npos) << c.Name << ": " << line;
    }
    EXPECT_EQ(lines.back(), "c       === end of " + name) << c.Name;
  }
}

}  // namespace
