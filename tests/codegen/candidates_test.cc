// Dispatchers and unroll candidates.
#include "codegen/candidates.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace {

struct TWritten {
  explicit TWritten(const std::string& source)
      : Pipeline(source), context(ContextFor(Pipeline, reporter)) {
    Text = Written([&](TCodeWriter& w) { WriteCandidates(*Pipeline.Regions.at(0), context, w); });
  }
  TPipeline Pipeline;
  TRecordingReporter reporter;
  TGenContext context;
  std::string Text;
};

// The lines of text that start with prefix.
std::vector<std::string> LinesStartingWith(const std::string& text, const std::string& prefix) {
  std::vector<std::string> lines;
  for (const std::string& line : Lines(text)) {
    if (line.rfind(prefix, 0) == 0) {
      lines.push_back(line);
    }
  }
  return lines;
}

TEST(Candidates, SelectRegionDispatcherHoldsEveryCase) {
  TWritten w(
      "      subroutine s(a, n)\n      integer n\n      real*8 a(n), t\n"
      "!Vexnor$ static select region start\n!Vexnor$ name sel\n!Vexnor$ varied (k) from 1 to 3\n"
      "      t = k\n      a(1) = t\n!Vexnor$ static select region end\n      end\n");
  EXPECT_EQ(w.Text,
            "      subroutine Vexnor_Staticsel(n, a, iusw1)\n"
            "      integer n\n"
            "      real*8 a(n)\n"
            "      real*8 t\n"
            "      integer iusw1\n"
            "\n"
            "      select case(iusw1)\n"
            "        case(1)\n"
            "          t = 1\n"
            "          a(1) = t\n"
            "        case(2)\n"
            "          t = 2\n"
            "          a(1) = t\n"
            "        case(3)\n"
            "          t = 3\n"
            "          a(1) = t\n"
            "      end select\n"
            "\n"
            "      return\n"
            "      end\n"
            "\n"
            "\n");
}

const char kUnroll[] =
    "      subroutine s(a, n)\n      integer n\n      real a(n)\n"
    "!Vexnor$ install unroll (i) region start\n!Vexnor$ varied (i) from 1 to 3\n"
    "      do i = 1, n\n        a(i) = 0\n      enddo\n"
    "!Vexnor$ install unroll (i) region end\n      end\n";

TEST(Candidates, UnrollRegionCallsOneCandidatePerCase) {
  TWritten w(kUnroll);
  EXPECT_EQ(LinesStartingWith(w.Text, "      subroutine"),
            (std::vector<std::string>{"      subroutine Vexnor_Install1(n, a, iusw1)",
                                      "      subroutine Vexnor_Install1_1(n, a)",
                                      "      subroutine Vexnor_Install1_2(n, a)",
                                      "      subroutine Vexnor_Install1_3(n, a)"}));
  EXPECT_NE(w.Text.find("        case(2)\n           call Vexnor_Install1_2(n, a)\n"),
            std::string::npos);
  // Candidate 1 is the region's code without its directive lines.
  EXPECT_NE(w.Text.find("      subroutine Vexnor_Install1_1(n, a)\n      integer n\n"
                        "      real a(n)\n\n"
                        "      do i = 1, n\n        a(i) = 0\n      enddo\n\n      return\n"),
            std::string::npos)
      << w.Text;
}

TEST(Candidates, NamesAvoidTheRegionsVariables) {
  TPipeline p("      subroutine s(a, im, t12)\n      real a(10)\n"
              "!Vexnor$ install unroll (i) region start\n!Vexnor$ varied (i) from 1 to 2\n"
              "      do i = 1, 10\n        a(i) = im + t12\n      enddo\n"
              "!Vexnor$ install unroll (i) region end\n      end\n");
  const TTuneRegion& region = p.Region();
  EXPECT_EQ(UniqueName(region, "i", "m"), "im_");
  EXPECT_EQ(UniqueName(region, "i", "l"), "il");
  EXPECT_EQ(CopyName(region, "t12", 3), "t3");
  EXPECT_EQ(CopyName(region, "t", 12), "t12_");
  EXPECT_EQ(CopyName(region, "77", 2), "772");
}

