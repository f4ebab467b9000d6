// Generated tuning drivers compiled with the MPI compiler and run under
// mpirun: every kind with every switch compiles within column 72, a Static
// driver records its fastest case per problem size, a Dynamic driver
// returns its fastest case, and a tuning range beyond the copies' extent
// stops the program before anything is measured.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "codegen/tuning_routine.h"
#include "fortran/fortran_support.h"

namespace {

// The drivers of all regions of the pipeline, one after the other.
std::string Drivers(TPipeline& pipeline, bool visual, bool debug, int32_t listLength) {
  TGenContext context = ContextFor(pipeline, pipeline.Reporter);
  context.VisualFlag = visual;
  context.DebugFlag = debug;
  context.RoutineListLength = listLength;
  return Written([&](TCodeWriter& w) {
    for (const auto& region : pipeline.Regions) {
      WriteTuningRoutine(*region, context, w);
    }
  });
}

// A workspace with the drivers, the stand-ins of what they call and a main
// program, compiled into "prog".
struct TDriverBuild {
  TDriverBuild(const std::string& drivers, const char* stubs, const char* main) {
    Workspace.Write("drivers.f", drivers);
    Workspace.Write("stubs.f", stubs);
    Workspace.Write("main.f", main);
    Compiled = Workspace.Compile({"drivers.f", "stubs.f", "main.f"});
  }
  fortran::TFortranWorkspace Workspace;
  fortran::TCommandResult Compiled;
};

// The records of a list-directed file with every run of blanks made one
// blank and the blanks at both ends dropped, so that the compiler's own
// spacing of numbers does not matter.
std::vector<std::string> Records(const std::string& text) {
  std::vector<std::string> records;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) {
      end = text.size();
    }
    std::string record;
    for (size_t i = start; i < end; ++i) {
      char c = text[i];
      if (c == ' ' || c == '\r') {
        if (!record.empty() && record.back() != ' ') {
          record += ' ';
        }
      } else {
        record += c;
      }
    }
    if (!record.empty() && record.back() == ' ') {
      record.pop_back();
    }
    records.push_back(record);
    start = end + 1;
  }
  return records;
}

size_t Count(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
    ++count;
  }
  return count;
}

// Regions of every kind with what the drivers must cope with: pre- and
// post-processing, cost rules on sub regions and on a whole region, the
// longest region name, a named constant sizing an array, variables typed
// implicitly or only by DIMENSION, a dummy attribute, a Dynamic region
// sized by NX, and a fitting region.
const char kAllKinds[] = R"f(      subroutine work(a, b, w, x, kb, n, nx)
      integer n, nx, m
      parameter (m = 4)
      real*8 a(n, n), b(nx), w(m)
      real*8, intent(inout) :: x
      dimension kb(10)
!Vexnor$ Vexnor_ENDTUNESIZE = 300
!Vexnor$ install select region start
!Vexnor$ name mat
!Vexnor$ varied (p) from 1 to 3
!Vexnor$ according estimated 2.0d0*N*N
!Vexnor$ pripro sub region start
      x = 0
!Vexnor$ pripro sub region end
      a(1, 1) = b(1) + w(1) + x + p + kb(1) + t
!Vexnor$ postpro sub region start
      x = x + 1
!Vexnor$ postpro sub region end
!Vexnor$ install select region end
!Vexnor$ static select region start
!Vexnor$ name static_region_with_the_longest_allowed_name
!Vexnor$ select sub region start
!Vexnor$ varied (q) from 1 to 2
      b(1) = q
!Vexnor$ select sub region end
!Vexnor$ select sub region start
!Vexnor$ according (N .gt. 100)
      b(1) = 0
!Vexnor$ select sub region end
!Vexnor$ static select region end
!Vexnor$ dynamic select region start
!Vexnor$ name dyn
!Vexnor$ varied (r) from 1 to 2
      a(1, 1) = b(nx) + r
!Vexnor$ dynamic select region end
!Vexnor$ install select region start
!Vexnor$ name fit
!Vexnor$ fitting least-squares 2 sampled (1, 3)
!Vexnor$ varied (p) from 1 to 4
      w(1) = p
!Vexnor$ install select region end
      end
)f";

// Stand-ins for the dispatchers of kAllKinds, receiving what the drivers
// pass, and the control routine that reads the progress file.
const char kAllKindsStubs[] = R"f(      subroutine Vexnor_Installmat(t, n, nx, m, a, b, w, x, kb, iusw1)
      integer n, nx, m, iusw1
      real t
      real*8 a(n, n), b(nx), w(m), x
      integer kb(10)
      a(1, 1) = iusw1
      end

      subroutine
     &  Vexnor_Staticstatic_region_with_the_longest_allowed_name(nx, b,
     &  iusw1)
      integer nx, iusw1
      real*8 b(nx)
      b(1) = iusw1
      end

      subroutine Vexnor_Dynamicdyn(n, nx, a, b, iusw1)
      integer n, nx, iusw1
      real*8 a(n, n), b(nx)
      a(1, 1) = b(nx) + iusw1
      end

      subroutine Vexnor_Installfit(m, w, iusw1)
      integer m, iusw1
      real*8 w(m)
      w(1) = iusw1
      end

      subroutine VexnorCharToNum(cbuf, inum)
      character*(*) cbuf
      integer inum
      read (cbuf, *) inum
      end
)f";

