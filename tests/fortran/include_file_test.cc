// The include file VexnorScript.h compiled and run under MPI: shared values
// across program units, MPI names, bounds, and the compile command.
#include <gtest/gtest.h>

#include "fortran/fortran_support.h"

namespace {

// A main program under implicit none that sets the shared values, a
// subroutine under implicit none that broadcasts an integer and a real*8
// array from process 0, and one under implicit real*8 that times, reduces
// and prints what it sees. The include stands among the declarations of
// the main program and after them in the subroutines.
const char kProgram[] = R"(c     Shared values of VexnorScript.h across program units.
      program incmain
      implicit none
      integer nsize
      include 'VexnorScript.h'
      real*8 work(4)

      call MPI_INIT(ierr)
      call MPI_COMM_RANK(MPI_COMM_WORLD, myid, ierr)
      call MPI_COMM_SIZE(MPI_COMM_WORLD, Vexnor_NUMPROCS, ierr)
      Vexnor_STARTTUNESIZE = 100
      Vexnor_ENDTUNESIZE = 300
      Vexnor_SAMPDIST = 50
      Vexnor_DEBUG = 2
      Vexnor_DYNAMICTUNE = .true.
      nsize = 7
      call share(nsize, work)
      call report(work)
      call MPI_FINALIZE(ierr)
      end

      subroutine share(nsize, work)
      implicit none
      integer nsize
      real*8 work(4)
      include 'VexnorScript.h'
      integer i

      do i = 1, 4
        work(i) = 1.5d0*i
        if (myid .ne. 0) work(i) = -1.0d0
      enddo
      if (myid .ne. 0) nsize = -1000
      call MPI_BCAST(nsize, 1, MPI_INTEGER, 0, MPI_COMM_WORLD, ierr)
      call MPI_BCAST(work, 4, MPI_DOUBLE_PRECISION, 0,
     &     MPI_COMM_WORLD, ierr)
      work(4) = work(4) + nsize
      return
      end

      subroutine report(work)
      implicit real*8 (a-h,o-z)
      dimension work(4)
      include 'VexnorScript.h'

      t1 = MPI_WTIME()
      tloc = dble(myid + 1)
      call MPI_ALLREDUCE(tloc, tmax, 1, MPI_DOUBLE_PRECISION,
     &     MPI_MAX, MPI_COMM_WORLD, ierr)
      t2 = MPI_WTIME()
      if (t2 .lt. t1) tmax = -1.0d0
      write (*, 900) myid, Vexnor_NUMPROCS, Vexnor_STARTTUNESIZE,
     &     Vexnor_ENDTUNESIZE, Vexnor_SAMPDIST, Vexnor_DEBUG,
     &     Vexnor_DYNAMICTUNE, VexnorLSM_MAX_N, VexnorLSM_MAX_M,
     &     VexnorLSM_MAX_NPARM, work(1), work(4), tmax
 900  format('rank ', i0, ' of ', i0, ' sizes ', i0, ':', i0, ':', i0,
     &     ' debug ', i0, ' dynamic ', l1, ' bounds ', i0, ',', i0,
     &     ',', i0, ' work ', f5.2, ' ', f5.2, ' max ', f4.2)
      return
      end
)";

TEST(IncludeFile, SharesValuesAcrossUnitsOfOneFileUnderMpi) {
  fortran::TFortranWorkspace workspace;
  workspace.Write("incprog.f", kProgram);
  fortran::TCommandResult compiled = workspace.Compile({"incprog.f"});
  ASSERT_TRUE(compiled.Ok()) << compiled.Output;

  fortran::TCommandResult run = workspace.RunMpi(2);
  ASSERT_TRUE(run.Ok()) << "status " << run.Status << "\n" << run.Output;
  for (const char* rank : {"rank 0", "rank 1"}) {
    EXPECT_NE(run.Output.find(std::string(rank) +
                              " of 2 sizes 100:300:50 debug 2 dynamic T"
                              " bounds 512,9,4096 work  1.50 13.00 max 2.00\n"),
              std::string::npos)
        << rank << " in:\n"
        << run.Output;
  }
}

// The line-truncation check is what lets tests prove that generated lines
// fit in 72 columns: cut at column 72 this program is still valid Fortran
// (i = 1), and only the check rejects it.
TEST(IncludeFile, CompileRejectsLinesPastColumn72) {
  fortran::TFortranWorkspace workspace;
  workspace.Write("long.f", "      program long\n"
                            "      integer i\n"
                            "      i = 1" + std::string(61, ' ') + "+ 2\n"
                            "      print *, i\n"
                            "      end\n");
  fortran::TCommandResult compiled = workspace.Compile({"long.f"});
  EXPECT_FALSE(compiled.Ok()) << compiled.Output;
  EXPECT_NE(compiled.Output.find("line-truncation"), std::string::npos) << compiled.Output;
}

TEST(IncludeFile, ReadmeGivesTheCompileCommandOfTheTests) {
  std::string readme = ReadFileBytes(std::string(VEXNOR_SOURCE_DIR) + "/README.md");
  EXPECT_NE(readme.find(fortran::CompileCommand("<vexnorscript folder>/vex_data") +
                        " Vexnor/Vexnor_prog.f -o prog"),
            std::string::npos);
}

}  // namespace
