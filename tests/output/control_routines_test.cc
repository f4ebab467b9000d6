// The control routines file: name lists, lookup labels, driver calls,
// run-time tuning, the fitting support copy and the 72-column limit.
#include "output/control_routines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "codegen/codegen_messages.h"
#include "platform/files.h"
#include "test_support.h"

namespace {

// The lines from the first one equal to from up to, not including, the
// next one equal to to.
std::vector<std::string> Between(const std::vector<std::string>& lines, const std::string& from,
                                 const std::string& to) {
  std::vector<std::string> part;
  bool inside = false;
  for (const std::string& line : lines) {
    if (inside && line == to) {
      break;
    }
    if (line == from) {
      inside = true;
    }
    if (inside) {
      part.push_back(line);
    }
  }
  return part;
}

// The largest tuned problem size, which every tuning driver needs.
const char kEndSize[] = "!Vexnor$ Vexnor_ENDTUNESIZE = 300\n";

// One region per (kind, name), in that order, each in its own subroutine.
std::string Source(const std::vector<std::pair<std::string, std::string>>& regions) {
  std::string source = kEndSize;
  for (const auto& [kind, name] : regions) {
    source += "      subroutine s" + name + "(a)\n"
              "!Vexnor$ " + kind + " select region start\n"
              "!Vexnor$ name " + name + "\n"
              "      a = 1\n"
              "!Vexnor$ " + kind + " select region end\n"
              "      end\n";
  }
  return source;
}

// Regions built from a source, with the context Pass 5 would hand over.
struct TRoutines {
  explicit TRoutines(const std::string& source)
      : Pipeline(source), Context(ContextFor(Pipeline, Reporter)) {
    EXPECT_EQ(Pipeline.Reporter.Errors, 0) << testing::PrintToString(Pipeline.Reporter.Lines);
    Context.RoutineListLength =
        std::max<int32_t>(1, static_cast<int32_t>(RegionNameList(Context, TuneKind::None).size()));
  }
  TPipeline Pipeline;
  TRecordingReporter Reporter;
  TGenContext Context;
};

struct TListCase {
  const char* Name;
  std::string Indent;
  std::string List;
  std::vector<std::string> Expected;
};

void PrintTo(const TListCase& c, std::ostream* os) { *os << c.Name; }

const std::string k35 = "abcdefghij,klmnopqrst,uvwxyzABCD,EF";  // 35 characters

class NameListCases : public testing::TestWithParam<TListCase> {};

TEST_P(NameListCases, AssignsPiecesOf35Characters) {
  const TListCase& c = GetParam();
  std::string out = Written([&](TCodeWriter& w) { WriteNameListAssignment(c.Indent, c.List, w); });
  EXPECT_EQ(Lines(out), c.Expected);
  EXPECT_EQ(out.back(), '\n');
}

INSTANTIATE_TEST_SUITE_P(
    ControlRoutines, NameListCases,
    testing::Values(
        TListCase{"Empty", "        ", "", {"        Vexnor_Routines(1:0) = ''"}},
        TListCase{"TenCharacters",
                  "        ",
                  "a,bb,ccc,d",
                  {"        Vexnor_Routines(1:10) = 'a,bb,ccc,d'"}},
        TListCase{"Exactly35",
                  "         ",
                  k35,
                  {"         Vexnor_Routines(1:35) = '" + k35 + "'"}},
        TListCase{"Length36",
                  "        ",
                  k35 + "x",
                  {"        Vexnor_Routines(1:35) = '" + k35 + "'",
                   "        Vexnor_Routines(36:36) = 'x'"}},
        TListCase{"Length71",
                  "        ",
                  k35 + k35 + "y",
                  {"        Vexnor_Routines(1:35) = '" + k35 + "'",
                   "        Vexnor_Routines(36:70) = '" + k35 + "'",
                   "        Vexnor_Routines(71:71) = 'y'"}},
        // Nine blanks and three-digit positions would reach column 73:
        // the closing quote goes onto a continuation line.
        TListCase{"ThreeDigitPositionsFolded",
                  "         ",
                  k35 + k35 + k35 + k35,
                  {"         Vexnor_Routines(1:35) = '" + k35 + "'",
                   "         Vexnor_Routines(36:70) = '" + k35 + "'",
                   "         Vexnor_Routines(71:105) = '" + k35 + "'",
                   "         Vexnor_Routines(106:140) = '" + k35, "     &'"}}),
    [](const testing::TestParamInfo<TListCase>& info) { return std::string(info.param.Name); });

TEST(ControlRoutines, NameListsLabelsAndDriverCallsFollowTheRegionKinds) {
  TRoutines r(Source({{"install", "a"}, {"static", "bb"}, {"install", "ccc"}}));
  ASSERT_EQ(r.Context.RoutineListLength, 8);

  std::string atset = Written([&](TCodeWriter& w) { WriteATset(r.Context, w); });
  std::vector<std::string> lines = Lines(atset);
  const std::vector<std::pair<std::string, std::string>> kinds = {
      {"      if (Vexnor_TYPE .eq. 0) then", "        Vexnor_Routines(1:8) = 'a,bb,ccc'"},
      {"      if (Vexnor_TYPE .eq. 1) then", "         Vexnor_Routines(1:5) = 'a,ccc'"},
      {"      if (Vexnor_TYPE .eq. 2) then", "        Vexnor_Routines(1:2) = 'bb'"},
      {"      if (Vexnor_TYPE .eq. 3) then", "        Vexnor_DYNAMICTUNE = .false."},
  };
  for (const auto& [test, first] : kinds) {
    std::vector<std::string> part = Between(lines, test, "      endif");
    ASSERT_GE(part.size(), 2u) << test;
    EXPECT_EQ(part[1], first) << test;
  }
  EXPECT_EQ(Between(lines, "      if (Vexnor_TYPE .eq. 3) then", "      endif"),
            (std::vector<std::string>{"      if (Vexnor_TYPE .eq. 3) then",
                                      "        Vexnor_DYNAMICTUNE = .false.",
                                      "        Vexnor_Routines(1:0) = ''"}));
  EXPECT_EQ(lines[4], "      character*8 Vexnor_Routines");

  // Each lookup block uses the label handed to it: Install blocks first.
  std::string setparm = Written([&](TCodeWriter& w) { WriteSetParm(r.Context, false, w); });
  std::vector<std::pair<std::string, std::string>> labels;
  std::string guarded;
  for (const std::string& line : Lines(setparm)) {
    const std::string guard = "        if (index(Vexnor_Routine,'";
    if (line.compare(0, guard.size(), guard) == 0) {
      guarded = line.substr(guard.size(), line.find('\'', guard.size()) - guard.size());
    }
    const std::string jump = "                goto ";
    if (line.compare(0, jump.size(), jump) == 0) {
      labels.emplace_back(guarded, line.substr(jump.size()));
    }
  }
  EXPECT_EQ(labels, (std::vector<std::pair<std::string, std::string>>{
                        {"a", "100"}, {"ccc", "110"}, {"bb", "120"}}));

  lines = Lines(Written([&](TCodeWriter& w) { WriteATexec(r.Context, w); }));
  EXPECT_EQ(Between(lines, "      if (Vexnor_TYPE .eq. 1) then", "      endif"),
            (std::vector<std::string>{"      if (Vexnor_TYPE .eq. 1) then",
                                      "        if (index(Vexnor_Routines,'a') .ne. 0) then",
                                      "          call Vexnor_ATexecInstalla(Vexnor_Routines)",
                                      "        endif",
                                      "        if (index(Vexnor_Routines,'ccc') .ne. 0) then",
                                      "          call Vexnor_ATexecInstallccc(Vexnor_Routines)",
                                      "        endif"}));
  EXPECT_EQ(Between(lines, "      if (Vexnor_TYPE .eq. 2) then", "      endif"),
            (std::vector<std::string>{"      if (Vexnor_TYPE .eq. 2) then",
                                      "        if (index(Vexnor_Routines,'bb') .ne. 0) then",
                                      "          call Vexnor_ATexecStaticbb(Vexnor_Routines)",
                                      "        endif"}));
  EXPECT_EQ(Between(lines, "      if (Vexnor_TYPE .eq. 3) then", "      endif"),
            (std::vector<std::string>{"      if (Vexnor_TYPE .eq. 3) then"}));
}

TEST(ControlRoutines, DynamicRegionsAreMeasuredOnlyForTheirOwnName) {
  TRoutines r(Source({{"dynamic", "dx"}, {"install", "a"}, {"dynamic", "dy"}}));

  std::string setparm = Written([&](TCodeWriter& w) { WriteSetParm(r.Context, false, w); });
  EXPECT_EQ(Between(Lines(setparm), "        if (Vexnor_DYNAMICTUNE) then", "        endif"),
            (std::vector<std::string>{
                "        if (Vexnor_DYNAMICTUNE) then",
                "          if (index(Vexnor_Routine,'dx') .ne. 0) then",
                "            call Vexnor_ATexecDynamicdx(Vexnor_Routine,n,isw)",
                "          endif",
                "          if (index(Vexnor_Routine,'dy') .ne. 0) then",
                "            call Vexnor_ATexecDynamicdy(Vexnor_Routine,n,isw)",
                "          endif",
                "        else",
                "          isw = 1"}));
  // The name argument takes the literal of the call site.
  EXPECT_EQ(Lines(setparm)[4], "      character*(*) Vexnor_Routine");

  std::string atexec = Written([&](TCodeWriter& w) { WriteATexec(r.Context, w); });
  EXPECT_EQ(Between(Lines(atexec), "      if (Vexnor_TYPE .eq. 3) then", "      endif"),
            (std::vector<std::string>{"      if (Vexnor_TYPE .eq. 3) then",
                                      "        Vexnor_DYNAMICTUNE = .true.",
                                      "        Vexnor_DYNAMICTUNE = .true."}));
}

TEST(ControlRoutines, WithoutRegionsTheListsHaveLengthOne) {
  TRoutines r("      end\n");
  ASSERT_EQ(r.Context.RoutineListLength, 1);
  std::string out =
      Written([&](TCodeWriter& w) { WriteControlRoutines(r.Context, false, "/nowhere/", w); });
  std::vector<std::string> lines = Lines(out);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "      character*1 Vexnor_Routines"), 2);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "        Vexnor_Routines(1:0) = ''"), 3);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "         Vexnor_Routines(1:0) = ''"), 1);
  EXPECT_EQ(out.find("index("), std::string::npos);
  EXPECT_TRUE(r.Reporter.Lines.empty());
}

