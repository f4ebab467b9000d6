// The generated control routines as gfortran sees them: the parameter
// lookup of Vexnor_SetParm run under MPI against a parameter file written
// the way a tuning driver writes it, and a whole control routines file with
// regions of every kind compiled.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "fortran/fortran_support.h"
#include "output/control_routines.h"
#include "platform/files.h"
#include "test_support.h"

namespace {

const char kEndSize[] = "!Vexnor$ Vexnor_ENDTUNESIZE = 300\n";

std::string RegionSource(const std::string& kind, const std::string& name,
                         const std::string& body = "") {
  return "      subroutine s" + name + "(a)\n"
         "!Vexnor$ " + kind + " select region start\n"
         "!Vexnor$ name " + name + "\n" + body +
         "      a = 1\n"
         "!Vexnor$ " + kind + " select region end\n"
         "      end\n";
}

TGenContext ContextOf(const TPipeline& pipeline, TReporter& reporter) {
  TGenContext context = ContextFor(pipeline, reporter);
  context.RoutineListLength =
      std::max<int32_t>(1, static_cast<int32_t>(RegionNameList(context, TuneKind::None).size()));
  return context;
}

// Rank 0 writes the parameter file of the Static region mat with the
// statements of a tuning driver: sizes 100, 200, 300 with best cases 2, 3,
// 1. Every rank then asks Vexnor_SetParm for n = 150, 300 and 400, and once
// more for 150 after rank 0 has deleted the file. Each answer is printed
// per rank; the ranks other than 0 start from a value of their own, so a
// missing broadcast shows.
const char kLookupProgram[] = R"fortran(c     Parameter lookup of a Static region under MPI.
      program lookrun
      include 'VexnorScript.h'

      call MPI_INIT(ierr)
      call MPI_COMM_RANK(MPI_COMM_WORLD, myid, ierr)
      call MPI_COMM_SIZE(MPI_COMM_WORLD, Vexnor_NUMPROCS, ierr)
      Vexnor_SAMPDIST = 100
      if (myid .eq. 0) call writeparm
      call MPI_BARRIER(MPI_COMM_WORLD, ierr)
      call ask('file', 150)
      call ask('file', 300)
      call ask('file', 400)
      call MPI_BARRIER(MPI_COMM_WORLD, ierr)
      if (myid .eq. 0) then
        open(31, file = 'Vexnor_StaticmatParam.dat', status = 'old')
        close(31, status = 'delete')
      endif
      call MPI_BARRIER(MPI_COMM_WORLD, ierr)
      call ask('none', 150)
      call MPI_FINALIZE(ierr)
      end

      subroutine ask(tag, n)
      character*4 tag
      integer n, isw
      include 'VexnorScript.h'

      isw = -100 - myid
      call Vexnor_SetParm(2, 'mat', n, isw)
      write (*, 900) myid, tag, n, isw
 900  format('rank ', i0, ' ', a, ' n ', i0, ' case ', i0)
      return
      end

      subroutine writeparm
      integer k, isizes(3), ibest(3)
      include 'VexnorScript.h'
      data isizes /100, 200, 300/
      data ibest /2, 3, 1/

      open(11, file = 'Vexnor_StaticmatParam.dat', status = 'replace')
      write (11, *) "(mat"
      write (11, *) "  (Vexnor_NUMPROCS ", Vexnor_NUMPROCS, ")"
      write (11, *) "  (Vexnor_SAMPDIST ", Vexnor_SAMPDIST, ")"
      do k = 1, 3
        write (11, *) "  (Vexnor_PROBSIZE ", isizes(k), " "
        write (11, *) "     (mat_I ", ibest(k), ")"
        write (11, *) "  )"
      enddo
      write (11, *) ")"
      close(11)
      return
      end
)fortran";

