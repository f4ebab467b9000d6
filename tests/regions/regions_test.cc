// Pass 4: system variables, tuning regions, their variables and summaries.
#include "regions/pass4.h"

#include <gtest/gtest.h>

#include "directives/directive_parser.h"
#include "frontend/declarations.h"
#include "platform/encoding.h"
#include "regions/region_summary.h"
#include "regions/region_variables.h"
#include "test_support.h"

namespace {

using platform::Sjis;

// Passes 1 to 4 over a source, with the region arguments as the summary
// shows them.
struct TRegions : TPipeline {
  explicit TRegions(const std::string& source) : TPipeline(source) {}

  std::string Arguments(size_t k = 0) const {
    std::string out;
    const std::vector<TRegionVar>& vars = Region(k).RegionVars;
    for (size_t i = 0; i < vars.size(); ++i) {
      out += (i == 0 ? "" : ",") + (vars[i].Passed ? vars[i].Name : std::string());
    }
    return out;
  }
};

TEST(SystemVariables, AreLoggedAndRecorded) {
  TRegions r("!Vexnor$ Vexnor_NUMPROCS = 4\n!Vexnor$ NB = $1F\n!Vexnor$ NC = -0x10\n"
             "!Vexnor$ call setup(n)\n      end\n");
  EXPECT_EQ(r.Reporter.Lines,
            (std::vector<std::string>{"log: " + Sjis("Vexnor変数: ") + "      Vexnor_NUMPROCS = 4",
                                      "log: " + Sjis("Vexnor変数: ") + "      NB = $1F",
                                      "log: " + Sjis("Vexnor変数: ") + "      NC = -0x10"}));
  ASSERT_EQ(r.Pass->SysVars.size(), 3u);
  EXPECT_EQ(r.Pass->SysVarValue(r.Pass->FindSysVar("vexnor_numprocs")), 4);
  EXPECT_EQ(r.Pass->SysVarValue(r.Pass->FindSysVar("nb")), 31);
  EXPECT_EQ(r.Pass->SysVarValue(r.Pass->FindSysVar("NC")), -16);
  EXPECT_EQ(r.Pass->FindSysVar("none"), -1);
}

TEST(SystemVariables, ReportBadValuesAndNamesSetTwice) {
  struct {
    const char* Source;
    std::string Error;
  } cases[] = {
      {"!Vexnor$ NB = x\n", Sjis("Vexnor変数に整数定数以外が設定されています。 [") + "      NB = x]"},
      {"!Vexnor$ NB = 4.0\n", Sjis("Vexnor変数に整数定数以外が設定されています。 [") + "      NB = 4.0]"},
      {"!Vexnor$ NB = 2*3\n", Sjis("Vexnor変数に整数定数以外が設定されています。 [") + "      NB = 2*3]"},
      {"!Vexnor$ NB = 99999999999\n",
       Sjis("Vexnor変数に整数定数以外が設定されています。 [") + "      NB = 99999999999]"},
      {"!Vexnor$ NB = 1\n!Vexnor$ nb = 2\n", Sjis("Vexnor変数が２度設定されています。 [") + "      nb = 2]"},
  };
  for (const auto& c : cases) {
    TRegions r(std::string(c.Source) + "!Vexnor$ later = 3\n");
    ASSERT_FALSE(r.Reporter.Lines.empty()) << c.Source;
    EXPECT_EQ(r.Reporter.Lines.back(), "error: " + c.Error);
    EXPECT_EQ(r.Pass->FindSysVar("later"), -1) << "the pass ends at the error";
  }
}

const char kThreeRegions[] =
    "      subroutine s(a)\n      real a\n"
    "!Vexnor$ static select region start\n!Vexnor$ Number 3\n      a = 3\n"
    "!Vexnor$ static select region end\n"
    "!Vexnor$ install select region start\n      a = 0\n!Vexnor$ install select region end\n"
    "!Vexnor$ dynamic select region start\n!Vexnor$ Number 1\n      a = 1\n"
    "!Vexnor$ dynamic select region end\n      end\n";

TEST(Regions, AreOrderedByNumber) {
  TRegions r(kThreeRegions);
  ASSERT_EQ(r.Regions.size(), 3u);
  EXPECT_EQ(r.Region(0).Name, "2");
  EXPECT_EQ(r.Region(0).Number, 0);
  EXPECT_EQ(r.Region(1).RoutineName, "Vexnor_Dynamic3");
  EXPECT_EQ(r.Region(2).RoutineName, "Vexnor_Static1");
  EXPECT_EQ(r.Reporter.Errors, 0);
}

TEST(Regions, NestedRegionsAreBothBuiltAndSeeOnlyTheirOwnDirectives) {
  TRegions r(
      "      subroutine s(a)\n"
      "!Vexnor$ install select region start\n!Vexnor$ name outer\n"
      "!Vexnor$ varied (p) from 1 to 2\n"
      "!Vexnor$ static select region start\n!Vexnor$ name inner\n"
      "!Vexnor$ varied (q) from 1 to 5\n      a = 1\n"
      "!Vexnor$ static select region end\n"
      "!Vexnor$ install select region end\n      end\n");
  ASSERT_EQ(r.Regions.size(), 2u);
  EXPECT_EQ(r.Region(0).Name, "outer");
  EXPECT_EQ(r.Region(0).CaseCount, 2);
  EXPECT_EQ(r.Region(1).Name, "inner");
  EXPECT_EQ(r.Region(1).CaseCount, 5);
  EXPECT_EQ(r.Region(1).RoutineName, "Vexnor_Staticinner");
  EXPECT_EQ(r.List[static_cast<size_t>(r.Region(1).StartIndex)]->Script->Region, &r.Region(1));
}

TEST(Regions, CaseCounts) {
  TRegions two("      subroutine s(a)\n!Vexnor$ install select region start\n"
               "!Vexnor$ varied (i) from 1 to 4\n!Vexnor$ varied (j) from 2 to 3\n      a = i + j\n"
               "!Vexnor$ install select region end\n      end\n");
  EXPECT_EQ(two.Region().CaseCount, 8);
  TRegions subs("      subroutine s(a)\n!Vexnor$ static select region start\n"
                "!Vexnor$ varied (p) from 1 to 2\n"
                "!Vexnor$ select sub region start\n!Vexnor$ varied (q) from 1 to 3\n      a = q\n"
                "!Vexnor$ select sub region end\n"
                "!Vexnor$ select sub region start\n!Vexnor$ varied (r) from 5 to 8\n      a = r\n"
                "!Vexnor$ select sub region end\n!Vexnor$ static select region end\n      end\n");
  ASSERT_EQ(subs.Region().SubRegions.size(), 2u);
  EXPECT_EQ(subs.Region().SubRegions[0]->CaseCount, 6);
  EXPECT_EQ(subs.Region().SubRegions[1]->CaseCount, 8);
  EXPECT_EQ(subs.Region().CaseCount, 14);
  TRegions none("      subroutine s(a)\n!Vexnor$ static select region start\n      a = 1\n"
                "!Vexnor$ static select region end\n      end\n");
  EXPECT_EQ(none.Region().CaseCount, 1);
  EXPECT_EQ(two.Reporter.Errors + subs.Reporter.Errors + none.Reporter.Errors, 0);
}

TEST(Regions, NameAndTypeAndSubRegionCostRules) {
  TRegions r("      subroutine s(a)\n!Vexnor$ static unroll (i) region start\n!Vexnor$ name FFT\n"
             "!Vexnor$ according a .gt. 0\n      a = 1\n!Vexnor$ static region end\n      end\n");
  EXPECT_EQ(r.Region().RoutineName, "Vexnor_StaticFFT");
  EXPECT_EQ(r.Region().KindName, "Static");
  EXPECT_EQ(r.Region().RegionType, RegionType::Select);  // the end directive decides
  EXPECT_TRUE(r.Region().HasAccording);
  EXPECT_EQ(r.Region().AccordingStr, "!Vexnor$ according a .gt. 0\n");
}

TEST(Regions, UnrollLoopsWithAndWithoutStep) {
  TRegions r("      subroutine s(a, n)\n      integer n\n      real a(n)\n"
             "!Vexnor$ install unroll (i, j, k) region start\n"
             "!Vexnor$ varied (i, j, k) from 1 to 2\n"
             "      do i = 1, n, 2\n        a(i) = 0\n      enddo\n"
             "      do j = 1, n\n        a(j) = 1\n      enddo\n"
             "!Vexnor$ install unroll (i, j, k) region end\n      end\n");
  const TTuneRegion& region = r.Region();
  EXPECT_EQ(region.RegionType, RegionType::Unroll);
  ASSERT_NE(region.DoToken[0], nullptr);
  EXPECT_EQ(region.IndexVarToken[0]->Text, "i");
  auto text = [&](int32_t from, int32_t to) {
    std::string out;
    for (int32_t k = from; k < to; ++k) {
      out += r.List[static_cast<size_t>(k)]->Text;
    }
    return out;
  };
  EXPECT_EQ(text(region.InitBegin[0], region.InitStop[0]), "1");
  EXPECT_EQ(text(region.LimitBegin[0], region.LimitStop[0]), "n");
  EXPECT_EQ(text(region.StepBegin[0], region.StepStop[0]), "2");
  EXPECT_EQ(region.StepBegin[1], -1);
  EXPECT_EQ(region.StepStop[1], -1);
  EXPECT_EQ(region.DoToken[2], nullptr);  // no loop over k
  EXPECT_EQ(region.CaseCount, 8);
  // n bounds loops 0 and 1: its saved BoundMask is bits 0 and 1.
  TValData* n = region.DoToken[0] ? r.List[static_cast<size_t>(region.LimitBegin[0])]->Var : nullptr;
  ASSERT_NE(n, nullptr);
  EXPECT_EQ(n->BoundMask, 0u);  // cleared after building
  TMaskTable masks;
  RestoreMasks(region, region.StartIndex, region.EndIndex, masks);
  EXPECT_EQ(masks[n].BoundMask, 3u);
  EXPECT_EQ(masks[region.IndexVarToken[0]->Var].LoopMask, 1u);
  EXPECT_EQ(n->BoundMask, 0u);  // the records keep what the analysis left
}

struct TPassedCase {
  const char* Name;
  const char* Source;
  const char* Arguments;  // RegionVars as the summary shows them
};

void PrintTo(const TPassedCase& c, std::ostream* os) { *os << c.Name; }

#define REGION(body) \
  "!Vexnor$ install select region start\n" body "!Vexnor$ install select region end\n"

const TPassedCase kPassedCases[] = {
    {"ReadInside", "      subroutine s\n" REGION("      x = y\n") "      end\n", ",y"},
    {"WrittenInsideReadAfter", "      subroutine s\n" REGION("      x = 1\n") "      z = x\n      end\n",
     "x"},
    {"WrittenAgainAfter", "      subroutine s\n" REGION("      x = 1\n") "      x = 2\n      z = x\n      end\n",
     ""},
    {"DummyArgumentAlwaysPassed", "      subroutine s(x)\n" REGION("      x = 1\n") "      end\n", "x"},
    {"FunctionReferenceNeverPassed", "      subroutine s\n" REGION("      x = f(y)\n") "      end\n",
     ",y"},
    {"ArrayBringsItsBounds",
     "      subroutine s(a)\n      integer m\n      real a(m)\n" REGION("      a(1) = 0\n") "      end\n",
     "m,a"},
    {"OrderedByDeclaration",
     "      subroutine s\n      real c\n      real b\n      real a\n" REGION("      d = a + b + c\n")
     "      end\n",
     ",c,b,a"},
    {"UndeclaredBeforeDeclared",
     "      subroutine s\n      real b\n" REGION("      d = b + u\n") "      end\n", ",u,b"},
    {"ScanStopsAtTheEndOfTheUnit",
     "      subroutine s\n" REGION("      x = 1\n") "      end\n      subroutine t\n      z = x\n      end\n",
     ""},
    {"ScanGoesPastEndSelect",
     "      subroutine s(k)\n      select case (k)\n      case (1)\n" REGION("      x = 1\n")
     "      end select\n      z = x\n      end\n",
     "x"},
    {"SharedNamesComeFromTheInclude",
     "      subroutine s(y)\n" REGION("      y = myid\n      call MPI_BARRIER(MPI_COMM_WORLD, ierr)\n")
     "      end\n",
     "y"},
    {"ReadAgainInTheNextIteration",
     "      subroutine s(n)\n      do it = 1, n\n        y = x\n" REGION("        x = it\n")
     "      enddo\n      end\n",
     "x,it"},
};

class PassedCases : public ::testing::TestWithParam<TPassedCase> {};

TEST_P(PassedCases, PassWhatTheRegionNeeds) {
  TRegions r(GetParam().Source);
  ASSERT_EQ(r.Regions.size(), 1u);
  EXPECT_EQ(r.Arguments(), GetParam().Arguments);
  EXPECT_EQ(r.Reporter.Errors, 0);
}

INSTANTIATE_TEST_SUITE_P(Regions, PassedCases, ::testing::ValuesIn(kPassedCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(Regions, DependenceOnTheUnrolledIndex) {
  TRegions r("      subroutine s(a, n)\n      integer n\n      real a(n), t\n"
             "!Vexnor$ install unroll (i) region start\n!Vexnor$ varied (i) from 1 to 4\n"
             "      do i = 1, n\n        t = a(i)\n        a(i) = t\n        t = t + a(i)\n"
             "      enddo\n!Vexnor$ install unroll (i) region end\n      end\n");
  // t takes a value of loop i; a is only indexed by it.
  EXPECT_EQ(r.Region().RefValStr, "i,t,");
}

TEST(Regions, EverydayFortranPassesExactlyTheProgramsVariables) {
  TRegions r(
      "      subroutine solve(n, a, b, tol)\n      implicit none\n      integer n, i\n"
      "      real*8 a(n), b(n), tol, err, w\n      logical done\n"
      "!Vexnor$ static select region start\n"
      "      done = .false.\n      err = 0.0d0\n"
      "      do i = 1, n\n        w = a(i)*1.0d-3\n"
      "        if (w.gt.tol.and..not.done) then\n          b(i) = w\n"
      "        else if (w.lt.-tol) then\n          b(i) = -w\n        endif\n"
      "        err = max(err, abs(w))\n      enddo\n"
      "!Vexnor$ static select region end\n"
      "      print *, err, done\n      end\n");
  // i and w are locals: their places stay empty, their names stay known.
  EXPECT_EQ(r.Arguments(), "n,a,,b,,tol,err,done");
  std::string locals;
  for (const TRegionVar& v : r.Region().RegionVars) {
    EXPECT_TRUE(IsFortranName(v.Var->Name)) << v.Var->Name;
    EXPECT_EQ(v.Name, v.Var->Name);
    if (!v.Passed) {
      locals += v.Name + " ";
    }
  }
  EXPECT_EQ(locals, "i w ");
}

TEST(Regions, RegionErrors) {
  struct {
    const char* Name;
    std::string Source;
    std::string Error;
  } cases[] = {
      {"NoEnd", "!Vexnor$ install select region start\n      x = 1\n",
       Sjis("region end が見つかりません。")},
      {"VariedWithoutNames",
       REGION("!Vexnor$ varied from 1 to 2\n"), Sjis("varied の変数指定が見つかりません。")},
      {"SubRegionWithoutEnd",
       REGION("!Vexnor$ select sub region start\n      x = 1\n"), Sjis("sub region endが見つかりません。")},
      {"NestedInUnroll",
       "!Vexnor$ install unroll region start\n!Vexnor$ static select region start\n"
       "!Vexnor$ static select region end\n!Vexnor$ install unroll region end\n",
       Sjis("Unroll内のRegionネストは、サポートしていません。")},
      {"NotATuningKind", "!Vexnor$ select region start\n!Vexnor$ select region end\n",
       Sjis("region start の種類が install, static, dynamic のいずれでもありません。 [") +
           "!Vexnor$ select region start]"},
      {"NameWithPath", REGION("!Vexnor$ name ../x\n"),
       Sjis("リージョン名は英数字と'_'だけで書き、生成される名前が63文字以内になる長さにしてください。 [") + "../x]"},
      {"NameTooLong", REGION("!Vexnor$ name " + std::string(44, 'n') + "\n"),
       Sjis("リージョン名は英数字と'_'だけで書き、生成される名前が63文字以内になる長さにしてください。 [") +
           std::string(44, 'n') + "]"},
      {"TooManyVaried",
       REGION("!Vexnor$ varied (a1,a2,a3,a4,a5,a6,a7,a8,a9,b1,b2,b3,b4,b5,b6,b7,b8,b9,c1,c2,c3,c4,"
              "c5,c6,c7,c8,c9,d1,d2,d3,d4,d5,d6) from 1 to 1\n"),
       Sjis("varied の変数は1つのリージョンにつき32個までです。")},
      {"RangeReversed", REGION("!Vexnor$ varied (i) from 5 to 2\n"),
       Sjis("varied の範囲の終わりが始まりより小さくなっています。 [") +
           "!Vexnor$ varied (i) from 5 to 2]"},
      {"TooManyCases",
       REGION("!Vexnor$ varied (i) from 1 to 2000000000\n!Vexnor$ varied (j) from 1 to 2000000000\n"),
       Sjis("ケース数が多すぎます。上限は") + "100000" + Sjis("です。")},
      {"SampledOutside",
       REGION("!Vexnor$ varied (i) from 1 to 4\n!Vexnor$ fitting least-squares 2 sampled (1, 5)\n"),
       Sjis("sampled の点 ") + "5" + Sjis(" がケース番号 1 から ") + "4" + Sjis(" の範囲にありません。")},
      {"SampledCut",
       REGION("!Vexnor$ varied (i) from 1 to 4\n!Vexnor$ fitting least-squares 2 sampled (1-2000000000)\n"),
       Sjis("sampled の点が多すぎます。")},
  };
  for (const auto& c : cases) {
    TRegions r("      subroutine s\n" + c.Source + "      end\n");
    ASSERT_EQ(r.Reporter.Errors, 1) << c.Name;
    EXPECT_EQ(r.Reporter.Lines.back(), "error: " + c.Error) << c.Name;
  }
}

TEST(RegionSummary, ShowsTheRegionLineByLine) {
  TRegions r("      subroutine s(a, n)\n      real a(10)\n      integer n\n"
             "!Vexnor$ install select region start\n!Vexnor$ name 1\n"
             "!Vexnor$ varied (i) from 1 to 8\n      a(i) = n\n"
             "!Vexnor$ install select region end\n      end\n");
  TTuneRegion& region = *r.Regions[0];
  EXPECT_EQ(r.Arguments(), "a,,n");
  region.RefValStr = "i,";
  EXPECT_EQ(RegionSummary(region),
            "Install Select 1\r\n"
            "Vexnor_Install1(a,,n) \r\n"
            "    varied i from 1 to 8\r\n"
            "  RefValStr = ( i, )\r\n"
            "  Case Count = 8\r\n"
            "    SubRegion Count = 0\r\n");
}

TEST(RegionSummary, OfARegionWithoutEndAndOfSubRegions) {
  TRegions lost("!Vexnor$ install select region start\n      x = 1\n");
  EXPECT_EQ(RegionSummary(lost.Region()),
            "Install Define \r\n() \r\n  RefValStr = (  )\r\n  Case Count = 0\r\n"
            "    SubRegion Count = 0\r\n");
  TRegions subs(REGION("!Vexnor$ select sub region start\n      x = 1\n!Vexnor$ select sub region end\n"
                       "!Vexnor$ select sub region start\n      x = 2\n!Vexnor$ select sub region end\n"));
  std::string summary = RegionSummary(subs.Region());
  EXPECT_NE(summary.find("    AccordingStr(0) = \r\n    AccordingStr(1) = \r\n"), std::string::npos);
}

}  // namespace