// A folder standing for the translator's own, with the fitting support
// file in its data folder when support is not empty. The folder name's
// letter case differs from the one the translator asks for.
std::string ExecutableFolder(const TTempFolder& folder, const std::string& support) {
  if (!support.empty()) {
    platform::CreateFolders(folder.Path() + "VEX_DATA");
    folder.Write("VEX_DATA/ControlSubrutions.f", support);
  }
  return folder.Path();
}

// The four control routines, then every region's driver in list order,
// then the support file when it can be read; a missing one is reported.
TEST(ControlRoutines, FileHoldsTheRoutinesInOrder) {
  const std::string source = Source({{"static", "s1"}, {"install", "i1"}, {"dynamic", "d1"}});
  const std::vector<std::string> subroutines = {
      "      subroutine Vexnor_ATset(Vexnor_TYPE, Vexnor_Routines)",
      "      subroutine Vexnor_SetParm(Vexnor_TYPE, Vexnor_Routine, n, isw)",
      "      subroutine VexnorCharToNum(coption, inum)",
      "      subroutine Vexnor_ATexec(Vexnor_TYPE, Vexnor_Routines)",
      "      subroutine Vexnor_ATexecStatics1(Vexnor_Routines)",
      "      subroutine Vexnor_ATexecInstalli1(Vexnor_Routines)",
      "      subroutine Vexnor_ATexecDynamicd1(Vexnor_Routines,N,iBestSw1)",
  };
  // The last lines of the last driver.
  const std::string driverEnd =
      "      return\n      end\nc     ==== End of Dynamic Optimization Routines\n"
      "c     ==============================================================\n\n\n";
  struct {
    const char* Name;
    std::string Support;
    std::string Copied;  // text line ends: carriage returns before line feeds go
  } cases[] = {
      {"Present", "c     support\r\n      end\r\n", "c     support\n      end\n"},
      {"Missing", "", ""},
  };
  for (const auto& c : cases) {
    TRoutines r(source);
    TTempFolder exe;
    std::string out = Written([&](TCodeWriter& w) {
      WriteControlRoutines(r.Context, true, ExecutableFolder(exe, c.Support), w);
    });
    std::vector<std::string> headings;
    for (const std::string& line : Lines(out)) {
      if (line.rfind("      subroutine ", 0) == 0) {
        headings.push_back(line);
      }
    }
    EXPECT_EQ(headings, subroutines) << c.Name;
    EXPECT_EQ(out.rfind("c     === Vexnor_ATset\n", 0), 0u) << c.Name;
    const std::string tail = driverEnd + c.Copied;
    ASSERT_GE(out.size(), tail.size()) << c.Name;
    EXPECT_EQ(out.substr(out.size() - tail.size()), tail) << c.Name;
    std::vector<std::string> reports;
    if (c.Support.empty()) {
      std::string folder = exe.Path().substr(0, exe.Path().size() - 1);
      std::string path = folder + "\\vex_Data\\ControlSubrutions.f";
      reports.push_back("error: " + codegen_messages::CannotOpenSupportFile(path));
    }
    EXPECT_EQ(r.Reporter.Lines, reports) << c.Name;
  }
}

