// Pass 2: walks the lexed statements once, builds the variable table, stamps
// every record with its scope counters, links names to their variables,
// marks how each occurrence is used and folds constant expressions (for
// PARAMETER values and array bounds).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "frontend/token.h"
#include "frontend/variable.h"
#include "platform/reporter.h"

class TDeclarationAnalyser {
 public:
  TDeclarationAnalyser(TTokenList& list, TValList& vars, TReporter& reporter);

  // Analyses every statement from index 1 to the next-to-last record.
  void Run();

  // Reads the expression that starts at record first, scanning no further
  // than record last, marks the names it reads and folds it. Returns the
  // number of records that belong to the expression, or -1 when an operator
  // lacked operands.
  int32_t ConstEval(int32_t first, int32_t last, double& value, bool& known);

 private:
  struct TPostfixItem {
    int32_t Index;
    char Role;  // 'v' operand, 'u' sign, 'b' binary operator, '(' group
  };

  // What the attribute part of a declaration says of its entities.
  struct TTypePart {
    bool IsInt = false;
    bool IsReal = false;
    bool IsChar = false;
    bool IsLogic = false;
    bool IsComplex = false;
    bool IsParameter = false;
    bool DimensionAttribute = false;
    bool TypeKeyword = false;
    int32_t KindLen = 0;
    int32_t Entities = -1;  // first record of the entity list
    std::vector<int32_t> Lower;
    std::vector<int32_t> Extents;
  };

  struct TDeclaredEntity {
    int32_t DimStart = -1;
    int32_t DimEnd = -1;
    std::vector<int32_t> Lower;
    std::vector<int32_t> Extents;
    bool HasValue = false;
    double Value = 0.0;
  };

  struct TImplicitRule {
    ValType Type;
    std::string Text;  // type text of the rule, empty for the default rule
  };

  void ResetImplicitTable();
  void AnalyseStatement(int32_t a, int32_t b);
  void AnalyseAction(int32_t i, int32_t b, int32_t kind);
  void AnalyseAssignment(int32_t i, int32_t b);
  void AnalyseDo(int32_t i, int32_t b);
  void AnalyseLoopParameters(int32_t i, int32_t b);
  void AnalyseCall(int32_t i, int32_t b);
  void AnalyseHeader(int32_t i, int32_t b);
  void AnalyseDeclaration(int32_t i, int32_t b);
  void AnalyseTypedFunction(int32_t i, int32_t function, int32_t b);
  void ReadTypePart(int32_t i, int32_t b, int32_t doubleColon, TTypePart& part);
  void DeclareEntities(int32_t i, int32_t b, const TTypePart& part);
  void Declare(int32_t i, int32_t n, const TTypePart& part, TDeclaredEntity& entity);
  void AnalyseImplicit(int32_t i, int32_t b);
  void AnalyseRead(int32_t i, int32_t b);
  bool AnalyseWordStatement(int32_t i, int32_t b);
  int32_t AnalyseCondition(int32_t i, int32_t b);
  void EndUnit();
  void EndBlock();
  int32_t ReadDimensions(int32_t i, int32_t b, std::vector<int32_t>& lower,
                         std::vector<int32_t>& extents);
  int32_t StepArguments(int32_t i, int32_t b);
  void MarkNamesRead(int32_t from, int32_t b);
  void MarkRead(int32_t r, TValData* var);
  void ReportStatementError(int32_t index, const std::string& message);

  TValData* Find(const std::string& name);
  TValData* FindOrCreate(const std::string& name);
  TValData* Create(const std::string& name);
  bool IsNameRecord(int32_t r) const;
  bool TextIs(int32_t r, const char* upper) const;
  int32_t KindAt(int32_t r) const;
  int32_t MatchParen(int32_t open, int32_t b) const;

  TTokenList& list_;
  TValList& vars_;
  TReporter& reporter_;
  std::unordered_map<std::string, TValData*> index_;  // upper name + unit
  std::vector<TValData*> unitVars_;  // the variables of the current unit
  std::array<TImplicitRule, 256> implicit_;
  int32_t unit_ = 0;
  int32_t unitDepth_ = 0;
  int32_t blockDepth_ = 0;
  std::vector<int32_t> endDo_;  // matching ENDDO of each DO record, or -1
  // Work lists of ConstEval, kept between calls to spare allocations.
  std::vector<TPostfixItem> postfix_;
  std::vector<TPostfixItem> ops_;
  std::vector<std::pair<double, bool>> values_;
};

// Pass 2 over the whole record list.
void AnalyseDeclarations(TTokenList& list, TValList& vars, TReporter& reporter);

// What the END record at index i closes: a program unit, a type or
// interface definition, a SELECT block, or another block construct (where,
// forall, associate, block, critical, enum).
enum TEndKind { EndsUnit, EndsDefinition, EndsSelect, EndsBlock };
TEndKind ClassifyEnd(const TTokenList& list, int32_t i);

// True when the text is a Fortran name: a letter, then letters, digits and
// underscores.
bool IsFortranName(const std::string& text);

// Converts a folded value to an int32, truncating; out-of-range values
// saturate and NaN gives 0.
int32_t SaturatingInt(double value);