const char kMinimalMain[] = R"f(      program drvmain
      include 'VexnorScript.h'
      call MPI_INIT(ierr)
      call MPI_FINALIZE(ierr)
      end
)f";

TEST(TuningDriverRun, DriversOfEveryKindCompileWithEverySwitch) {
  TPipeline pipeline(kAllKinds);
  ASSERT_EQ(pipeline.Reporter.Errors, 0) << testing::PrintToString(pipeline.Reporter.Lines);
  ASSERT_EQ(pipeline.Regions.size(), 4u);
  for (bool visual : {false, true}) {
    for (bool debug : {false, true}) {
      std::string drivers = Drivers(pipeline, visual, debug, 64);
      ASSERT_EQ(pipeline.Reporter.Errors, 0) << testing::PrintToString(pipeline.Reporter.Lines);
      TDriverBuild build(drivers, kAllKindsStubs, kMinimalMain);
      EXPECT_TRUE(build.Compiled.Ok()) << "visual " << visual << ", debug " << debug << "\n"
                                       << build.Compiled.Output << "\n"
                                       << drivers;
    }
  }
}

// A Static region tuned over 100, 200 and 300 whose case 2 is the fastest,
// and a Dynamic region whose case 1 is the fastest.
const char kSpeed[] = R"f(      subroutine work(a, b, n)
      integer n
      real*8 a(n), b(n)
!Vexnor$ Vexnor_ENDTUNESIZE = 300
!Vexnor$ static select region start
!Vexnor$ name speed
!Vexnor$ varied (p) from 1 to 3
      a(1) = b(1) + p
!Vexnor$ static select region end
!Vexnor$ dynamic select region start
!Vexnor$ name dyn
!Vexnor$ varied (p) from 1 to 2
      a(1) = b(1) + p
!Vexnor$ dynamic select region end
      end
)f";

// Every case fills the whole arrays of the problem size it is given, so a
// copy smaller than that size would be overrun; all but the fast case then
// wait 20 milliseconds.
const char kSpeedStubs[] = R"f(      subroutine Vexnor_Staticspeed(n, a, b, iusw1)
      integer n, iusw1
      real*8 a(n), b(n)
      call busy(n, a, b, iusw1, 2)
      end

      subroutine Vexnor_Dynamicdyn(n, a, b, iusw1)
      integer n, iusw1
      real*8 a(n), b(n)
      call busy(n, a, b, iusw1, 1)
      end

      subroutine busy(n, a, b, iusw1, ifast)
      integer n, iusw1, ifast
      real*8 a(n), b(n)
      include 'VexnorScript.h'
      integer i
      real*8 t0
      do i = 1, n
        b(i) = dble(i)
        a(i) = b(i) + iusw1
      enddo
      if (iusw1 .ne. ifast) then
        t0 = MPI_WTIME()
        do while (MPI_WTIME() - t0 .lt. 0.02d0)
        enddo
      endif
      end

      subroutine VexnorCharToNum(cbuf, inum)
      character*(*) cbuf
      integer inum
      read (cbuf, *) inum
      end
)f";

const char kSpeedMain[] = R"f(      program runmain
      include 'VexnorScript.h'
      integer ibest
      call MPI_INIT(ierr)
      call MPI_COMM_RANK(MPI_COMM_WORLD, myid, ierr)
      call MPI_COMM_SIZE(MPI_COMM_WORLD, Vexnor_NUMPROCS, ierr)
      Vexnor_STARTTUNESIZE = 100
      Vexnor_ENDTUNESIZE = 300
      Vexnor_SAMPDIST = 100
      Vexnor_DEBUG = 0
      call Vexnor_ATexecStaticspeed('speed,dyn')
      call Vexnor_ATexecDynamicdyn('speed,dyn', 250, ibest)
      write (*, '(a, i0)') 'dynamic best ', ibest
      call MPI_FINALIZE(ierr)
      end
)f";

