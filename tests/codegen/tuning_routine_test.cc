// Tuning driver routines: whole drivers of the three kinds, the largest
// problem size, the local copies, cost rules, folding and the switches.
#include "codegen/tuning_routine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/encoding.h"
#include "test_support.h"

namespace {

// Passes 1 to 4 over a source and the drivers of its regions.
struct TDrivers {
  explicit TDrivers(const std::string& source, bool visual = false, bool debug = false)
      : Pipeline(source), Context(ContextFor(Pipeline, Pipeline.Reporter)) {
    Context.VisualFlag = visual;
    Context.DebugFlag = debug;
    Context.RoutineListLength = 7;
  }

  std::string Driver(size_t k = 0) {
    return Written([&](TCodeWriter& w) { WriteTuningRoutine(Pipeline.Region(k), Context, w); });
  }

  TPipeline Pipeline;
  TGenContext Context;
};

// The expected lines stand one after the other somewhere in text.
testing::AssertionResult HasLines(const std::string& text, const std::vector<std::string>& lines) {
  std::vector<std::string> all = Lines(text);
  for (size_t at = 0; at + lines.size() <= all.size(); ++at) {
    if (std::equal(lines.begin(), lines.end(), all.begin() + static_cast<long>(at))) {
      return testing::AssertionSuccess();
    }
  }
  std::string wanted;
  for (const std::string& line : lines) {
    wanted += "  [" + line + "]\n";
  }
  return testing::AssertionFailure() << "lines not found in order:\n" << wanted << "in:\n" << text;
}

bool HasLine(const std::string& text, const std::string& line) {
  for (const std::string& each : Lines(text)) {
    if (each == line) {
      return true;
    }
  }
  return false;
}

// The lines from the one after "      parameter ( NN = ...)" up to the blank
// line that ends the local copies.
std::vector<std::string> LocalCopies(const std::string& driver) {
  std::vector<std::string> all = Lines(driver);
  std::vector<std::string> copies;
  size_t at = 0;
  while (at < all.size() && all[at].rfind("      parameter ( NN = ", 0) != 0) {
    ++at;
  }
  for (++at; at < all.size() && !all[at].empty(); ++at) {
    copies.push_back(all[at]);
  }
  return copies;
}

const char kStaticMat[] =
    "      subroutine work(a, b, n)\n"
    "      integer n\n"
    "      real*8 a(n,n), b(n)\n"
    "!Vexnor$ Vexnor_ENDTUNESIZE = 400\n"
    "!Vexnor$ static select region start\n"
    "!Vexnor$ name mat\n"
    "!Vexnor$ varied (p) from 1 to 3\n"
    "      a(1,1) = b(1) + p\n"
    "!Vexnor$ static select region end\n"
    "      end\n";

TEST(TuningRoutine, StaticDriverWithoutSwitches) {
  TDrivers d(kStaticMat);
  ASSERT_EQ(d.Pipeline.Reporter.Errors, 0);
  EXPECT_EQ(d.Driver(),
            R"f(c     ==== Static Optimization Routines
c     ==============================================================
      subroutine Vexnor_ATexecStaticmat(Vexnor_Routines)
      character*7 Vexnor_Routines

      include 'VexnorScript.h'

      integer NN
      parameter ( NN = 400 )
      integer n
      real*8 a(NN,NN), b(NN)


      integer iusw1
      integer F1(3)

      integer iBestSw1

      real*8  t1, t2, t_all, bt
      real*8  dBestTime1


c     ---- file create
c     -----------------------------------------
      if (myid .eq. 0) then
        open(11, status = 'replace',
     &     file = 'Vexnor_StaticmatParam.dat',
     &     action = 'write', pad= 'yes')

        write (11, *) "(mat"
        write (11, *) "  (Vexnor_NUMPROCS ", Vexnor_NUMPROCS,")"
        write (11, *) "  (Vexnor_SAMPDIST ", Vexnor_SAMPDIST,")"
      endif
c     ----------------------------------------

c     ---- Start tune
c     -----------------------------------------
      F1(1)=1
      F1(2)=2
      F1(3)=3
      if (Vexnor_ENDTUNESIZE .gt. NN) then
        if (myid .eq. 0) then
          print *, "Vexnor_ATexecStaticmat: Vexnor_ENDTUNESIZE",
     &      Vexnor_ENDTUNESIZE, " exceeds the largest problem size",
     &      NN, " of the tuning routine."
        endif
        call MPI_FINALIZE(ierr)
        stop 1
      endif
      do iloop_n=Vexnor_STARTTUNESIZE,
     &           Vexnor_ENDTUNESIZE,
     &           Vexnor_SAMPDIST

        do iloop_static=1, 3

          iusw1 = F1(iloop_static)

          N = iloop_n
          NX = iloop_n
          NY = iloop_n
          NZ = iloop_n

          call MPI_BARRIER(MPI_COMM_WORLD, ierr)
          t1 = MPI_WTIME()

          call Vexnor_Staticmat(n, a, b, iusw1)

          call MPI_BARRIER(MPI_COMM_WORLD, ierr)
          t2 = MPI_WTIME()
          t_all = t2 - t1
          call MPI_ALLREDUCE(t_all, bt, 1, MPI_DOUBLE_PRECISION,
     &           MPI_MAX, MPI_COMM_WORLD, ierr)
          t_all = bt

c          if (Vexnor_DEBUG .ge. 1)then
c            if (myid .eq. 0) then
c              print *, "N=",iloop_n, "iusw1=", iusw1, t_all
c            endif
c          endif

          if (iloop_static .eq. 1) then
            dBestTime1 = t_all
            iBestSw1 = F1(1)
          else
            if (t_all .lt. dBestTime1) then
              dBestTime1 = t_all
              iBestSw1 = F1(iloop_static)
            endif
          endif

        enddo

c       --- file write
        if (myid .eq. 0) then
          write (11, *) "  (Vexnor_PROBSIZE ", iloop_n, " "
          write (11, *) "     (mat_I ", iBestSw1,")"
          write (11, *) "  )"
        endif
c       -----------------------------------------
      enddo

c     --- file close
      if (myid .eq. 0) then
        write (11, *) ")"
        close(11, status = 'keep')
      endif
c     ---------------------------------------------

      return
      end
c     ==== End of Static Optimization Routines
c     ==============================================================


)f");
}

// A Static region ahead of it makes the Dynamic region the second of two,
// so its progress entry is ExecState(2).
const char kStaticAndDynamic[] =
    "      subroutine work(a, b, n, nx)\n"
    "      integer n, nx\n"
    "      real*8 a(n,n), b(nx)\n"
    "!Vexnor$ Vexnor_ENDTUNESIZE = 400\n"
    "!Vexnor$ static select region start\n"
    "!Vexnor$ name mat\n"
    "      a(1,1) = 0\n"
    "!Vexnor$ static select region end\n"
    "!Vexnor$ dynamic select region start\n"
    "!Vexnor$ name dyn\n"
    "!Vexnor$ varied (p) from 1 to 2\n"
    "      a(1,1) = b(1) + p\n"
    "!Vexnor$ dynamic select region end\n"
    "      end\n";

TEST(TuningRoutine, DynamicDriverWithVisualizationAndDebugPrints) {
  TDrivers d(kStaticAndDynamic, true, true);
  ASSERT_EQ(d.Pipeline.Reporter.Errors, 0);
  EXPECT_EQ(d.Driver(1),
            R"f(c     ==== Dynamic Optimization Routines
c     ==============================================================
      subroutine Vexnor_ATexecDynamicdyn(Vexnor_Routines,N,iBestSw1)
      character*(*) Vexnor_Routines
      integer N
      integer iBestSw1

      include 'VexnorScript.h'

      integer NN
      parameter ( NN = 400 )
      real*8 a(N,N), b(N)


      integer iusw1
      integer F1(2)


      real*8  t1, t2, t_all, bt
      real*8  dBestTime1

      integer inum,iloop_v,LoopCount
      integer ExecState(2)
      character*100 cbuf
      real*8 t_all_sum

c     ---- file create
c     -----------------------------------------
      if (myid .eq. 0) then
        open(11, status = 'replace',
     &     file = 'Vexnor_DynamicdynParam.dat',
     &     action = 'write', pad= 'yes')

        write (11, *) "(dyn"

        LoopCount = 1

        open(12, status = 'old',
     &     file = 'VexnorATLog.dat',
     &     action = 'read', pad= 'yes')

        do iloop_v = 1, 2
          read(12, *) cbuf
          call VexnorCharToNum(cbuf,inum)
          ExecState(iloop_v) = inum
        enddo
        close(12, status = 'keep')

        open(13, status = 'replace',
     &     file = 'VexnorATLog_dyn.dat',
     &     action = 'write', pad= 'yes')
        write (13, *) VEXNOR_NUMPROCS , "NUMPROCS"
        write (13, *) N, "Vexnor_STARTTUNESIZE"
        write (13, *) N, "VEXNOR_ENDTUNESIZE"
        write (13, *) 100, "VEXNOR_SAMPDIST"
        write (13, *) -1, "EndOfHeader"

      endif
c     ----------------------------------------

c     ---- Start tune
c     -----------------------------------------
      F1(1)=1
      F1(2)=2
      t_all_sum = 0

        do iloop_dynamic=1, 2

          iusw1 = F1(iloop_dynamic)


          call MPI_BARRIER(MPI_COMM_WORLD, ierr)
          t1 = MPI_WTIME()

          call Vexnor_Dynamicdyn(n, N, a, b, iusw1)

          call MPI_BARRIER(MPI_COMM_WORLD, ierr)
          t2 = MPI_WTIME()
          t_all = t2 - t1
          call MPI_ALLREDUCE(t_all, bt, 1, MPI_DOUBLE_PRECISION,
     &           MPI_MAX, MPI_COMM_WORLD, ierr)
          t_all = bt

          if (myid .eq. 0) then
            t_all_sum = t_all_sum + t_all
            if(t_all_sum .ge. 1.0) then
              t_all_sum = 0
              inum = 0
              ExecState(2) = (100*inum+
     &                    100*(iloop_dynamic-1)/2)/LoopCount
              open(12, status = 'replace',
     &           file = 'VexnorATLog.dat',
     &           action = 'write', pad= 'yes')

              do iloop_v = 1, 2
                write (12, *) ExecState(iloop_v)
              enddo
              close(12, status = 'keep')
            endif
          endif
          if (myid .eq. 0) then
            if (iloop_dynamic .eq. 1) then
              do iloop_vi = 1, F1(iloop_dynamic)-1
                write (13, *)
              enddo
            endif
            write (13, *) t_all
            if (iloop_dynamic .lt. 2) then
              do iloop_vi = F1(iloop_dynamic)+1, F1(iloop_dynamic+1)-1
                write (13, *)
              enddo
            else
              do iloop_vi = F1(iloop_dynamic)+1,2
                write (13, *)
              enddo
            endif
          endif
          if (Vexnor_DEBUG .ge. 1)then
            if (myid .eq. 0) then
              print *, "N=",N, "iusw1=", iusw1, t_all
            endif
          endif

          if (iloop_dynamic .eq. 1) then
            dBestTime1 = t_all
            iBestSw1 = F1(1)
          else
            if (t_all .lt. dBestTime1) then
              dBestTime1 = t_all
              iBestSw1 = F1(iloop_dynamic)
            endif
          endif

        enddo

        if (Vexnor_DEBUG .ge. 1)then
          if (myid .eq. 0) then
             print *, "N=",N, "BestSw=",iBestSW1
          endif
        endif
c       --- file write
        if (myid .eq. 0) then
          write (11, *) "  (Vexnor_PROBSIZE ", N, " "
          write (11, *) "     (dyn_I ", iBestSw1,")"
          write (11, *) "  )"
        endif
c       -----------------------------------------

c     --- file close
      if (myid .eq. 0) then
        write (11, *) ")"
        close(11, status = 'keep')
              ExecState(2) = 100
              open(12, status = 'replace',
     &           file = 'VexnorATLog.dat',
     &           action = 'write', pad= 'yes')

              do iloop_v = 1, 2
                write (12, *) ExecState(iloop_v)
              enddo
              close(12, status = 'keep')
              close(13, status = 'keep')
      endif
c     ---------------------------------------------

      return
      end
c     ==== End of Dynamic Optimization Routines
c     ==============================================================


)f");
}

// The lines the switches add to an Install or Static driver, and the
// places where a Dynamic driver names N instead of the loop's iloop_n.
struct TSwitchCase {
  const char* Name;
  size_t Region;
  bool Visual;
  bool Debug;
  std::vector<std::string> Expected;
};

void PrintTo(const TSwitchCase& c, std::ostream* os) { *os << c.Name; }

const TSwitchCase kSwitchCases[] = {
    {"StaticProgressCountsProblemSizes", 0, true, false,
     {"        LoopCount = Vexnor_ENDTUNESIZE-Vexnor_STARTTUNESIZE",
      "        LoopCount = LoopCount+Vexnor_SAMPDIST", "        LoopCount = LoopCount/Vexnor_SAMPDIST"}},
    {"StaticProgressOfTheSize", 0, true, false,
     {"              inum = (iloop_n-Vexnor_STARTTUNESIZE)/Vexnor_SAMPDIST",
      "              ExecState(1) = (100*inum+",
      "     &                    100*(iloop_static-1)/1)/LoopCount"}},
    {"StaticLogHeaderHasTheRange", 0, true, false,
     {"        write (13, *) Vexnor_STARTTUNESIZE, \"Vexnor_STARTTUNESIZE\"",
      "        write (13, *) VEXNOR_ENDTUNESIZE, \"VEXNOR_ENDTUNESIZE\"",
      "        write (13, *) VEXNOR_SAMPDIST, \"VEXNOR_SAMPDIST\""}},
    {"StaticBestCasePrint", 0, false, true,
     {"        enddo", "", "        if (Vexnor_DEBUG .ge. 1)then", "          if (myid .eq. 0) then",
      "             print *, \"N=\",iloop_n, \"BestSw=\",iBestSW1", "          endif",
      "        endif", "c       --- file write"}},
    {"StaticMeasurementPrint", 0, false, true,
     {"          if (Vexnor_DEBUG .ge. 1)then", "            if (myid .eq. 0) then",
      "              print *, \"N=\",iloop_n, \"iusw1=\", iusw1, t_all", "            endif",
      "          endif", ""}},
    {"DynamicCommentedPrintNamesN", 1, false, false,
     {"c          if (Vexnor_DEBUG .ge. 1)then", "c            if (myid .eq. 0) then",
      "c              print *, \"N=\",N, \"iusw1=\", iusw1, t_all", "c            endif",
      "c          endif", ""}},
    {"DynamicWithoutDebugHasNoBestCasePrint", 1, false, false,
     {"        enddo", "", "c       --- file write"}},
};

class SwitchCases : public testing::TestWithParam<TSwitchCase> {};

TEST_P(SwitchCases, WriteTheirLines) {
  const TSwitchCase& c = GetParam();
  TDrivers d(kStaticAndDynamic, c.Visual, c.Debug);
  EXPECT_TRUE(HasLines(d.Driver(c.Region), c.Expected));
}

INSTANTIATE_TEST_SUITE_P(Drivers, SwitchCases, testing::ValuesIn(kSwitchCases),
                         [](const testing::TestParamInfo<TSwitchCase>& info) {
                           return std::string(info.param.Name);
                         });

TEST(TuningRoutine, WithoutVisualizationNoProgressOrLogFileIsTouched) {
  for (size_t k : {0, 1}) {
    TDrivers d(kStaticAndDynamic, false, true);
    std::string driver = d.Driver(k);
    for (const char* unit : {"(12", "(13", "ExecState", "t_all_sum", "LoopCount"}) {
      EXPECT_EQ(driver.find(unit), std::string::npos) << unit << " in region " << k;
    }
  }
}

struct TSizeCase {
  const char* Name;
  std::string Source;
  std::string Expected;  // the parameter line of NN
};

void PrintTo(const TSizeCase& c, std::ostream* os) { *os << c.Name; }

std::string Region(const std::string& declarations) {
  return "      subroutine work(a)\n" + declarations +
         "!Vexnor$ install select region start\n      a = 1\n"
         "!Vexnor$ install select region end\n      end\n";
}

const TSizeCase kSizeCases[] = {
    {"EndTuneSizeBeatsParameterN",
     Region("      integer N\n      parameter (N = 400)\n!Vexnor$ vexnor_endtunesize = 2000\n"),
     "      parameter ( NN = 2000 )"},
    {"ParameterN", Region("      integer N\n      parameter (N = 400)\n"), "      parameter ( NN = 400 )"},
    {"RealParameterNTruncated", Region("      real N\n      parameter (N = 1000.7)\n"),
     "      parameter ( NN = 1000 )"},
    {"ParameterNNInLowerCase", Region("      integer nn\n      parameter (nn = 64)\n"),
     "      parameter ( NN = 64 )"},
    {"FirstInTheVariableListWins",
     Region("      integer nn, n\n      parameter (n = 50)\n      parameter (nn = 8*8)\n"),
     "      parameter ( NN = 64 )"},
    {"NWithoutAValueIsPassedOver",
     "      subroutine work(a, n)\n      integer n\n      parameter (nn = 30)\n"
     "!Vexnor$ install select region start\n      a = n\n!Vexnor$ install select region end\n"
     "      end\n",
     "      parameter ( NN = 30 )"},
};

class SizeCases : public testing::TestWithParam<TSizeCase> {};

TEST_P(SizeCases, GiveTheLargestProblemSize) {
  const TSizeCase& c = GetParam();
  TDrivers d(c.Source);
  ASSERT_EQ(d.Pipeline.Reporter.Errors, 0);
  std::string driver = d.Driver();
  EXPECT_TRUE(HasLines(driver, {"      integer NN", c.Expected}));
  EXPECT_EQ(d.Pipeline.Reporter.Errors, 0);
}

INSTANTIATE_TEST_SUITE_P(Drivers, SizeCases, testing::ValuesIn(kSizeCases),
                         [](const testing::TestParamInfo<TSizeCase>& info) {
                           return std::string(info.param.Name);
                         });

TEST(TuningRoutine, MissingProblemSizeAbandonsTheDriverAfterItsHeading) {
  TDrivers d("      subroutine work(a, n)\n      integer n\n      real a(n)\n"
             "!Vexnor$ static select region start\n      a(1) = 1\n"
             "!Vexnor$ static select region end\n"
             "!Vexnor$ install select region start\n      a(2) = 1\n"
             "!Vexnor$ install select region end\n      end\n");
  ASSERT_EQ(d.Pipeline.Reporter.Errors, 0);
  std::string out = d.Driver(0) + d.Driver(1);
  EXPECT_EQ(out,
            "c     ==== Static Optimization Routines\n"
            "c     ==============================================================\n"
            "      subroutine Vexnor_ATexecStatic1(Vexnor_Routines)\n"
            "      character*7 Vexnor_Routines\n"
            "\n"
            "      include 'VexnorScript.h'\n"
            "\n"
            "c     ==== Install Optimization Routines\n"
            "c     ==============================================================\n"
            "      subroutine Vexnor_ATexecInstall2(Vexnor_Routines)\n"
            "      character*7 Vexnor_Routines\n"
            "\n"
            "      include 'VexnorScript.h'\n"
            "\n");
  const std::string error = "error: " + platform::Sjis("parameter (N=)が設定されていません。");
  EXPECT_EQ(d.Pipeline.Reporter.Lines, (std::vector<std::string>{error, error}));
}

// The local copies of the variables the dispatcher receives, for a region
// of the given kind in a subroutine with the given heading and
// declarations.
struct TCopyCase {
  const char* Name;
  const char* Kind;
  std::string Declarations;
  std::string Statement;
  std::vector<std::string> Expected;
};

void PrintTo(const TCopyCase& c, std::ostream* os) { *os << c.Name; }

std::string CopySource(const TCopyCase& c) {
  return c.Declarations + "!Vexnor$ Vexnor_ENDTUNESIZE = 500\n!Vexnor$ " + c.Kind +
         " select region start\n" + c.Statement + "!Vexnor$ " + c.Kind +
         " select region end\n      end\n";
}

const TCopyCase kCopyCases[] = {
    {"OneTypeStatementOneLine", "static",
     "      subroutine work(a, b, n)\n      integer n\n      real*8 a(N,N), b(N)\n",
     "      a(1,1) = b(1)\n", {"      integer n", "      real*8 a(NN,NN), b(NN)"}},
    {"SizeNamesAfterBlanksAndInTypePart", "install",
     "      subroutine work(a, b, n, nx, ny, nz)\n      integer n, nx, ny, nz\n"
     "      real*8, dimension(nx, NY) :: a\n      real*8 b(N, nz)\n",
     "      a(1,1) = b(1,1)\n",
     {"      integer n, nx, ny, nz", "      real*8, dimension(NN, NN) :: a",
      "      real*8 b(NN, NN)"}},
    {"ParameterNIsAVariable", "static",
     "      subroutine work(a, b)\n      integer N\n      parameter (N = 400)\n"
     "      real*8 a(N), b(N)\n",
     "      a(1) = b(1) + N\n", {"      integer N", "      real*8 a(NN), b(NN)"}},
    {"UntypedParameterGetsItsImplicitType", "static",
     "      subroutine work(a, b)\n      parameter (n = 400)\n      real a(n), b\n",
     "      a(1) = b + n\n", {"      integer n", "      real a(NN), b"}},
    {"IntegerConstantKeepsItsValue", "install",
     "      subroutine work(a, b, n)\n      integer n, m\n      parameter (m = 5)\n"
     "      real*8 a(m), b(n)\n",
     "      a(1) = b(1)\n",
     {"      integer n", "      integer m", "      parameter ( m = 5 )", "      real*8 a(m), b(NN)"}},
    {"RealConstantIsAVariable", "install",
     "      subroutine work(a, b)\n      real*8 a, b, rate\n      parameter (rate = 2.5)\n",
     "      a = b * rate\n", {"      real*8 a, b", "      real*8 rate"}},
    {"ImplicitlyTypedVariablesFirst", "static", "      subroutine work(a)\n      real a\n",
     "      a = b + kk\n", {"      real b", "      integer kk", "      real a"}},
    {"ImplicitRuleTypeText", "static",
     "      subroutine work(a)\n      implicit real*8 (a-h,o-z)\n      dimension a(10)\n",
     "      a(1) = x\n", {"      real*8 x", "      real*8 a(10)"}},
    {"DimensionOnlyEachWithItsOwnType", "static",
     "      subroutine work(a, kb)\n      dimension a(10), kb(10)\n", "      a(1) = kb(1)\n",
     {"      real a(10)", "      integer kb(10)"}},
    {"DummyAttributesLeftOut", "static",
     "      subroutine work(a, b, n)\n      integer, intent(in) :: n\n"
     "      real*8, intent(inout), dimension(n) :: a\n      real*8, optional :: b\n",
     "      a(1) = b\n",
     {"      integer :: n", "      real*8, dimension(NN) :: a", "      real*8 :: b"}},
    {"DynamicCopiesSizedByItsArgument", "dynamic",
     "      subroutine work(a, b, n, nx)\n      integer n, nx\n      real*8 a(n,n), b(nx)\n",
     "      a(1,1) = b(1)\n", {"      real*8 a(N,N), b(N)"}},
    {"DynamicKeepsOtherConstants", "dynamic",
     "      subroutine work(a)\n      integer n, m\n      parameter (n = 100, m = 3)\n"
     "      real*8 a(m, N)\n",
     "      a(1,1) = 0\n", {"      integer m", "      parameter ( m = 3 )", "      real*8 a(m, N)"}},
    {"LongLineFolded", "static",
     "      subroutine work(alpha_values, beta_values, gamma, n)\n      integer n\n"
     "      double precision alpha_values(N,N), beta_values(N,N), gamma(N)\n",
     "      alpha_values(1,1) = beta_values(1,1) + gamma(1)\n",
     {"      integer n",
      "      double precision alpha_values(NN,NN), beta_values(NN,NN), gamma(NN",
      "     &)"}},
};

class CopyCases : public testing::TestWithParam<TCopyCase> {};

TEST_P(CopyCases, DeclareTheLocalCopies) {
  const TCopyCase& c = GetParam();
  TDrivers d(CopySource(c));
  ASSERT_EQ(d.Pipeline.Reporter.Errors, 0) << testing::PrintToString(d.Pipeline.Reporter.Lines);
  EXPECT_EQ(LocalCopies(d.Driver()), c.Expected);
}

INSTANTIATE_TEST_SUITE_P(Drivers, CopyCases, testing::ValuesIn(kCopyCases),
                         [](const testing::TestParamInfo<TCopyCase>& info) {
                           return std::string(info.param.Name);
                         });

TEST(TuningRoutine, DynamicDispatcherCallGetsNForEverySizeName) {
  TDrivers d("      subroutine work(a, n, nx, ny, nz)\n      integer n, nx, ny, nz\n"
             "      real*8 a(nx, ny, nz)\n!Vexnor$ Vexnor_ENDTUNESIZE = 500\n"
             "!Vexnor$ dynamic select region start\n      a(1,1,1) = n\n"
             "!Vexnor$ dynamic select region end\n      end\n");
  std::string driver = d.Driver();
  EXPECT_TRUE(HasLine(driver, "          call Vexnor_Dynamic1(n, N, N, N, a, iusw1)")) << driver;
  EXPECT_EQ(LocalCopies(driver), (std::vector<std::string>{"      real*8 a(N, N, N)"}));
}

// Cost rules with and without sub regions.
struct TRuleCase {
  const char* Name;
  std::string Body;
  std::vector<std::string> Expected;
};

void PrintTo(const TRuleCase& c, std::ostream* os) { *os << c.Name; }

const TRuleCase kRuleCases[] = {
    {"ConditionOnTheSecondSubRegion",
     "!Vexnor$ select sub region start\n!Vexnor$ varied (p) from 1 to 3\n      a = p\n"
     "!Vexnor$ select sub region end\n"
     "!Vexnor$ select sub region start\n!Vexnor$ according (N .gt. 100)\n      a = 0\n"
     "!Vexnor$ select sub region end\n",
     {"          t_all = bt", "", "          select case(iusw1)", "            case(4)",
      "              if ((N .gt. 100)) then", "                t_all = 0", "              endif",
      "          end select", "", "c          if (Vexnor_DEBUG .ge. 1)then"}},
    {"EstimatedCostOnARangeOfCases",
     "!Vexnor$ select sub region start\n!Vexnor$ according estimated 3*N\n      a = 1\n"
     "!Vexnor$ select sub region end\n"
     "!Vexnor$ select sub region start\n!Vexnor$ varied (p) from 1 to 3\n"
     "!Vexnor$ according estimated N*p\n      a = p\n!Vexnor$ select sub region end\n",
     {"          select case(iusw1)", "            case(1)", "              t_all = dble(3*N)",
      "            case(2:4)", "              t_all = dble(N*p)", "          end select", ""}},
    {"EstimatedWithoutSubRegions", "!Vexnor$ according estimated 2.0d0*N*N\n      a = 1\n",
     {"          t_all = bt", "", "            t_all = dble(2.0d0*N*N)", ""}},
    {"ConditionWithoutSubRegions", "!Vexnor$ according N .lt. 8\n      a = 1\n",
     {"            if (N .lt. 8) then", "              t_all = 0", "            endif", ""}},
    {"KeywordsInCapitals", "!Vexnor$ ACCORDING Estimated 2*N\n      a = 1\n",
     {"            t_all = dble(2*N)"}},
    {"LongExpressionFolded",
     "!Vexnor$ according estimated 1.0d0*N*N*N + 2.0d0*N*N + 3.0d0*N + 4.0d0 + 5.0d0\n"
     "      a = 1\n",
     {"            t_all = dble(1.0d0*N*N*N + 2.0d0*N*N + 3.0d0*N + 4.0d0 + 5.0",
      "     &d0)"}},
};

class RuleCases : public testing::TestWithParam<TRuleCase> {};

TEST_P(RuleCases, ReplaceTheMeasuredTime) {
  const TRuleCase& c = GetParam();
  TDrivers d("      subroutine work(a, N)\n      integer N\n      parameter (nn = 100)\n"
             "!Vexnor$ static select region start\n" +
             c.Body + "!Vexnor$ static select region end\n      end\n");
  ASSERT_EQ(d.Pipeline.Reporter.Errors, 0) << testing::PrintToString(d.Pipeline.Reporter.Lines);
  EXPECT_TRUE(HasLines(d.Driver(), c.Expected));
}

INSTANTIATE_TEST_SUITE_P(Drivers, RuleCases, testing::ValuesIn(kRuleCases),
                         [](const testing::TestParamInfo<TRuleCase>& info) {
                           return std::string(info.param.Name);
                         });

TEST(TuningRoutine, PreAndPostProcessingAroundTheTimedCall) {
  TDrivers d("      subroutine work(a)\n      parameter (nn = 100)\n"
             "!Vexnor$ install select region start\n"
             "!Vexnor$ pripro sub region start\n      a = 0\n!Vexnor$ pripro sub region end\n"
             "      a = a + 1\n"
             "!Vexnor$ postpro sub region start\n      print *, a\n"
             "!Vexnor$ postpro sub region end\n"
             "!Vexnor$ install select region end\n      end\n");
  EXPECT_TRUE(HasLines(d.Driver(),
                       {"          NZ = iloop_n", "", "c!Vexnor$ pripro sub region start",
                        "      a = 0", "c!Vexnor$ pripro sub region end", "",
                        "          call MPI_BARRIER(MPI_COMM_WORLD, ierr)",
                        "          t1 = MPI_WTIME()", "", "          call Vexnor_Install1(a, iusw1)",
                        "", "          call MPI_BARRIER(MPI_COMM_WORLD, ierr)"}));
  EXPECT_TRUE(HasLines(d.Driver(),
                       {"          t_all = bt", "", "c!Vexnor$ postpro sub region start",
                        "      print *, a", "c!Vexnor$ postpro sub region end", "",
                        "c          if (Vexnor_DEBUG .ge. 1)then"}));
}

// Sampled cases are measured in ascending order; without sampled cases
// every case is measured.
TEST(TuningRoutine, FittingRegionsMeasureTheirSampledCases) {
  struct {
    const char* Fitting;
    std::vector<std::string> Assignments;
  } cases[] = {
      {"!Vexnor$ fitting least-squares 2 sampled (4, 1-2)\n",
       {"      F1(1)=1", "      F1(2)=2", "      F1(3)=4", "      if (Vexnor_ENDTUNESIZE .gt. NN) then"}},
      {"!Vexnor$ fitting least-squares 2\n",
       {"      F1(1)=1", "      F1(2)=2", "      F1(3)=3", "      F1(4)=4",
        "      if (Vexnor_ENDTUNESIZE .gt. NN) then"}},
  };
  for (const auto& c : cases) {
    TDrivers d(std::string("      subroutine work(a)\n      parameter (nn = 100)\n"
                           "!Vexnor$ install select region start\n") +
               c.Fitting + "!Vexnor$ varied (p) from 1 to 4\n      a = p\n"
                           "!Vexnor$ install select region end\n      end\n");
    ASSERT_EQ(d.Pipeline.Reporter.Errors, 0) << c.Fitting;
    std::string driver = d.Driver();
    const std::string measured = std::to_string(c.Assignments.size() - 1);
    EXPECT_TRUE(HasLines(driver, c.Assignments)) << c.Fitting;
    EXPECT_TRUE(HasLine(driver, "      integer F1(" + measured + ")")) << c.Fitting;
    EXPECT_TRUE(HasLine(driver, "        do iloop_install=1, " + measured)) << c.Fitting;
  }
}

struct THeadingCase {
  const char* Name;
  const char* Kind;
  std::string RegionName;
  std::vector<std::string> Expected;
};

void PrintTo(const THeadingCase& c, std::ostream* os) { *os << c.Name; }

const THeadingCase kHeadingCases[] = {
    {"Fits", "install", std::string(17, 'h'),
     {"      subroutine Vexnor_ATexecInstall" + std::string(17, 'h') + "(Vexnor_Routines)",
      "      character*7 Vexnor_Routines"}},
    {"LineEndFoldedOntoAnEmptyContinuation", "install", std::string(18, 'h'),
     {"      subroutine Vexnor_ATexecInstall" + std::string(18, 'h') + "(Vexnor_Routines)",
      "     &", "      character*7 Vexnor_Routines"}},
    {"StaticFolded", "static", "matrix_product_blocked_variant",
     {"      subroutine Vexnor_ATexecStaticmatrix_product_blocked_variant(Vexno",
      "     &r_Routines)", "      character*7 Vexnor_Routines"}},
    {"DynamicFolded", "dynamic", "matrix_product",
     {"      subroutine Vexnor_ATexecDynamicmatrix_product(Vexnor_Routines,N,iB",
      "     &estSw1)", "      character*(*) Vexnor_Routines", "      integer N",
      "      integer iBestSw1"}},
};

class HeadingCases : public testing::TestWithParam<THeadingCase> {};

TEST_P(HeadingCases, FoldAtColumn72) {
  const THeadingCase& c = GetParam();
  TDrivers d("      subroutine work(a)\n      parameter (nn = 100)\n!Vexnor$ " + std::string(c.Kind) +
             " select region start\n!Vexnor$ name " + c.RegionName + "\n      a = 1\n!Vexnor$ " +
             c.Kind + " select region end\n      end\n");
  ASSERT_EQ(d.Pipeline.Reporter.Errors, 0);
  std::vector<std::string> lines = Lines(d.Driver());
  ASSERT_GT(lines.size(), c.Expected.size() + 2);
  EXPECT_EQ(std::vector<std::string>(lines.begin() + 2,
                                     lines.begin() + 2 + static_cast<long>(c.Expected.size())),
            c.Expected);
}

INSTANTIATE_TEST_SUITE_P(Drivers, HeadingCases, testing::ValuesIn(kHeadingCases),
                         [](const testing::TestParamInfo<THeadingCase>& info) {
                           return std::string(info.param.Name);
                         });

// The longest region name the region model accepts, in every kind and with
// every switch: no line passes column 72, and the names in file names and
// records are folded rather than cut.
TEST(TuningRoutine, LongestRegionNameStaysWithinColumn72) {
  const std::string name(43, 'q');
  for (const std::string kind : {"Install", "Static", "Dynamic"}) {
    for (bool visual : {false, true}) {
      TDrivers d("      subroutine work(a)\n      parameter (nn = 100)\n!Vexnor$ " + kind +
                     " select region start\n!Vexnor$ name " + name + "\n      a = 1\n!Vexnor$ " +
                     kind + " select region end\n      end\n",
                 visual, true);
      ASSERT_EQ(d.Pipeline.Reporter.Errors, 0) << kind;
      std::string driver = d.Driver();
      for (const std::string& line : Lines(driver)) {
        EXPECT_LE(line.size(), 72u) << kind << ": " << line;
      }
      std::string flat = driver;
      for (size_t at; (at = flat.find("\n     &")) != std::string::npos;) {
        flat.erase(at, 7);
      }
      EXPECT_NE(flat.find("     (" + name + "_I \", iBestSw1,\")\""), std::string::npos) << kind;
      EXPECT_NE(flat.find("file = 'Vexnor_" + kind + name + "Param.dat',"), std::string::npos)
          << kind;
      if (visual) {
        EXPECT_NE(flat.find("file = 'VexnorATLog_" + name + ".dat',"), std::string::npos) << kind;
      }
    }
  }
}

}  // namespace