// A Static region's fitting directive neither declares the fitting arrays
// nor brings in the support file: only Install fitting does.
TEST(ControlRoutines, FittingSupportOnlyForInstallFitting) {
  TRoutines r(std::string(kEndSize) +
              "      subroutine s(a)\n"
              "!Vexnor$ static select region start\n!Vexnor$ name st\n"
              "!Vexnor$ varied (i) from 1 to 4\n"
              "!Vexnor$ fitting least-squares 1 sampled (1, 4)\n"
              "      a = i\n"
              "!Vexnor$ static select region end\n      end\n");
  TTempFolder exe;
  const std::string support = "      subroutine VexnorLSM_Est_Param\n      end\n";
  const std::string folder = ExecutableFolder(exe, support);
  for (bool installFitting : {false, true}) {
    std::vector<std::string> lines =
        Lines(Written([&](TCodeWriter& w) { WriteSetParm(r.Context, installFitting, w); }));
    for (const char* declaration :
         {"      real*8  a_lsm(0:VexnorLSM_MAX_M, 0:VexnorLSM_MAX_NPARM-1)", "      real*8  dtemp",
          "      integer nparm, nsamp"}) {
      EXPECT_EQ(std::count(lines.begin(), lines.end(), declaration), installFitting ? 1 : 0)
          << declaration;
    }
    std::string out = Written(
        [&](TCodeWriter& w) { WriteControlRoutines(r.Context, installFitting, folder, w); });
    EXPECT_EQ(out.find(support) != std::string::npos, installFitting);
  }
  EXPECT_TRUE(r.Reporter.Lines.empty());
}

TEST(ControlRoutines, LinesStayWithinColumn72WithLongNames) {
  const std::string stem(41, 'n');
  TRoutines r(
      Source({{"install", stem + "i1"}, {"static", stem + "s1"}, {"dynamic", stem + "d1"}}));
  std::string out = Written([&](TCodeWriter& w) {
    WriteATset(r.Context, w);
    WriteSetParm(r.Context, false, w);
    WriteCharToNum(w);
    WriteATexec(r.Context, w);
  });
  std::vector<std::string> lines = Lines(out);
  for (const std::string& line : lines) {
    EXPECT_LE(line.size(), 72u) << line;
  }
  // A folded call goes on in a continuation line at the cut.
  std::string call = "            call Vexnor_ATexecDynamic" + stem + "d1(Vexnor_Routine,n,isw)";
  auto at = std::find(lines.begin(), lines.end(), call.substr(0, 72));
  ASSERT_NE(at, lines.end());
  EXPECT_EQ(*(at + 1), "     &" + call.substr(72));
}

}  // namespace
