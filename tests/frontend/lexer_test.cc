// The lexer: joined keywords and operators, labels and construct names,
// keyword classes, numbers, numbering and priorities.
#include "frontend/lexer.h"

#include <gtest/gtest.h>

#include <cmath>

#include "test_support.h"

namespace {

struct TLexCase {
  const char* Name;
  const char* Source;
  const char* Expected;  // Kinds() of the records
};

// Names a case in test output instead of printing its bytes.
void PrintTo(const TLexCase& c, std::ostream* os) { *os << c.Name; }

const TLexCase kLexCases[] = {
    {"EndIfJoined", "x = 1\nend if\n",
     "Word x\nAssign =\nIntConst 1\nEndOfStatement \nENDIF end if\nEndOfStatement \n"},
    {"EndDoJoined", "x = 1\nEND DO\n",
     "Word x\nAssign =\nIntConst 1\nEndOfStatement \nENDDO END DO\nEndOfStatement \n"},
    {"OtherWordPairs", "do while (x)\nelse if (y) then\ndouble precision d\n",
     "DOWHILE do while\nLParen (\nWord x\nRParen )\nEndOfStatement \nELSEIF else if\nLParen (\n"
     "Word y\nRParen )\nTHEN then\nEndOfStatement \nDOUBLEPRECISION double precision\nWord d\n"
     "EndOfStatement \n"},
    {"GoTo", "x = 1\ngo to 10\n",
     "Word x\nAssign =\nIntConst 1\nEndOfStatement \nGOTO go to\nIntConst 10\nEndOfStatement \n"},
    {"TwoSymbolOperators", "a >= b\na == b\na /= b\na <= b // c\n",
     "Word a\nOperator >=\nWord b\nEndOfStatement \nWord a\nOperator ==\nWord b\nEndOfStatement \n"
     "Word a\nOperator /=\nWord b\nEndOfStatement \nWord a\nOperator <=\nWord b\nOperator //\n"
     "Word c\nEndOfStatement \n"},
    {"Power", "y = x**2\n", "Word y\nAssign =\nWord x\nOperator **\nIntConst 2\nEndOfStatement \n"},
    {"StatementLabel", "x = 1\n10 continue\n",
     "Word x\nAssign =\nIntConst 1\nEndOfStatement \nLabel 10\nCONTINUE continue\nEndOfStatement \n"},
    {"ConstructName", "x = 1\nouter: do i = 1, n\n",
     "Word x\nAssign =\nIntConst 1\nEndOfStatement \nLabel outer:\nDO do\nWord i\nAssign =\n"
     "IntConst 1\nComma ,\nWord n\nEndOfStatement \n"},
    {"LabelOnFirstStatementIsANumber", "10 continue\n", "IntConst 10\nCONTINUE continue\nEndOfStatement \n"},
    {"KeywordCaseIgnored", "Real a\nreal b\nREAL c\n",
     "REAL Real\nWord a\nEndOfStatement \nREAL real\nWord b\nEndOfStatement \nREAL REAL\nWord c\n"
     "EndOfStatement \n"},
    {"SemicolonEndsAStatement", "a = 1; b = 2\n",
     "Word a\nAssign =\nIntConst 1\nEndOfStatement ;\nWord b\nAssign =\nIntConst 2\nEndOfStatement \n"},
    {"DoubleColonAtSecondPlaceIsNoConstructName", "x = 1\ninteger :: n\n",
     "Word x\nAssign =\nIntConst 1\nEndOfStatement \nINTEGER integer\nDoubleColon ::\nWord n\n"
     "EndOfStatement \n"},
    {"Numbers", "x = 2d0 + 3.0_8 + 1.5 + .5 + 1.0d\n",
     "Word x\nAssign =\nRealConst 2d0\nOperator +\nRealConst 3.0_8\nOperator +\nRealConst 1.5\n"
     "Operator +\nRealConst .5\nOperator +\nWord 1.0d\nEndOfStatement \n"},
    {"GluedDottedOperators", "if (a.lt.b) flag = x.and..not.y\n",
     "IF if\nLParen (\nWord a\nOperator .lt.\nWord b\nRParen )\nWord flag\nAssign =\nWord x\n"
     "Operator .and.\nOperator .not.\nWord y\nEndOfStatement \n"},
    {"LogicalConstantsStandApart", "f = .TRUE..or.g.eq..false.\n",
     "Word f\nAssign =\nWord .TRUE.\nOperator .or.\nWord g\nOperator .eq.\nWord .false.\n"
     "EndOfStatement \n"},
    {"NumbersBesideDottedOperators", "t = 1.eq.2.and.1.5e3.gt.x\n",
     "Word t\nAssign =\nIntConst 1\nOperator .eq.\nIntConst 2\nOperator .and.\nRealConst 1.5e3\n"
     "Operator .gt.\nWord x\nEndOfStatement \n"},
    {"SignedExponentsJoin", "x = 1.0d-3*y + 2.5E+2 - 1e-1\n",
     "Word x\nAssign =\nRealConst 1.0d-3\nOperator *\nWord y\nOperator +\nRealConst 2.5E+2\n"
     "Operator -\nRealConst 1e-1\nEndOfStatement \n"},
    {"ExponentJoinAfterDottedOperator", "t = a.lt.1d-6\n",
     "Word t\nAssign =\nWord a\nOperator .lt.\nRealConst 1d-6\nEndOfStatement \n"},
    {"NamesEndingInELetterDoNotJoin", "y = x1e-3 + e-1 + 1.5e -2\n",
     "Word y\nAssign =\nWord x1e\nOperator -\nIntConst 3\nOperator +\nWord e\nOperator -\n"
     "IntConst 1\nOperator +\nWord 1.5e\nOperator -\nIntConst 2\nEndOfStatement \n"},
    {"DottedOperatorsStandingAlone", "x = a .lt. b .AND. c\n",
     "Word x\nAssign =\nWord a\nOperator .lt.\nWord b\nOperator .AND.\nWord c\nEndOfStatement \n"},
};

class LexCases : public ::testing::TestWithParam<TLexCase> {};

TEST_P(LexCases, ClassifiesTheRecords) {
  TRecordingReporter reporter;
  EXPECT_EQ(Kinds(BuildTokenList(GetParam().Source, reporter)), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(Lexer, LexCases, ::testing::ValuesIn(kLexCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(Lexer, NumbersKeepTheirValues) {
  struct {
    const char* Text;
    bool Whole;
    bool Integer;
    double Value;
  } cases[] = {
      {"10", true, true, 10},   {"1.5", true, false, 1.5},  {"2d0", true, false, 2},
      {"3.0_8", true, false, 3}, {"", true, true, 0},        {"x1", false, false, 0},
      {"1.0d", false, false, 1}, {"1.5e3", true, false, 1500}, {"7e", false, false, 7},
      {".e5", false, false, 0},  {"1e999", true, false, HUGE_VAL},
  };
  for (const auto& c : cases) {
    double value = -1;
    bool integer = false;
    EXPECT_EQ(ReadNumber(c.Text, value, integer), c.Whole) << c.Text;
    EXPECT_EQ(integer, c.Integer) << c.Text;
    EXPECT_EQ(value, c.Value) << c.Text;
  }
}

TEST(Lexer, SplitRecordsKeepTheirExactSlices) {
  TRecordingReporter reporter;
  TTokenList list = BuildTokenList("  if (a.lt.b) x = 1.0d-3\n", reporter);
  std::string slices;
  for (const auto& t : list) {
    slices += "[" + t->SrcText + "]";
  }
  EXPECT_EQ(slices, "[][  if][ (][a][.lt.][b][)][ x][ =][ 1.0d-3][\n][]");
  EXPECT_EQ(list[9]->Kind, RealConst);
  EXPECT_DOUBLE_EQ(list[9]->Value, 1.0e-3);
}

TEST(Lexer, OperatorPriorities) {
  TRecordingReporter reporter;
  TTokenList list =
      BuildTokenList("y = a + b - c * d / e ** f .eqv. g .NEQV. h .and. i\n", reporter);
  std::string priorities;
  for (const auto& t : list) {
    if (t->Kind == Operator) {
      priorities += t->Text + "=" + std::to_string(t->Priority) + " ";
    }
  }
  EXPECT_EQ(priorities, "+=1 -=1 *=2 /=3 **=4 .eqv.=0 .NEQV.=0 .and.=1 ");
}

TEST(Lexer, NumbersRecordsByPositionAfterMerging) {
  TRecordingReporter reporter;
  TTokenList list = BuildTokenList("x = 1\nend do\ny = a ** b\nouter: do i = 1, 2\n", reporter);
  for (size_t i = 0; i < list.size(); ++i) {
    ASSERT_TRUE(list[i]);
    EXPECT_EQ(list[i]->Index, static_cast<int32_t>(i));
  }
}

TEST(Lexer, EmptyListIsLeftAlone) {
  TTokenList list;
  Lex(list);
  EXPECT_TRUE(list.empty());
}

}  // namespace
