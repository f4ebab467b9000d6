// Folding generated Fortran at column 72: cut points, continuation pieces,
// undoing earlier folding, and long texts.
#include "codegen/fold_line.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::string kMark = "\n     &";

std::string Run(size_t count, char c) { return std::string(count, c); }

struct TFoldCase {
  const char* Name;
  std::string Text;
  std::string Expected;
};

void PrintTo(const TFoldCase& c, std::ostream* os) { *os << c.Name; }

const TFoldCase kFoldCases[] = {
    {"Empty", "", ""},
    {"Length71Unchanged", Run(71, 'a'), Run(71, 'a')},
    {"Length72Unchanged", Run(72, 'a'), Run(72, 'a')},
    {"Length73", Run(72, 'a') + "b", Run(72, 'a') + kMark + "b"},
    {"Length73WithLineEndGivesEmptyContinuation", Run(72, 'a') + "\n",
     Run(72, 'a') + kMark + "\n"},
    {"Length137ExactlyTwoPieces", Run(72, 'a') + Run(65, 'b'),
     Run(72, 'a') + kMark + Run(65, 'b')},
    {"Length150", Run(72, 'a') + Run(65, 'b') + Run(13, 'c'),
     Run(72, 'a') + kMark + Run(65, 'b') + kMark + Run(13, 'c')},
    {"InnerLineFeedsCount", Run(40, 'a') + "\n" + Run(40, 'b'),
     Run(40, 'a') + "\n" + Run(31, 'b') + kMark + Run(9, 'b')},
    {"DriverHeading",
     "      subroutine Vexnor_ATexecInstallmatrixproduct_blocked_variant(Vexnor_Routines)\n",
     "      subroutine Vexnor_ATexecInstallmatrixproduct_blocked_variant(Vexno" + kMark +
         "r_Routines)\n"},
    {"EarlierFoldUndoneThenShort", Run(30, 'a') + kMark + Run(30, 'b'),
     Run(30, 'a') + Run(30, 'b')},
    {"FoldAtOtherColumnsRefolded", Run(40, 'a') + kMark + Run(40, 'b') + kMark + Run(70, 'c'),
     Run(40, 'a') + Run(32, 'b') + kMark + Run(8, 'b') + Run(57, 'c') + kMark + Run(13, 'c')},
    {"MarkAppearingAfterInnerMarkGoes", "ab\n" + kMark + "     &cd", "abcd"},
    {"TrailingMarkRemoved", "x" + kMark, "x"},
    {"FourOrSixBlanksAreNoMark", "x\n    &y\n      &z", "x\n    &y\n      &z"},
};

class FoldLineCases : public testing::TestWithParam<TFoldCase> {};

TEST_P(FoldLineCases, FoldsExactly) {
  const TFoldCase& c = GetParam();
  EXPECT_EQ(FoldLine(c.Text), c.Expected);
}

TEST_P(FoldLineCases, RefoldingGivesTheSameText) {
  const TFoldCase& c = GetParam();
  EXPECT_EQ(FoldLine(c.Expected), c.Expected);
}

INSTANTIATE_TEST_SUITE_P(Texts, FoldLineCases, testing::ValuesIn(kFoldCases),
                         [](const testing::TestParamInfo<TFoldCase>& info) {
                           return std::string(info.param.Name);
                         });

// A megabyte without line feeds: every piece has its width and unfolding
// the result gives back the text. Folding and refolding copy the text a
// few times only: a folding that copies the rest of the text for every
// piece takes about a second here, and minutes under the sanitizers.
TEST(FoldLine, FoldsAndRefoldsAMegabyte) {
  std::string text;
  text.reserve(1 << 20);
  for (size_t i = 0; i < (1u << 20); ++i) {
    text.push_back(static_cast<char>('a' + i % 26));
  }
  const size_t pieces = (text.size() - 72 + 64) / 65;

  std::string folded = FoldLine(text);
  ASSERT_EQ(folded.size(), text.size() + pieces * kMark.size());
  EXPECT_EQ(folded.substr(0, 72), text.substr(0, 72));
  std::string unfolded = folded.substr(0, 72);
  size_t at = 72;
  for (size_t piece = 0; piece < pieces; ++piece) {
    ASSERT_EQ(folded.compare(at, kMark.size(), kMark), 0) << "piece " << piece;
    at += kMark.size();
    size_t width = piece + 1 < pieces ? 65 : folded.size() - at;
    unfolded += folded.substr(at, width);
    at += width;
  }
  EXPECT_EQ(at, folded.size());
  EXPECT_EQ(unfolded, text);
  EXPECT_EQ(FoldLine(folded), folded);
}

}  // namespace
