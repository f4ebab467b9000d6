// The shared writer of generated text: its line ends, the folding verbs and
// where they differ, comment lines, the fitted sections of routines that
// hold the user's lines, and the sinks.
#include "codegen/code_writer.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "test_support.h"

namespace {

std::string Chars(size_t count, char c) { return std::string(count, c); }

const std::string kMark = "\n     &";

struct TVerbCase {
  const char* Name;
  std::function<void(TCodeWriter&)> Write;
  std::string Expected;
};

void PrintTo(const TVerbCase& c, std::ostream* os) { *os << c.Name; }

// A statement of 72 columns stays one line with Folded; FoldedWithEnd
// counts its line end as a 73rd character and adds an empty continuation
// line, as the driver heading and the call-site calls have always had.
const TVerbCase kVerbCases[] = {
    {"LineAndEmptyLine",
     [](TCodeWriter& w) {
       w.Line("      x = 1");
       w.Line();
     },
     "      x = 1\n\n"},
    {"FormattedLine", [](TCodeWriter& w) { w.LineF(" %-6d     continue", 110); },
     " 110        continue\n"},
    {"Folded72", [](TCodeWriter& w) { w.Folded(Chars(72, 'a')); }, Chars(72, 'a') + "\n"},
    {"Folded73", [](TCodeWriter& w) { w.Folded(Chars(73, 'a')); }, Chars(72, 'a') + kMark + "a\n"},
    {"FoldedFormatted", [](TCodeWriter& w) { w.FoldedF("%s%d", Chars(71, 'a').c_str(), 12); },
     Chars(71, 'a') + "1" + kMark + "2\n"},
    {"FoldedWithEnd71", [](TCodeWriter& w) { w.FoldedWithEnd(Chars(71, 'a')); },
     Chars(71, 'a') + "\n"},
    {"FoldedWithEnd72GetsEmptyContinuation",
     [](TCodeWriter& w) { w.FoldedWithEnd(Chars(72, 'a')); }, Chars(72, 'a') + kMark + "\n"},
    {"FoldedWithEnd100", [](TCodeWriter& w) { w.FoldedWithEnd(Chars(100, 'a')); },
     Chars(72, 'a') + kMark + Chars(28, 'a') + "\n"},
    {"FoldedSourceKeepsItsOwnEnds",
     [](TCodeWriter& w) { w.FoldedSource("      a = 1;" + Chars(70, 'b') + "\n"); },
     "      a = 1;" + Chars(60, 'b') + kMark + Chars(10, 'b') + "\n"},
    {"ShortComment", [](TCodeWriter& w) { w.Comment("c       === end of mat"); },
     "c       === end of mat\n"},
    {"LongCommentGoesOnInCommentLines",
     [](TCodeWriter& w) { w.Comment("c       === end of " + Chars(60, 'x')); },
     "c       === end of " + Chars(53, 'x') + "\nc" + Chars(7, 'x') + "\n"},
    {"RawAsItStands", [](TCodeWriter& w) { w.Raw("   10 continue\n  x"); }, "   10 continue\n  x"},
};

class WriterVerbs : public testing::TestWithParam<TVerbCase> {};

TEST_P(WriterVerbs, WriteExactly) {
  const TVerbCase& c = GetParam();
  EXPECT_EQ(Written(c.Write), c.Expected);
}

INSTANTIATE_TEST_SUITE_P(Writer, WriterVerbs, testing::ValuesIn(kVerbCases),
                         [](const testing::TestParamInfo<TVerbCase>& info) {
                           return std::string(info.param.Name);
                         });

// Inside a fitted section a statement line past column 72 is cut there and
// continued on lines of 66 columns, whichever verb wrote it; its trailing
// comment goes first, but not a "!" inside a character constant; comment
// lines and lines within 72 columns stay. The last, unended line is fitted
// when the section ends; outside a section nothing is refitted.
TEST(Writer, FittedSectionKeepsStatementLinesWithinColumn72) {
  const std::string statement = "          x = " + Chars(130, 'y');
  const std::string quoted = "          s = '!" + Chars(60, 'q') + "'";
  std::string text = Written([&](TCodeWriter& w) {
    {
      TFittedLines fitted(w);
      w.Raw(statement + "\n");
      w.Line("          t = u ! " + Chars(70, 'r'));
      w.Line("c" + Chars(90, 'c'));
      w.Line(quoted);
      w.Line("      z = 1");
      w.Raw(statement);
    }
    w.Raw("\n" + statement + "\n");
  });
  const std::string fittedStatement =
      statement.substr(0, 72) + kMark + statement.substr(72, 66) + kMark + statement.substr(138);
  EXPECT_EQ(text, fittedStatement + "\n" + "          t = u\n" + "c" + Chars(90, 'c') + "\n" +
                      quoted.substr(0, 72) + kMark + quoted.substr(72) + "\n" + "      z = 1\n" +
                      fittedStatement + "\n" + statement + "\n");
}

TEST(Writer, FileSinkWritesTheTextAsItComes) {
  TTempFolder folder;
  const std::string path = folder.Path() + "out.f";
  {
    platform::TTextFile file;
    ASSERT_TRUE(file.Open(path));
    TFileSink sink(file);
    TCodeWriter w(sink);
    w.Line("      program p");
    w.Folded("      call s(" + Chars(70, 'a') + ")");
    w.Line("      end");
  }
  EXPECT_EQ(ReadFileBytes(path), "      program p\n      call s(" + Chars(59, 'a') + kMark +
                                     Chars(11, 'a') + ")\n      end\n");
}

}  // namespace