TEST(TuningDriverRun, DriversRecordTheFastestCaseUnderMpi) {
  TPipeline pipeline(kSpeed);
  ASSERT_EQ(pipeline.Reporter.Errors, 0) << testing::PrintToString(pipeline.Reporter.Lines);
  std::string drivers = Drivers(pipeline, true, false, 9);
  TDriverBuild build(drivers, kSpeedStubs, kSpeedMain);
  ASSERT_TRUE(build.Compiled.Ok()) << build.Compiled.Output << "\n" << drivers;
  const fortran::TFortranWorkspace& workspace = build.Workspace;
  workspace.Write("VexnorATLog.dat", "0\n0\n");

  fortran::TCommandResult run = workspace.RunMpi(2);
  ASSERT_TRUE(run.Ok()) << "status " << run.Status << "\n" << run.Output;
  EXPECT_EQ(Count(run.Output, "dynamic best 1\n"), 2u) << run.Output;

  EXPECT_EQ(Records(ReadFileBytes(workspace.Path() + "Vexnor_StaticspeedParam.dat")),
            (std::vector<std::string>{"(speed", "(Vexnor_NUMPROCS 2 )", "(Vexnor_SAMPDIST 100 )",
                                      "(Vexnor_PROBSIZE 100", "(speed_I 2 )", ")",
                                      "(Vexnor_PROBSIZE 200", "(speed_I 2 )", ")",
                                      "(Vexnor_PROBSIZE 300", "(speed_I 2 )", ")", ")"}));
  EXPECT_EQ(Records(ReadFileBytes(workspace.Path() + "Vexnor_DynamicdynParam.dat")),
            (std::vector<std::string>{"(dyn", "(Vexnor_PROBSIZE 250", "(dyn_I 1 )", ")", ")"}));

  // Both regions done; each log has its header and one record per case and
  // problem size.
  EXPECT_EQ(Records(ReadFileBytes(workspace.Path() + "VexnorATLog.dat")),
            (std::vector<std::string>{"100", "100"}));
  std::vector<std::string> speedLog = Records(ReadFileBytes(workspace.Path() + "VexnorATLog_speed.dat"));
  ASSERT_EQ(speedLog.size(), 5u + 3u * 3u) << testing::PrintToString(speedLog);
  EXPECT_EQ(std::vector<std::string>(speedLog.begin(), speedLog.begin() + 5),
            (std::vector<std::string>{"2 NUMPROCS", "100 Vexnor_STARTTUNESIZE",
                                      "300 VEXNOR_ENDTUNESIZE", "100 VEXNOR_SAMPDIST",
                                      "-1 EndOfHeader"}));
  std::vector<std::string> dynLog = Records(ReadFileBytes(workspace.Path() + "VexnorATLog_dyn.dat"));
  ASSERT_EQ(dynLog.size(), 5u + 2u) << testing::PrintToString(dynLog);
  EXPECT_EQ(std::vector<std::string>(dynLog.begin(), dynLog.begin() + 5),
            (std::vector<std::string>{"2 NUMPROCS", "250 Vexnor_STARTTUNESIZE",
                                      "250 VEXNOR_ENDTUNESIZE", "100 VEXNOR_SAMPDIST",
                                      "-1 EndOfHeader"}));
}

// The copies are sized by the parameter N = 200; the program asks for
// sizes up to 300.
const char kSmall[] = R"f(      subroutine work(a, n)
      integer n
      parameter (n = 200)
      real*8 a(n)
!Vexnor$ static select region start
!Vexnor$ name small
      a(1) = 1
!Vexnor$ static select region end
      end
)f";

const char kSmallStubs[] = R"f(      subroutine Vexnor_Staticsmall(n, a, iusw1)
      integer n, iusw1
      real*8 a(n)
      integer i
      print *, 'dispatcher called with', n
      do i = 1, n
        a(i) = iusw1
      enddo
      end
)f";

const char kSmallMain[] = R"f(      program smallmain
      include 'VexnorScript.h'
      call MPI_INIT(ierr)
      call MPI_COMM_RANK(MPI_COMM_WORLD, myid, ierr)
      call MPI_COMM_SIZE(MPI_COMM_WORLD, Vexnor_NUMPROCS, ierr)
      Vexnor_STARTTUNESIZE = 100
      Vexnor_ENDTUNESIZE = 300
      Vexnor_SAMPDIST = 100
      Vexnor_DEBUG = 0
      call Vexnor_ATexecStaticsmall('small')
      print *, 'after the driver'
      call MPI_FINALIZE(ierr)
      end
)f";

TEST(TuningDriverRun, TuningRangeBeyondTheCopiesStopsBeforeMeasuring) {
  TPipeline pipeline(kSmall);
  ASSERT_EQ(pipeline.Reporter.Errors, 0) << testing::PrintToString(pipeline.Reporter.Lines);
  std::string drivers = Drivers(pipeline, false, true, 5);
  TDriverBuild build(drivers, kSmallStubs, kSmallMain);
  ASSERT_TRUE(build.Compiled.Ok()) << build.Compiled.Output << "\n" << drivers;

  fortran::TCommandResult run = build.Workspace.RunMpi(2);
  EXPECT_NE(run.Status, 0) << run.Output;
  EXPECT_EQ(Count(run.Output, "Vexnor_ATexecStaticsmall: Vexnor_ENDTUNESIZE"), 1u) << run.Output;
  EXPECT_NE(run.Output.find("exceeds the largest problem size"), std::string::npos) << run.Output;
  EXPECT_EQ(run.Output.find("dispatcher called"), std::string::npos) << run.Output;
  EXPECT_EQ(run.Output.find("after the driver"), std::string::npos) << run.Output;
}

}  // namespace
