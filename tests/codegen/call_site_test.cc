// Call sites and case bodies of select regions.
#include "codegen/call_site.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "codegen/processing_block.h"
#include "test_support.h"

namespace {

std::string CallSite(const std::string& source, TCallSiteMode mode, bool debug = true) {
  TPipeline p(source);
  TRecordingReporter reporter;
  TGenContext context = ContextFor(p, reporter);
  context.DebugFlag = debug;
  return Written([&](TCodeWriter& w) { WriteCallSite(p.Region(), context, "", mode, w); });
}

const char kMat[] =
    "      subroutine s(a, n)\n      real a(n)\n      integer n\n"
    "!Vexnor$ install select region start\n!Vexnor$ name mat\n"
    "      a(1) = n\n     &  + 1\n   10 continue\n"
    "!Vexnor$ install select region end\n      end\n";

TEST(CallSite, ReplacesTheRegionAndCommentsItsLines) {
  EXPECT_EQ(CallSite(kMat, CallSiteFull),
            "      call Vexnor_SetParm(1,'mat',N, iusw1_mat)\n"
            "      call Vexnor_Installmat(a,n,iusw1_mat)\n"
            "!Vexnor$ install select region start\n"
            "!Vexnor$ name mat\n"
            "c     a(1) = n\n"
            "c    &  + 1\n"
            "c  10 continue\n"
            "!Vexnor$ install select region end\n");
}

TEST(CallSite, ModesLeaveOutTheirParts) {
  EXPECT_EQ(CallSite(kMat, CallSiteInCase),
            "      call Vexnor_SetParm(1,'mat',N, iusw1_mat)\n"
            "      call Vexnor_Installmat(a,n,iusw1_mat)\n");
  EXPECT_EQ(CallSite(kMat, CallSiteParameterOnly), "      call Vexnor_SetParm(1,'mat',N, iusw1_mat)\n");
  std::string noParameter = CallSite(kMat, CallSiteNoParameter);
  EXPECT_EQ(noParameter.rfind("      call Vexnor_Installmat(a,n,iusw1_mat)\n", 0), 0u);
}

TEST(CallSite, StatementsAfterEmptyLinesBecomeComments) {
  std::string out = CallSite(
      "      subroutine s(x)\n!Vexnor$ static select region start\n\n      x = 1\n\n\n"
      "      x = 2\n!Vexnor$ static select region end\n      end\n",
      CallSiteFull);
  EXPECT_NE(out.find("\nc     x = 1\n\n\nc     x = 2\n"), std::string::npos) << out;
  EXPECT_EQ(out.find("\n      x ="), std::string::npos) << out;
}

// The lines a debug directive brings into the commented copy, from the
// line after the directive up to the region's end line.
struct TDebugCase {
  const char* Name;
  const char* Directive;
  bool Debug;
  std::vector<std::string> Lines;
};

void PrintTo(const TDebugCase& c, std::ostream* os) { *os << c.Name; }

// One expected line per line of the table.
// clang-format off
const TDebugCase kDebugCases[] = {
    {"BoundsCaseAndAnUnknownNameAsComments",
     "!Vexnor$ debug (bp, pp, xyz)",
     false,
     {"c      if(Vexnor_DEBUG .ge. 1)then",
      "c        print *, \"myid: \",myid",
      "c        print *, \"Install Routine: \",\"mat\"",
      "c        print *, \"Vexnor_STARTTUNESIZE: \",",
      "c     &      Vexnor_STARTTUNESIZE",
      "c        print *, \"Vexnor_ENDTUNESIZE: \",",
      "c     &      Vexnor_ENDTUNESIZE",
      "c        print *, \"Vexnor_SAMPDIST: \",",
      "c     &      Vexnor_SAMPDIST",
      "c        print *, \"iusw1: \",iusw1_mat",
      "c        print *, \"Error! : xyz \"",
      "c        print *, \"You can only specify the system parameters\"",
      "c        print *, \"   in the co-operator of debug. \"",
      "c      endif"}},
    // Only a name holding "Vexnor" exactly counts as a system variable.
    {"SystemVariablesSpelledExactly",
     "!Vexnor$ debug (Vexnor_NUMPROCS, VEXNOR_NUMPROCS)",
     true,
     {"      if(Vexnor_DEBUG .ge. 1)then",
      "        print *, \"myid: \",myid",
      "        print *, \"Install Routine: \",\"mat\"",
      "        print *, \"Vexnor_NUMPROCS: \",",
      "     &      Vexnor_NUMPROCS",
      "        print *, \"Error! : VEXNOR_NUMPROCS \"",
      "        print *, \"You can only specify the system parameters\"",
      "        print *, \"   in the co-operator of debug. \"",
      "      endif"}},
    {"WithoutParameters",
     "!Vexnor$ debug",
     true,
     {"      if(Vexnor_DEBUG .ge. 1)then",
      "        print *, \"myid: \",myid",
      "        print *, \"Install Routine: \",\"mat\"",
      "      endif"}},
};
// clang-format on

class DebugCases : public testing::TestWithParam<TDebugCase> {};

TEST_P(DebugCases, ExpandInTheCommentedCopy) {
  const TDebugCase& c = GetParam();
  std::vector<std::string> lines = Lines(
      CallSite("      subroutine s\n!Vexnor$ install select region start\n"
               "!Vexnor$ name mat\n" +
                   std::string(c.Directive) + "\n!Vexnor$ install select region end\n      end\n",
               CallSiteFull, c.Debug));
  auto directive = std::find(lines.begin(), lines.end(), c.Directive);
  ASSERT_NE(directive, lines.end());
  EXPECT_EQ(std::vector<std::string>(directive + 1, lines.end() - 1), c.Lines);
  EXPECT_EQ(lines.back(), "!Vexnor$ install select region end");
}

INSTANTIATE_TEST_SUITE_P(CallSite, DebugCases, testing::ValuesIn(kDebugCases),
                         [](const testing::TestParamInfo<TDebugCase>& info) {
                           return std::string(info.param.Name);
                         });

std::string Case(const std::string& source, int32_t k) {
  TPipeline p(source);
  TRecordingReporter reporter;
  TGenContext context = ContextFor(p, reporter);
  return Written([&](TCodeWriter& w) { WriteCase(p.Region(), context, k, w); });
}

TEST(Case, VariedNamesBecomeTheirValues) {
  const char source[] =
      "      subroutine s(a)\n      real a(10)\n!Vexnor$ static select region start\n"
      "!Vexnor$ varied (p) from 1 to 2\n!Vexnor$ varied (q) from 1 to 3\n"
      "      a( p) = q\n      a(1) = a(p)+q\n!Vexnor$ static select region end\n      end\n";
  EXPECT_EQ(Case(source, 5), "          a( 2) = 2\n          a(1) = a(2)+2\n");
  EXPECT_EQ(Case(source, 1), "          a( 1) = 1\n          a(1) = a(1)+1\n");
}

TEST(Case, OnlyTheCasesSubRegionAndNoProcessingBlocks) {
  const char source[] =
      "      subroutine s(x)\n!Vexnor$ static select region start\n"
      "!Vexnor$ pripro sub region start\n      x = 0\n!Vexnor$ pripro sub region end\n"
      "!Vexnor$ select sub region start\n!Vexnor$ varied (m) from 1 to 2\n      x = m\n"
      "!Vexnor$ select sub region end\n"
      "!Vexnor$ select sub region start\n      x = 9\n!Vexnor$ select sub region end\n"
      "!Vexnor$ static select region end\n      end\n";
  EXPECT_EQ(Case(source, 2), "          x = 2\n");
  EXPECT_EQ(Case(source, 3), "          x = 9\n");
}

TEST(Case, LabelsStayInTheirColumnsAndNestedRegionsBecomeCallSites) {
  const char source[] =
      "      subroutine s(x)\n!Vexnor$ static select region start\n"
      "      x = 1\n   10 continue\n"
      "!Vexnor$ install select region start\n!Vexnor$ name inner\n      x = 2\n"
      "!Vexnor$ install select region end\n"
      "!Vexnor$ static select region end\n      end\n";
  EXPECT_EQ(Case(source, 1),
            "          x = 1\n   10     continue\n"
            "          call Vexnor_SetParm(1,'inner',N, iusw1_inner)\n"
            "          call Vexnor_Installinner(x,iusw1_inner)\n");
}

// The block as written; the writer says whether it wrote one.
std::string Block(const TTuneRegion& region, TProcessingKind which, TReporter& reporter) {
  bool wrote = false;
  std::string text =
      Written([&](TCodeWriter& w) { wrote = WriteProcessingBlock(region, which, reporter, w); });
  EXPECT_EQ(wrote, !text.empty());
  return text;
}

TEST(ProcessingBlock, CollectsEveryBlockOfItsKind) {
  TPipeline p(
      "      subroutine s(x)\n!Vexnor$ static select region start\n"
      "!Vexnor$ pripro sub region start\n      x = 0\n!Vexnor$ pripro sub region end\n"
      "!Vexnor$ postpro sub region start\n      x = 9\n!Vexnor$ postpro sub region end\n"
      "!Vexnor$ select sub region start\n      x = 5\n!Vexnor$ select sub region end\n"
      "!Vexnor$ pripro sub region start\nc note\n      x = x + 1\n!Vexnor$ pripro sub region end\n"
      "!Vexnor$ pripro sub region start\n!Vexnor$ debug (pp)\n!Vexnor$ pripro sub region end\n"
      "!Vexnor$ static select region end\n      end\n");
  TRecordingReporter reporter;
  EXPECT_EQ(Block(p.Region(), Pripro, reporter),
            "c!Vexnor$ pripro sub region start\n      x = 0\nc note\n      x = x + 1\n"
            "c!Vexnor$ pripro sub region end\n");
  EXPECT_EQ(Block(p.Region(), Postpro, reporter),
            "c!Vexnor$ postpro sub region start\n      x = 9\nc!Vexnor$ postpro sub region end\n");
  EXPECT_EQ(reporter.Errors, 0);
  TPipeline empty("      subroutine s(x)\n!Vexnor$ static select region start\n"
                  "!Vexnor$ pripro sub region start\n!Vexnor$ debug (pp)\n"
                  "!Vexnor$ pripro sub region end\n      x = 1\n!Vexnor$ static select region end\n"
                  "      end\n");
  EXPECT_EQ(Block(empty.Region(), Pripro, reporter), "");
}

}  // namespace
