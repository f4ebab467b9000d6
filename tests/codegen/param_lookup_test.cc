// Tuned-parameter lookup blocks: the parameter-file lookup with its labels,
// the least-squares lookup, and folding of long region names.
#include "codegen/param_lookup.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/encoding.h"
#include "test_support.h"

namespace {

using platform::Sjis;

size_t Count(const std::vector<std::string>& lines, const std::string& line) {
  return static_cast<size_t>(std::count(lines.begin(), lines.end(), line));
}

// A subroutine holding one region of the kind with the name and body lines.
std::string RegionSource(const std::string& kind, const std::string& name,
                         const std::string& body) {
  return "      subroutine s(a)\n"
         "!Vexnor$ " + kind + " select region start\n"
         "!Vexnor$ name " + name + "\n" + body +
         "      a = i\n"
         "!Vexnor$ " + kind + " select region end\n"
         "      end\n";
}

std::string Lookup(const std::string& source, int32_t label) {
  TPipeline pipeline(source);
  EXPECT_EQ(pipeline.Reporter.Errors, 0) << testing::PrintToString(pipeline.Reporter.Lines);
  if (pipeline.Regions.empty()) return "";
  return Written([&](TCodeWriter& w) { WriteParamLookup(pipeline.Region(), label, w); });
}

struct TLineCase {
  std::string Line;
  size_t Times;
};

TEST(ParamLookup, StaticRegionReadsItsParameterFileWithItsLabels) {
  std::string text =
      Lookup(RegionSource("static", "mat", "!Vexnor$ varied (i) from 1 to 4\n"), 110);
  std::vector<std::string> lines = Lines(text);

  const TLineCase cases[] = {
      {"        if (index(Vexnor_Routine,'mat') .ne. 0) then", 1},
      {"          isw = -1", 1},
      {"          ibsw = 1", 1},
      {"     &         file = 'Vexnor_StaticmatParam.dat',", 1},
      {"     &         action = 'read', pad= 'yes', err =112)", 1},
      {"            do while (index(cbuf,'mat') .eq. 0)", 1},
      {"              read(UNIT=21, FMT='(A A)', END=110) cbuf", 2},
      {"                read(UNIT=21, FMT='(A A)', END=110) cbuf", 1},
      {"                 read(UNIT=21, FMT='(A A)', END=110) cbuf", 1},
      {"              do while (index(cbuf, 'mat_I') .eq. 0)", 1},
      {"              i = index(cbuf, 'mat_I')+5", 1},
      {"              call VexnorCharToNum(digit, inum)", 1},
      {"              call VexnorCharToNum(digit, ibsw)", 1},
      {"                goto 110", 1},
      {" 110        continue", 1},
      {" 112        if (isw .eq. -1) then", 1},
      {"          call MPI_BCAST(isw,1,MPI_INTEGER,0,MPI_COMM_WORLD,ierr)", 1},
      {"        endif", 1},
  };
  for (const TLineCase& c : cases) EXPECT_EQ(Count(lines, c.Line), c.Times) << c.Line;

  size_t reads = 0;
  for (const std::string& line : lines) reads += line.find("END=") != std::string::npos;
  EXPECT_EQ(reads, 4u);
  EXPECT_EQ(text.find("LSM"), std::string::npos);

  // The labels stand in the label field, columns 2 to 4, before column 6.
  for (const char* label : {" 110  ", " 112  "}) {
    auto at = std::find_if(lines.begin(), lines.end(), [&](const std::string& line) {
      return line.compare(0, 6, label) == 0;
    });
    ASSERT_NE(at, lines.end()) << label;
    EXPECT_EQ(at->substr(6).find_first_not_of(' '), 6u) << *at;
  }

  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[0], "");
  EXPECT_EQ(lines[1], "");
  EXPECT_EQ(lines.back(), "c       === end of mat");
  EXPECT_EQ(text.back(), '\n');
}

TEST(ParamLookup, FittingRegionEstimatesFromItsCoefficients) {
  std::string text = Lookup(RegionSource("install", "mat",
                                         "!Vexnor$ varied (i) from 1 to 8\n"
                                         "!Vexnor$ fitting least-squares 2 sampled (1, 4, 8)\n"),
                            100);
  std::vector<std::string> lines = Lines(text);

  const TLineCase cases[] = {
      {Sjis("c         !!!!!fitting用処理"), 1},
      {"            open(21, status = 'old', file = 'mat_I_LSM.dat',", 1},
      {"     &           action = 'read', pad= 'yes')", 1},
      {"            nparm = 8", 1},
      {"            m_lsm = 2", 1},
      {"            do isw=1, nparm", 1},
      {"              read (21, 100) dtemp,", 1},
      {"     &            (a_lsm(iii, isw-1), iii=0, m_lsm)", 1},
      {" 100          format(D20.10, 20D20.10)", 1},
      {"c              write (*, 100) dble(i),", 1},
      {"c                write (*, 101) dble(i),", 1},
      {"c 101         format(D20.10, 20D20.10)", 1},
      {"          call MPI_BCAST(a_lsm,", 1},
      {"          call VexnorLSM_Est_Param(n, nparm, m_lsm,", 1},
      {"     &               a_lsm, isw)", 1},
      {"          call MPI_BCAST(isw,1,MPI_INTEGER,0,MPI_COMM_WORLD,ierr)", 1},
  };
  for (const TLineCase& c : cases) EXPECT_EQ(Count(lines, c.Line), c.Times) << c.Line;

  EXPECT_EQ(text.find("Param.dat"), std::string::npos);
  EXPECT_EQ(text.find("END="), std::string::npos);
  EXPECT_EQ(text.find("isw = -1"), std::string::npos);
  EXPECT_EQ(lines.back(), "c       === end of mat");
}

// Lines that would pass column 72 are cut there and go on in "&"
// continuation lines; the others stay as they are.
TEST(ParamLookup, LongNamesAreFoldedWithinColumn72) {
  const std::string name(43, 'q');
  const std::string kVaried = "!Vexnor$ varied (i) from 1 to 8\n";
  const std::string kFitting = "!Vexnor$ fitting least-squares 2 sampled (1, 8)\n";
  const std::string guard = "        if (index(Vexnor_Routine,'" + name + "') .ne. 0) then";
  struct {
    const char* Name;
    std::string Body;
    std::vector<std::string> Long;
  } cases[] = {
      {"ParameterFile",
       kVaried,
       {guard, "     &         file = 'Vexnor_Static" + name + "Param.dat',",
        "            do while (index(cbuf,'" + name + "') .eq. 0)",
        "              do while (index(cbuf, '" + name + "_I') .eq. 0)",
        "              i = index(cbuf, '" + name + "_I')+45"}},
      {"Fitting",
       kVaried + kFitting,
       {guard, "            open(21, status = 'old', file = '" + name + "_S_LSM.dat',"}},
  };
  for (const auto& c : cases) {
    std::string text = Lookup(RegionSource("static", name, c.Body), 9990);
    std::vector<std::string> lines = Lines(text);
    for (const std::string& line : lines) EXPECT_LE(line.size(), 72u) << c.Name << ": " << line;
    for (const std::string& line : c.Long) {
      ASSERT_GT(line.size(), 72u) << line;
      std::string folded = line.substr(0, 72) + "\n     &" + line.substr(72);
      EXPECT_NE(text.find("\n" + folded + "\n"), std::string::npos) << c.Name << ": " << line;
    }
    EXPECT_EQ(lines.back(), "c       === end of " + name) << c.Name;
  }
}

}  // namespace
