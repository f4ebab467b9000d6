// Constant folding of Pass 2: reads an expression of the record list into
// postfix order, marking every name it reads, and folds it to a value when
// its operands are constants or names with a known PARAMETER value. Gives
// PARAMETER values and array bounds.
#pragma once

#include <cstdint>
#include <vector>

#include "frontend/name_table.h"
#include "frontend/token.h"

// What a term of an expression in postfix order is.
enum class TermRole : uint8_t {
  Operand,  // a constant or a name
  Sign,     // a unary operator
  Binary,   // an operator between two operands
  Group,    // an open "(", on the operator stack only
};

class TConstEvaluator {
 public:
  // Names read are found in, or added to, names.
  TConstEvaluator(TTokenList& list, TNameTable& names);

  // Reads the expression that starts at record first, scanning no further
  // than record last, marks the names it reads and folds it. Returns the
  // number of records that belong to the expression, or -1 when an operator
  // lacked operands; known tells whether value holds the folded value.
  int32_t ConstEval(int32_t first, int32_t last, double& value, bool& known);

 private:
  struct TTerm {
    int32_t Index;
    TermRole Role;
  };
  struct TValue {
    double Number;
    bool Integer;
  };
  enum class TFoldStep { Next, Unknown, MissingOperand };

  int32_t ReadPostfix(int32_t first, int32_t last);
  void ReadName(int32_t r, bool& component);
  void ReadOperator(int32_t r, int32_t first);
  void CloseGroup();
  TFoldStep Fold();
  TFoldStep FoldOperand(const TToken& t);
  TFoldStep FoldBinary(const TToken& op);

  TTokenList& list_;
  TNameTable& names_;
  // Work lists, kept between calls to spare allocations.
  std::vector<TTerm> postfix_;
  std::vector<TTerm> ops_;
  std::vector<TValue> values_;
};
