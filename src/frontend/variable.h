// The variable table: one record per variable name and program unit, with
// its type, kind or length, dimensions, PARAMETER value and the position of
// its declaration among the statement records.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

enum class ValType : int8_t {
  None = -1,
  Int = 0,
  Real = 1,
  Char = 2,
  Logic = 3,
  Complex = 4,
  // Names first met as function references, typed by the implicit rules.
  IntFunc = 5,
  RealFunc = 6,
  CharFunc = 7,
  LogicFunc = 8,
  ComplexFunc = 9,
};

// The function-reference type of a plain type (Int gives IntFunc); other
// types are returned unchanged.
ValType FunctionType(ValType type);

// True for the function-reference types.
bool IsFunctionType(ValType type);

class TValData {
 public:
  explicit TValData(std::string name) : Name(std::move(name)) {}

  std::string Name;
  bool HasValue = false;
  bool IsArray = false;
  bool IsArgument = false;
  int32_t Unit = 0;
  ValType Type = ValType::None;
  int32_t KindLen = 0;
  int32_t TypeStart = -1;
  int32_t TypeEnd = -1;
  int32_t DeclIndex = -1;
  int32_t DimStart = -1;
  int32_t DimEnd = -1;
  int32_t ReadCount = 0;
  int32_t WriteCount = 0;
  double Value = 0.0;
  int32_t DimCount = 0;
  std::vector<int32_t> LowerBounds;
  std::vector<int32_t> Extents;
  uint32_t LoopMask = 0;
  uint32_t DependMask = 0;
  uint32_t BoundMask = 0;

  // The type text of the IMPLICIT rule that typed the variable's first
  // letter when it was first met ("real*8", "double precision"); empty under
  // the default rule (integer for I to N, real otherwise).
  std::string ImplicitType;
  // A named constant: PARAMETER statement or attribute.
  bool IsParameter = false;
  // A type keyword in its declaration gave its type (not only DIMENSION or
  // PARAMETER).
  bool TypeDeclared = false;
};

using TValList = std::vector<std::unique_ptr<TValData>>;

// The type word of a ValType ("Int", "RealFunc", ...).
std::string ValTypeName(ValType type);

// One line per variable with every field that matters to later passes.
std::string Dump(const TValData& var);
