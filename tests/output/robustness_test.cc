// Whatever mix of directives and statements a source holds, the passes and
// the generators finish without crashing (the sanitizer build checks every
// access) and keep generated statement lines within column 72.
#include <gtest/gtest.h>

#include <random>

#include "codegen/candidates.h"
#include "output/control_routines.h"
#include "output/source_writer.h"
#include "test_support.h"

namespace {

const char* const kLines[] = {
    "!Vexnor$ install select region start",   "!Vexnor$ install select region end",
    "!Vexnor$ static unroll (i) region start", "!Vexnor$ static unroll (i) region end",
    "!Vexnor$ dynamic region start",           "!Vexnor$ dynamic region end",
    "!Vexnor$ select sub region start",        "!Vexnor$ select sub region end",
    "!Vexnor$ pripro sub region start",        "!Vexnor$ postpro sub region end",
    "!Vexnor$ varied (i) from 1 to 3",         "!Vexnor$ varied (j, k) from 2 to 1",
    "!Vexnor$ varied from 1 to 2",             "!Vexnor$ name r",
    "!Vexnor$ Number 2",                       "!Vexnor$ fitting least-squares 2 sampled (1-3)",
    "!Vexnor$ according (x .gt. 1)",           "!Vexnor$ according estimated 2.0d0*N",
    "!Vexnor$ debug (pp, bp, q)",              "!Vexnor$ Vexnor_DynPefThis (r)",
    "!Vexnor$ Vexnor_ENDTUNESIZE = 100",       "!Vexnor$ call report(x)",
    "      do i = 1, n",                       "      do j = 1, n, 2",
    "      enddo",                             "      x = a(i) + t",
    "      t = a(j) * 1.0d-3",                 "      a(i) = t",
    "      if (x .gt. 0) then",                "      endif",
    "      if (x) y = z",                      "      end",
    "      subroutine s(a, n)",                "      real*8 a(n), t",
    "      integer n, i, j",                   "      call f(x, a(1:n))",
    "   10 continue",                          "      select case (i)",
    "      end select",                        "      print *, x, y",
    "      parameter (m = 4)",                 "      x = y +",
    "c     a comment",                         "      s = 'unclosed",
};

TEST(Robustness, AnyMixOfDirectivesAndStatements) {
  std::mt19937 random(20261211);
  const size_t count = sizeof kLines / sizeof kLines[0];
  int generated = 0;
  int withRegions = 0;
  for (int round = 0; round < 300; ++round) {
    std::string source;
    size_t lines = 1 + random() % 40;
    for (size_t l = 0; l < lines; ++l) {
      source += std::string(kLines[random() % count]) + "\n";
    }
    SCOPED_TRACE(source);
    TPipeline p(source);
    if (p.Reporter.Errors != 0) {
      continue;  // the run stops before generation
    }
    ++generated;
    if (!p.Regions.empty()) {
      ++withRegions;
    }
    TRecordingReporter reporter;
    TGenContext context = ContextFor(p, reporter);
    context.VisualFlag = round % 2 == 0;
    context.DebugFlag = round % 3 == 0;
    std::string out = Written([&](TCodeWriter& w) {
      WriteControlRoutines(context, false, "/nonexistent/", w);
      for (auto& region : p.Regions) {
        WriteCandidates(*region, context, w);
      }
      WriteSource(p.List, p.Regions, context, w);
    });
    for (const std::string& line : Lines(out)) {
      bool comment = !line.empty() && (line[0] == 'c' || line[0] == 'C' || line[0] == '!');
      if (!comment) {
        EXPECT_LE(line.size(), 72u) << line;
      }
    }
  }
  EXPECT_GT(generated, 50);
  EXPECT_GT(withRegions, 10);
}

}  // namespace