TEST(LookupRun, ParameterFileGivesTheCaseOfTheNextTunedSize) {
  // An Install region before it gives the Static block the second label.
  TPipeline pipeline(std::string(kEndSize) + RegionSource("install", "inst") +
                     RegionSource("static", "mat"));
  ASSERT_EQ(pipeline.Reporter.Errors, 0) << testing::PrintToString(pipeline.Reporter.Lines);
  TRecordingReporter reporter;
  TGenContext context = ContextOf(pipeline, reporter);
  std::string routines = Written([&](TCodeWriter& w) {
    WriteSetParm(context, false, w);
    WriteCharToNum(w);
  });
  ASSERT_NE(routines.find(" 110        continue\n"), std::string::npos);

  fortran::TFortranWorkspace workspace;
  workspace.Write("lookrun.f", kLookupProgram);
  workspace.Write("setparm.f", routines);
  fortran::TCommandResult compiled = workspace.Compile({"lookrun.f", "setparm.f"});
  ASSERT_TRUE(compiled.Ok()) << compiled.Output;

  fortran::TCommandResult run = workspace.RunMpi(2);
  ASSERT_TRUE(run.Ok()) << "status " << run.Status << "\n" << run.Output;
  for (const char* rank : {"rank 0 ", "rank 1 "}) {
    for (const char* answer : {"file n 150 case 3\n", "file n 300 case 1\n",
                               "file n 400 case 1\n", "none n 150 case 1\n"}) {
      EXPECT_NE(run.Output.find(rank + std::string(answer)), std::string::npos)
          << rank << answer << "in:\n"
          << run.Output;
    }
  }
}

const char kCallerProgram[] = R"(c     Calls every control routine once.
      program ctlmain
      character*%d names
      integer isw
      include 'VexnorScript.h'

      call MPI_INIT(ierr)
      call Vexnor_ATset(0, names)
      call Vexnor_ATexec(1, names)
      call Vexnor_SetParm(1, 'fi', 100, isw)
      call Vexnor_SetParm(3, 'dy', 100, isw)
      call MPI_FINALIZE(ierr)
      end
)";

TEST(LookupRun, ControlRoutinesOfAllKindsCompile) {
  const std::string longName(43, 'w');
  TPipeline pipeline(std::string(kEndSize) + RegionSource("install", "fi",
                                                          "!Vexnor$ varied (i) from 1 to 8\n"
                                                          "!Vexnor$ fitting least-squares 2 "
                                                          "sampled (1, 4, 8)\n") +
                     RegionSource("install", "in") + RegionSource("static", "st") +
                     RegionSource("static", "fs",
                                  "!Vexnor$ varied (i) from 1 to 4\n"
                                  "!Vexnor$ fitting least-squares 1 sampled (1, 4)\n") +
                     RegionSource("dynamic", "dy") + RegionSource("static", longName));
  ASSERT_EQ(pipeline.Reporter.Errors, 0) << testing::PrintToString(pipeline.Reporter.Lines);
  TRecordingReporter reporter;
  TGenContext context = ContextOf(pipeline, reporter);

  TTempFolder exe;
  ASSERT_TRUE(platform::CreateFolders(exe.Path() + "vex_data"));
  exe.Write("vex_data/ControlSubrutions.f",
            ReadFileBytes(fortran::IncludeFolder() + "/ControlSubrutions.f"));
  std::string file =
      Written([&](TCodeWriter& w) { WriteControlRoutines(context, true, exe.Path(), w); });
  EXPECT_TRUE(reporter.Lines.empty()) << testing::PrintToString(reporter.Lines);
  ASSERT_NE(file.find("      subroutine Vexnor_ATexecDynamicdy(Vexnor_Routines,N,iBestSw1)\n"),
            std::string::npos);

  // The drivers call the regions' dispatchers, which live in the routine
  // files of the kinds: stand-ins in a file of their own link them.
  std::string dispatchers = Written([&](TCodeWriter& w) {
    for (const auto& region : pipeline.Regions) {
      w.Folded("      subroutine " + region->RoutineName);
      w.Line("      return");
      w.Line("      end");
    }
  });

  std::string caller = kCallerProgram;
  caller.replace(caller.find("%d"), 2, std::to_string(context.RoutineListLength));
  fortran::TFortranWorkspace workspace;
  workspace.Write("ctlmain.f", caller);
  workspace.Write("Vexnor_ControlRoutines.f", file);
  workspace.Write("dispatchers.f", dispatchers);
  fortran::TCommandResult compiled =
      workspace.Compile({"ctlmain.f", "Vexnor_ControlRoutines.f", "dispatchers.f"});
  EXPECT_TRUE(compiled.Ok()) << compiled.Output;
}

}  // namespace