// Candidates run over every pair of depths, j fastest: (1,1), (1,2), (1,3),
// (2,1), (2,2), (2,3). A temporary that depends on both loops needs one copy
// per combination of the two depths, declared four names to a line.
TEST(Candidates, TemporariesGetOneCopyPerDepthFourToALine) {
  TWritten w("      subroutine s(a, n)\n      integer n\n      real a(n)\n      real*8 t\n"
             "!Vexnor$ install unroll (i, j) region start\n"
             "!Vexnor$ varied (i) from 1 to 2\n!Vexnor$ varied (j) from 1 to 3\n"
             "      do i = 1, n\n      do j = 1, n\n        t = a(i) + a(j)\n        a(i) = t\n"
             "      enddo\n      enddo\n!Vexnor$ install unroll (i, j) region end\n      end\n");
  const char* const expected[] = {
      "      real*8 t\n",
      "      real*8 t, t2\n",
      "      real*8 t, t2, t3\n",
      "      real*8 t, t2\n",
      "      real*8 t, t2, t3, t4\n",
      "      real*8 t, t2, t3, t4\n      real*8 t5, t6\n",
  };
  for (int k = 1; k <= 6; ++k) {
    std::string heading = "      subroutine Vexnor_Install1_" + std::to_string(k) + "(n, a)\n";
    size_t at = w.Text.find(heading);
    ASSERT_NE(at, std::string::npos) << k;
    std::string declarations = heading + "      integer n\n      real a(n)\n" + expected[k - 1] + "\n";
    EXPECT_EQ(w.Text.substr(at, declarations.size()), declarations) << k;
  }
  TUnrollState last(w.Pipeline.Region());
  last.SetCase(w.Pipeline.Region(), 6);
  EXPECT_EQ(DepthProduct(last, 3u), 6);
  EXPECT_EQ(DepthProduct(last, 0u), 1);
}

TEST(Candidates, LocalsKeepTheUnitsImplicitTypeAndNamedConstantsTheirType) {
  TWritten w("      subroutine s(a)\n      implicit real*8 (a-h,o-z)\n      parameter (m = 4)\n"
             "      dimension a(m)\n"
             "!Vexnor$ static select region start\n      t = a(1)\n      a(2) = t * m\n"
             "!Vexnor$ static select region end\n      end\n");
  EXPECT_EQ(LinesStartingWith(w.Text, "      "),
            (std::vector<std::string>{"      subroutine Vexnor_Static1(m, a, iusw1)", "      integer m",
                                      "      real*8 a(m)", "      real*8 t", "      integer iusw1",
                                      "      select case(iusw1)", "        case(1)",
                                      "          t = a(1)", "          a(2) = t * m",
                                      "      end select", "      return", "      end"}));
}

TEST(Candidates, RegionsUsingSharedNamesIncludeTheSharedFile) {
  TWritten w("      subroutine s(y)\n      real*8 y\n!Vexnor$ static select region start\n"
             "      y = myid\n!Vexnor$ static select region end\n      end\n");
  EXPECT_TRUE(w.Pipeline.Region().UsesSharedNames);
  EXPECT_EQ(w.Text.substr(0, w.Text.find("      select case")),
            "      subroutine Vexnor_Static1(y, iusw1)\n      real*8 y\n"
            "      include 'VexnorScript.h'\n      integer iusw1\n\n");
}

TEST(Candidates, LongLinesAreFoldedAtColumn72) {
  std::string longName(30, 'v');
  TWritten w("      subroutine s(" + longName + "1, " + longName + "2)\n"
             "      real*8 " + longName + "1, " + longName + "2\n"
             "!Vexnor$ static select region start\n"
             "      " + longName + "1 = " + longName + "2 + 1.0d0 * 2.0d0 ! a remark here\n"
             "!Vexnor$ static select region end\n      end\n");
  size_t start = 0;
  while (start < w.Text.size()) {
    size_t end = w.Text.find('\n', start);
    EXPECT_LE(end - start, 72u) << w.Text.substr(start, end - start);
    start = end + 1;
  }
  EXPECT_EQ(w.Text.find("remark"), std::string::npos);
}

TEST(Candidates, ProgressLinesAndTheStopRequest) {
  std::string source =
      "      subroutine s(x)\n!Vexnor$ static select region start\n"
      "!Vexnor$ varied (k) from 1 to 25\n      x = k\n!Vexnor$ static select region end\n      end\n";
  TWritten w(source);
  EXPECT_EQ(w.reporter.Lines, (std::vector<std::string>{"show: Output Code 10 / 25",
                                                        "show: Output Code 20 / 25"}));
  TPipeline p(source);
  TRecordingReporter reporter;
  bool abort = true;
  TGenContext context(reporter);
  context.AbortFlag = &abort;
  std::string out = Written([&](TCodeWriter& w) { WriteCandidates(*p.Regions[0], context, w); });
  EXPECT_NE(out.find("        case(9)\n"), std::string::npos);
  EXPECT_EQ(out.find("        case(10)\n"), std::string::npos);
  EXPECT_EQ(out.find("end select"), std::string::npos);
}

}  // namespace
