// The source reader and the slice step: records made from fixed-form and
// free-form text, and the exact source slices.
#include "frontend/source_reader.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/encoding.h"

#include "test_support.h"

namespace {

struct TReaderCase {
  const char* Name;
  const char* Source;
  const char* Expected;  // Kinds() after lexing
};

// Names a case in test output instead of printing its bytes.
void PrintTo(const TReaderCase& c, std::ostream* os) { *os << c.Name; }

const TReaderCase kReaderCases[] = {
    {"EmptyFile", "", "EndOfStatement \n"},
    {"FixedFormContinuation", "      x = 1\n     &+ 2\n",
     "Word x\nAssign =\nIntConst 1\nOperator +\nIntConst 2\nEndOfStatement \n"},
    {"FiveBlanksAlwaysContinue", "x = 1 +\n     12\n",
     "Word x\nAssign =\nIntConst 1\nOperator +\nIntConst 2\nEndOfStatement \n"},
    {"ZeroInColumnSixIsNoContinuation", "      x = 1\n     0y = 2\n",
     "Word x\nAssign =\nIntConst 1\nEndOfStatement \nLabel 0y\nAssign =\nIntConst 2\n"
     "EndOfStatement \n"},
    {"ColumnOneComments", "C comment\n* star\nc lower\n c not\n",
     "ColumnComment C comment\nEndOfStatement \nColumnComment * star\nEndOfStatement \n"
     "ColumnComment c lower\nEndOfStatement \nWord c\nWord not\nEndOfStatement \n"},
    {"TrailingBangComment", "x = y ! note\n",
     "Word x\nAssign =\nWord y\nBangComment ! note\nEndOfStatement \n"},
    {"BangCommentEndsWord", "x = y! note\n",
     "Word x\nAssign =\nWord y\nBangComment ! note\nEndOfStatement \n"},
    {"DoubledApostrophe", "s = 'it''s'\n", "Word s\nAssign =\nStringConst 'it's'\nEndOfStatement \n"},
    {"DoubleQuoteHasNoDoubling", "s = \"a\"\"b\"\n",
     "Word s\nAssign =\nStringConst \"a\"\nStringConst \"b\"\nEndOfStatement \n"},
    {"DelimitersInsideStrings", "s = 'a,b ! c'\n",
     "Word s\nAssign =\nStringConst 'a,b ! c'\nEndOfStatement \n"},
    {"LastLineWithoutLineFeed", "x = 1\ny = 2",
     "Word x\nAssign =\nIntConst 1\nEndOfStatement \nWord y\nAssign =\nIntConst 2\n"
     "EndOfStatement \n"},
    {"EmptyLinesAddNothing", "a = 1\n\n\n\nb = 2\n",
     "Word a\nAssign =\nIntConst 1\nEndOfStatement \nWord b\nAssign =\nIntConst 2\n"
     "EndOfStatement \n"},
    {"FreeFormContinuationBlank", "a = b + &\n  c\n",
     "Word a\nAssign =\nWord b\nOperator +\nWord c\nEndOfStatement \n"},
    {"FreeFormContinuationAmpersand", "a = b + &\n&c\n",
     "Word a\nAssign =\nWord b\nOperator +\nWord c\nEndOfStatement \n"},
    {"FreeFormContinuationOverEmptyLine", "a = b + &\n\n  c\n",
     "Word a\nAssign =\nWord b\nOperator +\nWord c\nEndOfStatement \n"},
    {"FreeFormContinuationStartingWithDelimiter", "a = b &\n+c\n",
     "Word a\nAssign =\nWord b\nOperator +\nWord c\nEndOfStatement \n"},
    {"AmpersandAfterBlanksIsAWord", "a = b + &\n  & c\n",
     "Word a\nAssign =\nWord b\nOperator +\nWord &\nWord c\nEndOfStatement \n"},
    {"CarriageReturnsIgnored", "a = 1\r\nb = 2\r\n",
     "Word a\nAssign =\nIntConst 1\nEndOfStatement \nWord b\nAssign =\nIntConst 2\n"
     "EndOfStatement \n"},
    {"UnclosedStringRunsToEnd", "s = 'abc\nx = 1\n",
     "Word s\nAssign =\nStringConst 'abc\nx = 1\nEndOfStatement \n"},
    {"ContinuationAfterCommentLine", "      x = 1\nC note\n     &+ 2\n",
     "Word x\nAssign =\nIntConst 1\nEndOfStatement \nColumnComment C note\nOperator +\n"
     "IntConst 2\nEndOfStatement \n"},
};

class ReaderCases : public ::testing::TestWithParam<TReaderCase> {};

TEST_P(ReaderCases, MakesTheRecords) {
  TRecordingReporter reporter;
  TTokenList list = BuildTokenList(GetParam().Source, reporter);
  EXPECT_EQ(Kinds(list), GetParam().Expected);
  EXPECT_EQ(reporter.Errors, 0);
}

INSTANTIATE_TEST_SUITE_P(Reader, ReaderCases, ::testing::ValuesIn(kReaderCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(SourceReader, SlicesHoldTheBlanksAndLineEndsBeforeEachRecord) {
  TRecordingReporter reporter;
  TTokenList list = BuildTokenList("x = y! note\n\n\nb = 2\n", reporter);
  ASSERT_EQ(list.size(), 11u);
  EXPECT_EQ(list[3]->Text, "y");
  EXPECT_EQ(list[3]->SrcText, " y");
  EXPECT_EQ(list[4]->SrcText, "! note\n");
  EXPECT_EQ(list[5]->SrcText, "");  // the comment's end record ends where it ends
  EXPECT_EQ(list[6]->SrcText, "\n\nb");
  EXPECT_EQ(list[0]->SrcText, "");
  EXPECT_EQ(list[10]->SrcText, "");
}

TEST(SourceReader, ReportsATabWithItsLineAndEcho) {
  std::string source = "a = 1\nb = 2\nc = 3\nd = 4\ne = 5\nf = 6\n  g =\t7\t! x\r\nh = 8\n";
  TRecordingReporter reporter;
  TTokenList list = BuildTokenList(source, reporter);
  ASSERT_EQ(reporter.Lines.size(), 3u);
  EXPECT_EQ(reporter.Lines[0], "error: " + platform::Sjis("TAB文字が含まれています。"));
  EXPECT_EQ(reporter.Lines[1], "error: Line = 7");
  EXPECT_EQ(reporter.Lines[2], "error:   g =[TAB]7[TAB]! x\n");
  // The records after the TAB line are still read, and no byte is lost.
  std::string joined;
  for (const auto& t : list) {
    joined += t->SrcText;
  }
  std::string withoutCr = source;
  withoutCr.erase(std::remove(withoutCr.begin(), withoutCr.end(), '\r'), withoutCr.end());
  EXPECT_EQ(joined, withoutCr);
}

TEST(SourceReader, PositionsAndLinesOfRecords) {
  TRecordingReporter reporter;
  TTokenList list = BuildTokenList("a = 1\nb = 2\n", reporter);
  // The word completed by a line end carries the next line's number; the end
  // record the line end makes carries the line it ends.
  EXPECT_EQ(list[0]->Line, 0);
  EXPECT_EQ(list[0]->SrcPos, 0);
  EXPECT_EQ(list[1]->Line, 1);
  EXPECT_EQ(list[3]->Line, 2);
  EXPECT_EQ(list[3]->SrcPos, 5);
  EXPECT_EQ(list[4]->Line, 1);
  EXPECT_EQ(list[4]->SrcPos, 6);
  EXPECT_EQ(list.back()->SrcPos, 12);
  EXPECT_EQ(list.back()->Line, 3);
}

TEST(SourceReader, LongWordsLinesAndStringsAreWhole) {
  std::string word(100000, 'w');
  std::string text(100000, 'x');
  std::string source = word + " = '" + text + "' ! " + text + "\n";
  TRecordingReporter reporter;
  TTokenList list = BuildTokenList(source, reporter);
  ASSERT_EQ(list.size(), 7u);
  EXPECT_EQ(list[1]->Text, word);
  EXPECT_EQ(list[3]->Text, "'" + text + "'");
  EXPECT_EQ(list[4]->Text, "! " + text);
}

}  // namespace
