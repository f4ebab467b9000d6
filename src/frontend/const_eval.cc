// Constant folding: operator precedence parsing into postfix order, then
// evaluation on a value stack.
#include "frontend/const_eval.h"

#include <cmath>

#include "frontend/declarations.h"

namespace {

// Binding strength of an operator in folding: higher binds tighter. "*" and
// "/" share one level and a sign binds tighter than both but looser than
// "**", so that 2*N/3 and -2**2 fold as Fortran evaluates them.
int PrecedenceOf(const TToken& op, TermRole role) {
  if (role == TermRole::Sign) {
    return 30;
  }
  switch (op.Priority) {
    case 0:
      return 0;
    case 2:
    case 3:
      return 20;
    case 4:
      return 40;
    default:
      return 10;
  }
}

}  // namespace

TConstEvaluator::TConstEvaluator(TTokenList& list, TNameTable& names)
    : list_(list), names_(names) {}

int32_t TConstEvaluator::ConstEval(int32_t first, int32_t last, double& value, bool& known) {
  int32_t count = ReadPostfix(first, last) - first;
  TFoldStep folded = Fold();
  if (folded == TFoldStep::MissingOperand) {
    count = -1;
  }
  known = folded == TFoldStep::Next && values_.size() == 1;
  value = known ? values_[0].Number : 0.0;
  return count;
}

// Reads the expression into postfix_; returns the index of the record that
// ended it, or last + 1. Groups still open at the end are closed.
int32_t TConstEvaluator::ReadPostfix(int32_t first, int32_t last) {
  const int32_t size = static_cast<int32_t>(list_.size());
  if (last >= size) {
    last = size - 1;
  }
  postfix_.clear();
  ops_.clear();
  int32_t depth = 0;
  int32_t end = last + 1;
  bool component = false;
  for (int32_t r = first; r <= last && end > last; ++r) {
    switch (list_[r]->Kind) {
      case IntConst:
      case RealConst:
        postfix_.push_back({r, TermRole::Operand});
        break;
      case Word:
        ReadName(r, component);
        break;
      case Operator:
        ReadOperator(r, first);
        break;
      case LParen:
        ++depth;
        ops_.push_back({r, TermRole::Group});
        break;
      case RParen:
      case Comma:
        // Outside parentheses both end the expression; inside, a ")" closes
        // its group and a "," separates arguments.
        if (depth == 0) {
          end = r;
          break;
        }
        CloseGroup();
        if (list_[r]->Kind == RParen && !ops_.empty()) {
          --depth;
          ops_.pop_back();  // the group's "("
        }
        break;
      default:
        end = r;
        break;
    }
  }
  while (!ops_.empty()) {
    if (ops_.back().Role != TermRole::Group) {
      postfix_.push_back(ops_.back());
    }
    ops_.pop_back();
  }
  return end;
}

// A name is an operand and is marked read; the name after "%" is a
// component of a structure and neither.
void TConstEvaluator::ReadName(int32_t r, bool& component) {
  TToken& t = *list_[r];
  if (t.Text == "%") {
    component = true;
    return;
  }
  if (component) {
    component = false;
    return;
  }
  if (IsFortranName(t.Text)) {
    bool beforeParen = static_cast<size_t>(r) + 1 < list_.size() && list_[r + 1]->Kind == LParen;
    names_.MarkRead(t, beforeParen);
  }
  postfix_.push_back({r, TermRole::Operand});
}

// An operator at the start, or after another operator, "(" or ",", is a
// sign. A binary operator first moves the operators that bind at least as
// tightly to the output; "**" applies from right to left.
void TConstEvaluator::ReadOperator(int32_t r, int32_t first) {
  TToken& t = *list_[r];
  int32_t before = r > first ? list_[r - 1]->Kind : Sentinel;
  if (r == first || before == Operator || before == LParen || before == Comma) {
    t.Priority = 10;
    ops_.push_back({r, TermRole::Sign});
    return;
  }
  int precedence = PrecedenceOf(t, TermRole::Binary);
  bool rightToLeft = t.Text == "**";
  while (!ops_.empty() && ops_.back().Role != TermRole::Group) {
    int top = PrecedenceOf(*list_[ops_.back().Index], ops_.back().Role);
    if (top < precedence || (top == precedence && rightToLeft)) {
      break;
    }
    postfix_.push_back(ops_.back());
    ops_.pop_back();
  }
  ops_.push_back({r, TermRole::Binary});
}

// Moves the operators of the innermost group to the output.
void TConstEvaluator::CloseGroup() {
  while (!ops_.empty() && ops_.back().Role != TermRole::Group) {
    postfix_.push_back(ops_.back());
    ops_.pop_back();
  }
}

// Evaluates postfix_ on values_, each value with a flag telling whether it
// is an integer; stops at the first term that cannot be folded.
TConstEvaluator::TFoldStep TConstEvaluator::Fold() {
  values_.clear();
  for (const TTerm& term : postfix_) {
    const TToken& t = *list_[term.Index];
    TFoldStep step = TFoldStep::Next;
    switch (term.Role) {
      case TermRole::Operand:
        step = FoldOperand(t);
        break;
      case TermRole::Sign:
        if (values_.empty()) {
          step = TFoldStep::MissingOperand;
        } else if (t.Text == "-") {
          values_.back().Number = -values_.back().Number;
        }
        break;
      case TermRole::Binary:
        step = FoldBinary(t);
        break;
      case TermRole::Group:
        break;  // groups never reach the output
    }
    if (step != TFoldStep::Next) {
      return step;
    }
  }
  return TFoldStep::Next;
}

TConstEvaluator::TFoldStep TConstEvaluator::FoldOperand(const TToken& t) {
  if (t.Kind == IntConst || t.Kind == RealConst) {
    values_.push_back({t.Value, t.Kind == IntConst});
  } else if (t.Var != nullptr && t.Var->HasValue) {
    values_.push_back({t.Var->Value, t.Var->Type == ValType::Int});
  } else {
    return TFoldStep::Unknown;
  }
  return TFoldStep::Next;
}

// The result is an integer, truncated towards zero, when both operands are;
// an operator that does not fold (a comparison, .and., //) keeps the left
// operand.
TConstEvaluator::TFoldStep TConstEvaluator::FoldBinary(const TToken& op) {
  if (values_.size() < 2) {
    return TFoldStep::MissingOperand;
  }
  TValue right = values_.back();
  values_.pop_back();
  TValue& left = values_.back();
  bool integer = left.Integer && right.Integer;
  double result = left.Number;
  if (op.Text == "+") {
    result = left.Number + right.Number;
  } else if (op.Text == "-") {
    result = left.Number - right.Number;
  } else if (op.Text == "*") {
    result = left.Number * right.Number;
  } else if (op.Text == "/") {
    if (right.Number == 0) {
      return TFoldStep::Unknown;
    }
    result = left.Number / right.Number;
  } else if (op.Text == "**") {
    result = std::pow(left.Number, right.Number);
  } else {
    integer = left.Integer;
  }
  if (integer && std::isfinite(result)) {
    result = std::trunc(result);
  }
  left = {result, integer};
  return TFoldStep::Next;
}
