// The transformed source.
#include "output/source_writer.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace {

std::string Transformed(const std::string& source) {
  TPipeline p(source);
  TRecordingReporter reporter;
  TGenContext context = ContextFor(p, reporter);
  return Written([&](TCodeWriter& w) { WriteSource(p.List, p.Regions, context, w); });
}

const char kIncludes[] =
    "      include 'Vexnor_ControlRoutines.f'\n"
    "      include 'Vexnor_DynamicRoutines.f'\n"
    "      include 'Vexnor_InstallRoutines.f'\n"
    "      include 'Vexnor_StaticRoutines.f'\n";

TEST(SourceWriter, CopiesASourceWithoutRegionsByteForByte) {
  const std::string source =
      "c     a program\n      program p\n      x = 1 ! set\n      select case (k)\n"
      "      end select\n      end\n\n      subroutine s\n      end\n\n\n";
  EXPECT_EQ(Transformed(source),
            "c     a program\n      program p\n      x = 1 ! set\n      select case (k)\n"
            "      end select\n      end\n\n" + std::string(kIncludes) +
                "\n\n      subroutine s\n      end\n\n\n");
}

TEST(SourceWriter, ASourceWithoutEndGetsNoIncludes) {
  EXPECT_EQ(Transformed("      x = 1\n"), "      x = 1\n");
}

TEST(SourceWriter, DynPefThisMovesTheParameterCall) {
  const std::string region =
      "!Vexnor$ dynamic select region start\n!Vexnor$ name mat\n      x = 1\n"
      "!Vexnor$ dynamic select region end\n";
  std::string before = Transformed("      program p\n!Vexnor$ Vexnor_DynPefThis ('MAT')\n" + region +
                                   "      end\n");
  EXPECT_EQ(before.substr(0, before.find("!Vexnor$ dynamic")),
            "      program p\n"
            "      call Vexnor_SetParm(3,'mat',N, iusw1_mat)\n"
            "      call Vexnor_Dynamicmat(iusw1_mat)\n");
  std::string after = Transformed("      program p\n" + region + "!Vexnor$ Vexnor_DynPefThis (mat)\n"
                                  "      end\n");
  EXPECT_EQ(after.substr(after.find("!Vexnor$ dynamic select region end")),
            "!Vexnor$ dynamic select region end\n"
            "      call Vexnor_SetParm(3,'mat',N, iusw1_mat)\n"
            "      end\n\n" + std::string(kIncludes) + "\n");
  // The region itself was written with its own parameter call before.
  EXPECT_LT(after.find("call Vexnor_SetParm"), after.rfind("call Vexnor_SetParm"));
}

TEST(SourceWriter, StatementDirectivesFollowTheBlockDepth) {
  EXPECT_EQ(Transformed("      program p\n      do i = 1, n\n      do j = 1, n\n"
                        "!Vexnor$ call report(i, j)\n      enddo\n      enddo\n"),
            "      program p\n      do i = 1, n\n      do j = 1, n\n"
            "          call report(i, j)\n      enddo\n      enddo\n");
}

TEST(SourceWriter, IncludesFollowTheFirstUnitEndOutsideRegions) {
  std::string out = Transformed(
      "      program p\n!Vexnor$ static select region start\n      x = 1\n"
      "!Vexnor$ static select region end\n      end\n      subroutine s\n      end\n");
  EXPECT_NE(out.find("!Vexnor$ static select region end\n      end\n\n" + std::string(kIncludes)),
            std::string::npos)
      << out;
}

TEST(SourceWriter, ARegionWithoutEndIsCopiedAsSource) {
  EXPECT_EQ(Transformed("      program p\n!Vexnor$ static select region start\n      x = 1\n"),
            "      program p\n      x = 1\n");
}

TEST(SourceWriter, CaseVariablesAreDeclaredAfterTheSharedInclude) {
  std::string out = Transformed(
      "      program p\n      implicit none\n      include 'VexnorScript.h'\n      integer x, N\n"
      "!Vexnor$ static select region start\n!Vexnor$ name a\n      x = 1\n"
      "!Vexnor$ install select region start\n!Vexnor$ name b\n      x = 2\n"
      "!Vexnor$ install select region end\n!Vexnor$ static select region end\n      end\n");
  EXPECT_EQ(out.substr(0, out.find("      integer x, N")),
            "      program p\n      implicit none\n      include 'VexnorScript.h'\n"
            "      integer iusw1_a\n");
}

}  // namespace
