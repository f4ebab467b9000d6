// Constant folding on its own: what an expression consumes, whether it
// folds, and to what value.
#include "frontend/const_eval.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace {

struct TEvalCase {
  const char* Source;  // a statement "x = expression ..."; folding starts after "="
  int32_t Count;
  bool Known;
  double Value;
};

TEST(ConstEval, ConsumesFoldsAndReportsMissingOperands) {
  const TEvalCase cases[] = {
      {"x = 2*3+1\n", 5, true, 7},
      {"x = 7/2, y\n", 3, true, 3},       // ends at the "," outside parentheses
      {"x = (1, 2) + 1\n", 7, false, 0},  // a "," inside parentheses does not end it
      {"x = 2.0/4\n", 3, true, 0.5},      // real when one operand is real
      {"x = 2**3**2\n", 5, true, 512},    // "**" from right to left
      {"x = -2**2\n", 4, true, -4},       // the sign binds looser than "**"
      {"x = 1/0\n", 3, false, 0},         // no division by zero
      {"x = n + 1\n", 3, false, 0},       // n has no PARAMETER value
      {"x = a(1:2)\n", 3, false, 0},      // ends at the ":" inside parentheses
      {"x = 1 +\n", -1, false, 0},        // "+" lacks its right operand
      {"x = * 2\n", 2, true, 2},          // an operator at the start is a sign
      {"x = 1 .lt. 2\n", 3, true, 1},     // a comparison keeps the left operand
      {"x = \n", 0, false, 0},
  };
  for (const TEvalCase& c : cases) {
    TRecordingReporter reporter;
    TTokenList list = BuildTokenList(c.Source, reporter);
    TValList vars;
    TNameTable names(vars);
    TConstEvaluator evaluator(list, names);
    double value = -99;
    bool known = !c.Known;
    const int32_t last = static_cast<int32_t>(list.size()) - 1;
    EXPECT_EQ(evaluator.ConstEval(3, last, value, known), c.Count) << c.Source;
    EXPECT_EQ(known, c.Known) << c.Source;
    EXPECT_DOUBLE_EQ(value, c.Value) << c.Source;
  }
}

TEST(ConstEval, MarksTheNamesItReadsAndFoldsParameters) {
  TRecordingReporter reporter;
  TTokenList list = BuildTokenList("x = f(n) + n*2\n", reporter);
  TValList vars;
  TNameTable names(vars);
  TValData* n = names.Create("N");
  n->HasValue = true;
  n->Value = 5;
  TConstEvaluator evaluator(list, names);
  double value = 0;
  bool known = false;
  EXPECT_EQ(evaluator.ConstEval(3, static_cast<int32_t>(list.size()) - 1, value, known), 8);
  EXPECT_FALSE(known);  // f(n) does not fold
  ASSERT_EQ(vars.size(), 2u);
  EXPECT_EQ(Dump(*vars[1]), "f unit=0 RealFunc array decl=-1 type=[-1,-1) r=1 w=0");
  EXPECT_EQ(n->ReadCount, 2);
  EXPECT_EQ(list[5]->Var, n);
  EXPECT_EQ(list[5]->Access, AccessKind::Read);
  EXPECT_EQ(list[5]->Value, 5);

  TTokenList folded = BuildTokenList("x = n*2 - 1\n", reporter);
  TConstEvaluator second(folded, names);
  EXPECT_EQ(second.ConstEval(3, static_cast<int32_t>(folded.size()) - 1, value, known), 5);
  EXPECT_TRUE(known);
  EXPECT_EQ(value, 9);
}

}  // namespace
