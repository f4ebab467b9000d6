// The analyser of Pass 2, implemented in two files: statement_analysis.cc
// walks the statements, keeps the scope counters and marks how every name
// is used; declarations.cc reads headers, declarations and IMPLICIT rules.
// Only the front end includes this header; other passes call
// AnalyseDeclarations (declarations.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "frontend/const_eval.h"
#include "frontend/name_table.h"
#include "frontend/token.h"
#include "frontend/variable.h"
#include "platform/reporter.h"

// INTEGER, REAL, DOUBLE PRECISION, CHARACTER, LOGICAL or COMPLEX.
inline bool IsTypeKeyword(int32_t kind) {
  return kind == KwInteger || kind == KwReal || kind == KwDoublePrecision || kind == KwCharacter ||
         kind == KwLogical || kind == KwComplex;
}

class TDeclarationAnalyser {
 public:
  TDeclarationAnalyser(TTokenList& list, TValList& vars, TReporter& reporter);

  // Analyses every statement from index 1 to the next-to-last record.
  void Run();

 private:
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

  // The name written by an assignment or a DO, up to its "=".
  struct TTarget {
    TValData* Var = nullptr;  // none when the target is no name
    int32_t ReadBefore = 0;   // the variable's ReadCount before the statement
    int32_t Assign = -1;      // the "=" after the name and its subscripts, -1 when missing
  };

  // The statement walk and the access marks (statement_analysis.cc).
  void FindEndDos();
  void AnalyseStatement(int32_t a, int32_t b);
  bool IsKeywordAssignment(int32_t i, int32_t b) const;
  bool AnalyseScopeStatement(int32_t i, int32_t b);
  bool AnalyseBlockStatement(int32_t i, int32_t b);
  void AnalyseOtherStatement(int32_t i, int32_t b);
  void AnalyseAction(int32_t i, int32_t b);
  bool AnalyseWordStatement(int32_t i, int32_t b);
  void AnalysePrefixedStatement(int32_t i, int32_t b);
  void EndUnit();
  void EndBlock() { --blockDepth_; }

  void AnalyseAssignment(int32_t i, int32_t b);
  void AnalyseDo(int32_t i, int32_t b);
  TTarget AnalyseTarget(int32_t t, int32_t b, bool isName, bool sections);
  void MarkTargetAccess(int32_t t, const TTarget& target);
  TValData* MarkWritten(int32_t r);
  void AnalyseLoopParameters(int32_t i, int32_t b);
  int32_t StepArguments(int32_t i, int32_t b);
  void AnalyseCall(int32_t i, int32_t b);
  int32_t AnalyseCondition(int32_t i, int32_t b);
  void AnalyseRead(int32_t i, int32_t b);
  void MarkNamesRead(int32_t from, int32_t b);
  int32_t ConstEval(int32_t first, int32_t last, double& value, bool& known) {
    return evaluator_.ConstEval(first, last, value, known);
  }

  // Headers, declarations and IMPLICIT rules (declarations.cc).
  void AnalyseHeader(int32_t i, int32_t b);
  void AnalyseDeclaration(int32_t i, int32_t b);
  void AnalyseTypedFunction(int32_t i, int32_t function, int32_t b);
  void ReadTypePart(int32_t i, int32_t b, int32_t doubleColon, TTypePart& part);
  bool ReadAttributeKeyword(int32_t kind, TTypePart& part);
  int32_t ReadDimensionAttribute(int32_t r, int32_t b, TTypePart& part);
  int32_t ReadTypeParameter(int32_t i, int32_t r, int32_t b, TTypePart& part);
  int32_t ReadStarLength(int32_t r, TTypePart& part);
  void DeclareEntities(int32_t i, int32_t b, const TTypePart& part);
  int32_t ReadEntityValue(int32_t r, int32_t b, const TTypePart& part, TDeclaredEntity& entity);
  static ValType DeclaredType(const TTypePart& part, ValType implicit);
  void Declare(int32_t i, int32_t n, const TTypePart& part, TDeclaredEntity& entity);
  int32_t ReadDimensions(int32_t i, int32_t b, std::vector<int32_t>& lower,
                         std::vector<int32_t>& extents);
  int32_t ReadBounds(int32_t r, int32_t b, std::vector<int32_t>& lower,
                     std::vector<int32_t>& extents);

  void AnalyseImplicit(int32_t i, int32_t b);
  int32_t FindImplicitRuleEnd(int32_t r, int32_t b, int32_t& letters) const;
  ValType ImplicitRuleType(int32_t typeStart) const;
  std::string ImplicitRuleText(int32_t typeStart, int32_t letters) const;
  void SetImplicitLetters(int32_t letters, int32_t ruleEnd, const TNameTable::TImplicitRule& rule);

  // Bounds-checked looks at the records: an index out of the list reads as
  // a Sentinel record.
  bool IsNameRecord(int32_t r) const;
  bool TextIs(int32_t r, const char* upper) const;
  int32_t KindAt(int32_t r) const;
  int32_t MatchParen(int32_t open, int32_t b) const;

  TTokenList& list_;
  TReporter& reporter_;
  TNameTable names_;
  TConstEvaluator evaluator_;
  int32_t unitDepth_ = 0;
  int32_t blockDepth_ = 0;
  std::vector<int32_t> endDo_;  // matching ENDDO of each DO record, or -1
};
