// Declaration analysis: scope counters, the variable table and the access
// marks of every statement; constant folding is in const_eval.cc.
#include "frontend/declarations.h"

#include <cmath>
#include <limits>
#include <unordered_map>
#include <vector>

#include "frontend/const_eval.h"
#include "frontend/frontend_messages.h"
#include "frontend/name_table.h"
#include "frontend/text.h"

namespace {

// Dimensions read from one dimension list at the most.
constexpr size_t kMaxDimensions = 100;

bool IsTypeKeyword(int32_t kind) {
  return kind == KwInteger || kind == KwReal || kind == KwDoublePrecision ||
         kind == KwCharacter || kind == KwLogical || kind == KwComplex;
}

// What a statement that begins with a word the lexer does not know as a
// keyword (end select written as one word, recursive subroutine, forall,
// ...) does; Assignment for every other word.
enum class TWordStatement {
  Assignment,
  EndsSelect,
  EndsDefinition,
  EndsUnit,
  OpensUnit,
  Block,              // a block construct, or BLOCK DATA written as two words
  AbstractInterface,  // an interface when INTERFACE follows
  Prefix,             // RECURSIVE, PURE, ...: a header or a typed function follows
  Entry,
  OpensSelect,
  Class,  // class(t) :: x declares a variable
  ReadsNames,
  Nothing,
};

TWordStatement ClassifyWord(const std::string& upper) {
  static const std::unordered_map<std::string, TWordStatement> kWords = [] {
    std::unordered_map<std::string, TWordStatement> words;
    auto add = [&words](TWordStatement kind, std::initializer_list<const char*> list) {
      for (const char* word : list) {
        words[word] = kind;
      }
    };
    add(TWordStatement::EndsSelect, {"ENDSELECT"});
    add(TWordStatement::EndsDefinition, {"ENDTYPE", "ENDINTERFACE"});
    add(TWordStatement::EndsUnit, {"ENDMODULE", "ENDSUBROUTINE", "ENDFUNCTION", "ENDPROGRAM",
                                   "ENDBLOCKDATA", "ENDSUBMODULE", "ENDPROCEDURE"});
    add(TWordStatement::OpensUnit, {"BLOCKDATA", "SUBMODULE"});
    add(TWordStatement::Block, {"BLOCK"});
    add(TWordStatement::AbstractInterface, {"ABSTRACT"});
    add(TWordStatement::Prefix, {"RECURSIVE", "PURE", "ELEMENTAL", "IMPURE", "NON_RECURSIVE"});
    add(TWordStatement::Entry, {"ENTRY"});
    add(TWordStatement::OpensSelect, {"SELECTCASE", "SELECTTYPE"});
    add(TWordStatement::Class, {"CLASS"});
    add(TWordStatement::ReadsNames, {"FORALL", "ASSOCIATE", "ERROR", "FLUSH", "WAIT", "PAUSE"});
    add(TWordStatement::Nothing,
        {"ENDWHERE", "ENDFORALL", "ENDASSOCIATE", "ENDBLOCK", "ENDENUM", "ENDCRITICAL",
         "ELSEWHERE", "SEQUENCE", "EQUIVALENCE", "PROCEDURE", "IMPORT", "GENERIC", "FINAL", "ENUM",
         "ENUMERATOR", "PROTECTED", "VALUE", "VOLATILE", "ASYNCHRONOUS", "CONTIGUOUS",
         "CRITICAL"});
    return words;
  }();
  auto found = kWords.find(upper);
  return found == kWords.end() ? TWordStatement::Assignment : found->second;
}

// The type a type keyword gives; None for any other record kind.
ValType TypeOfKeyword(int32_t kind) {
  switch (kind) {
    case KwInteger:
      return ValType::Int;
    case KwReal:
    case KwDoublePrecision:
      return ValType::Real;
    case KwCharacter:
      return ValType::Char;
    case KwLogical:
      return ValType::Logic;
    case KwComplex:
      return ValType::Complex;
    default:
      return ValType::None;
  }
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

TDeclarationAnalyser::TDeclarationAnalyser(TTokenList& list, TValList& vars,
                                           TReporter& reporter)
    : list_(list), reporter_(reporter), names_(vars), evaluator_(list, names_) {}

void TDeclarationAnalyser::Run() {
  names_.Reserve(list_.size() / 8);
  FindEndDos();
  // Every record of a statement carries the counters from before the
  // statement's own effect.
  const int32_t size = static_cast<int32_t>(list_.size());
  int32_t a = 1;
  for (int32_t b = 1; b < size - 1; ++b) {
    if (list_[b]->Kind != EndOfStatement) {
      continue;
    }
    for (int32_t r = a; r <= b; ++r) {
      list_[r]->Unit = names_.Unit();
      list_[r]->UnitDepth = unitDepth_;
      list_[r]->BlockDepth = blockDepth_;
    }
    AnalyseStatement(a, b);
    a = b + 1;
  }
}

// The ENDDO of every DO, found in one pass; DO WHILE loops nest too, so
// that their ENDDO is not taken for the end of an enclosing DO.
void TDeclarationAnalyser::FindEndDos() {
  const int32_t size = static_cast<int32_t>(list_.size());
  endDo_.assign(list_.size(), -1);
  std::vector<int32_t> open;
  for (int32_t r = 0; r < size; ++r) {
    int32_t kind = list_[r]->Kind;
    if (kind == KwDo || kind == KwDoWhile) {
      open.push_back(r);
    } else if (kind == KwEndDo && !open.empty()) {
      endDo_[open.back()] = r;
      open.pop_back();
    }
  }
}

void TDeclarationAnalyser::AnalyseStatement(int32_t a, int32_t b) {
  int32_t i = a;
  if (KindAt(i) == Label) {
    ++i;
  }
  if (i >= b) {
    return;
  }
  if (IsKeywordAssignment(i, b)) {
    AnalyseAssignment(i, b);
    return;
  }
  if (AnalyseScopeStatement(i, b) || AnalyseBlockStatement(i, b)) {
    return;
  }
  AnalyseOtherStatement(i, b);
}

// A keyword used as a variable name: type = 1, data(i) = 2.
bool TDeclarationAnalyser::IsKeywordAssignment(int32_t i, int32_t b) const {
  int32_t kind = KindAt(i);
  if (kind < KwProgram || kind > KwParameter || kind == KwDo || !IsFortranName(list_[i]->Text)) {
    return false;
  }
  int32_t next = i + 1;
  if (KindAt(next) == LParen) {
    next = MatchParen(next, b) + 1;
  }
  return KindAt(next) == Assign;
}

// Statements that open or close a program unit or a definition; false for
// any other statement.
bool TDeclarationAnalyser::AnalyseScopeStatement(int32_t i, int32_t b) {
  switch (KindAt(i)) {
    case KwType:
      // type(point) :: p declares a variable; "type is" guards a SELECT TYPE
      // block; anything else opens a type definition.
      if (KindAt(i + 1) == LParen) {
        AnalyseDeclaration(i, b);
      } else if (!TextIs(i + 1, "IS")) {
        ++unitDepth_;
      }
      return true;
    case KwProgram:
    case KwInterface:
      ++unitDepth_;
      return true;
    case KwModule:
      if (!TextIs(i + 1, "PROCEDURE")) {
        ++unitDepth_;
      }
      return true;
    case KwSubroutine:
    case KwFunction:
      AnalyseHeader(i, b);
      ++unitDepth_;
      return true;
    case KwEnd:
      switch (ClassifyEnd(list_, i)) {
        case EndsSelect:
          EndBlock();
          break;
        case EndsDefinition:
          --unitDepth_;
          break;
        case EndsBlock:
          break;  // a block construct opened no unit
        case EndsUnit:
          EndUnit();
          break;
      }
      return true;
    default:
      return false;
  }
}

// Statements that open or close a block; false for any other statement.
bool TDeclarationAnalyser::AnalyseBlockStatement(int32_t i, int32_t b) {
  switch (KindAt(i)) {
    case KwDo:
      AnalyseDo(i, b);
      return true;
    case KwDoWhile:
    case KwSelect:
      ++blockDepth_;
      MarkNamesRead(i + 1, b);
      return true;
    case KwIf: {
      int32_t action = AnalyseCondition(i, b);
      if (action < b && KindAt(action) != KwThen) {
        AnalyseAction(action, b);
      }
      ++blockDepth_;
      return true;
    }
    case KwWhere: {
      int32_t action = AnalyseCondition(i, b);
      if (action < b) {
        AnalyseAction(action, b);
      }
      return true;
    }
    case KwElseIf:
      MarkNamesRead(i + 1, b);
      return true;
    case KwCase:
      if (KindAt(i + 1) == LParen) {
        MarkNamesRead(i + 1, b);
      }
      return true;
    case KwEndDo:
    case KwEndIf:
      EndBlock();
      return true;
    default:
      return false;
  }
}

void TDeclarationAnalyser::AnalyseOtherStatement(int32_t i, int32_t b) {
  switch (KindAt(i)) {
    case KwInteger:
    case KwReal:
    case KwDoublePrecision:
    case KwCharacter:
    case KwLogical:
    case KwComplex:
    case KwDimension:
    case KwParameter:
      AnalyseDeclaration(i, b);
      break;
    case KwImplicit:
      AnalyseImplicit(i, b);
      break;
    case KwCall:
      AnalyseCall(i, b);
      break;
    case KwRead:
      AnalyseRead(i, b);
      break;
    case KwPrint:
    case KwWrite:
    case KwAllocate:
    case KwDeallocate:
    case KwNullify:
    case KwReturn:
    case KwStop:
    case KwGoto:
    case KwOpen:
    case KwClose:
    case KwInquire:
    case KwBackspace:
    case KwRewind:
    case KwEndFile:
      MarkNamesRead(i + 1, b);
      break;
    case Word:
      if (!AnalyseWordStatement(i, b)) {
        AnalyseAssignment(i, b);
      }
      break;
    default:
      break;
  }
}

// The statement after a logical IF or WHERE condition, analysed like a
// statement of its own.
void TDeclarationAnalyser::AnalyseAction(int32_t i, int32_t b) {
  switch (KindAt(i)) {
    case Word:
      AnalyseAssignment(i, b);
      break;
    case KwCall:
      AnalyseCall(i, b);
      break;
    case KwRead:
      AnalyseRead(i, b);
      break;
    default:
      MarkNamesRead(i, b);
      break;
  }
}

void TDeclarationAnalyser::EndUnit() {
  --unitDepth_;
  // A main program without a PROGRAM statement ends below zero; it still
  // ends a unit, so that the units after it get numbers of their own.
  if (unitDepth_ <= 0) {
    unitDepth_ = 0;
    names_.NextUnit();
    blockDepth_ = 0;
  }
}

// A statement that begins with a word the lexer does not know as a keyword.
// Returns false for an assignment.
bool TDeclarationAnalyser::AnalyseWordStatement(int32_t i, int32_t b) {
  int32_t next = i + 1;
  if (KindAt(next) == LParen) {
    next = MatchParen(next, b) + 1;
  }
  if (KindAt(next) == Assign) {
    return false;
  }
  switch (ClassifyWord(UpperAscii(list_[i]->Text))) {
    case TWordStatement::Assignment:
      return false;
    case TWordStatement::EndsSelect:
      EndBlock();
      break;
    case TWordStatement::EndsDefinition:
      --unitDepth_;
      break;
    case TWordStatement::EndsUnit:
      EndUnit();
      break;
    case TWordStatement::OpensUnit:
      ++unitDepth_;
      break;
    case TWordStatement::Block:
      if (TextIs(i + 1, "DATA")) {
        ++unitDepth_;
      }
      break;
    case TWordStatement::AbstractInterface:
      if (KindAt(i + 1) == KwInterface) {
        ++unitDepth_;
      }
      break;
    case TWordStatement::Prefix:
      AnalysePrefixedStatement(i, b);
      break;
    case TWordStatement::Entry:
      AnalyseHeader(i + 1, b);
      break;
    case TWordStatement::OpensSelect:
      ++blockDepth_;
      MarkNamesRead(i + 1, b);
      break;
    case TWordStatement::Class:
      if (KindAt(i + 1) == LParen) {
        AnalyseDeclaration(i, b);
      }
      break;
    case TWordStatement::ReadsNames:
      MarkNamesRead(i + 1, b);
      break;
    case TWordStatement::Nothing:
      break;
  }
  return true;
}

// recursive subroutine s, pure real function f: the header or the typed
// function after the prefixes.
void TDeclarationAnalyser::AnalysePrefixedStatement(int32_t i, int32_t b) {
  for (int32_t r = i + 1; r < b; ++r) {
    int32_t kind = KindAt(r);
    if (kind == KwSubroutine || kind == KwFunction) {
      AnalyseHeader(r, b);
      ++unitDepth_;
      return;
    }
    if (IsTypeKeyword(kind)) {
      AnalyseDeclaration(r, b);
      return;
    }
  }
}

void TDeclarationAnalyser::AnalyseAssignment(int32_t i, int32_t b) {
  TTarget target = AnalyseTarget(i, b, IsFortranName(list_[i]->Text), true);
  if (target.Assign < 0) {
    ReportStatementError(list_, i, frontend_messages::NoAssign(), reporter_);
    return;
  }
  double value = 0;
  bool known = false;
  ConstEval(target.Assign + 1, b, value, known);
  MarkNamesRead(i + 1, b);
  MarkTargetAccess(i, target);
}

void TDeclarationAnalyser::AnalyseDo(int32_t i, int32_t b) {
  ++blockDepth_;
  list_[i]->EndDoIndex = endDo_[i];
  int32_t l = i + 1;
  if (KindAt(l) == EndOfStatement) {
    return;  // DO without loop control
  }
  if (TextIs(l, "CONCURRENT")) {
    MarkNamesRead(l + 1, b);
    return;
  }
  TTarget target = AnalyseTarget(l, b, IsNameRecord(l), false);
  if (target.Assign < 0) {
    ReportStatementError(list_, i, frontend_messages::NoAssign(), reporter_);
    return;
  }
  AnalyseLoopParameters(target.Assign + 1, b);
  MarkNamesRead(l + 1, b);
  MarkTargetAccess(l, target);
}

// The record at t, when it is a name, is written; the subscripts after it
// are read. With sections an array section or substring (a(1:n) = 0) is
// stepped over up to its ")".
TDeclarationAnalyser::TTarget TDeclarationAnalyser::AnalyseTarget(int32_t t, int32_t b,
                                                                  bool isName, bool sections) {
  TTarget target;
  if (isName) {
    target.Var = MarkWritten(t);
    target.ReadBefore = target.Var->ReadCount;
  }
  int32_t r = t + 1;
  if (KindAt(r) == LParen) {
    if (target.Var != nullptr) {
      target.Var->IsArray = true;
    }
    r = StepArguments(r + 1, b);
    if (sections && KindAt(r) != RParen) {
      r = MatchParen(t + 1, b);
    }
    if (KindAt(r) == RParen) {
      ++r;
    }
  }
  if (KindAt(r) == Assign) {
    target.Assign = r;
  }
  return target;
}

// A target whose variable the statement also read (x = x + 1) is read and
// written.
void TDeclarationAnalyser::MarkTargetAccess(int32_t t, const TTarget& target) {
  if (target.Var != nullptr) {
    list_[t]->Access =
        target.Var->ReadCount != target.ReadBefore ? AccessKind::ReadWrite : AccessKind::Write;
  }
}

// Links the name record at r to its variable and counts a write of it.
TValData* TDeclarationAnalyser::MarkWritten(int32_t r) {
  TValData* var = names_.FindOrCreate(list_[r]->Text);
  list_[r]->Var = var;
  ++var->WriteCount;
  return var;
}

void TDeclarationAnalyser::AnalyseLoopParameters(int32_t r, int32_t b) {
  while (r < b) {
    double value = 0;
    bool known = false;
    int32_t count = ConstEval(r, b, value, known);
    if (count < 1) {
      return;
    }
    r += count;
    if (KindAt(r) == Comma) {
      ++r;
    }
    if (KindAt(r) == RParen) {
      return;
    }
  }
}

// Subscripts or arguments after a "(": one expression after another, each
// followed by an optional ","; stops at ")" or where nothing is consumed.
int32_t TDeclarationAnalyser::StepArguments(int32_t r, int32_t b) {
  while (r < b && KindAt(r) != RParen) {
    double value = 0;
    bool known = false;
    int32_t count = ConstEval(r, b, value, known);
    if (count < 1) {
      return r;
    }
    r += count;
    if (KindAt(r) == Comma) {
      ++r;
    }
  }
  return r;
}

void TDeclarationAnalyser::AnalyseCall(int32_t i, int32_t b) {
  int32_t r = i + 2;
  if (KindAt(r) == LParen) {
    StepArguments(r + 1, b);
  }
  MarkNamesRead(i + 2, b);
}

// The condition of an IF or WHERE; returns the record after it.
int32_t TDeclarationAnalyser::AnalyseCondition(int32_t i, int32_t b) {
  int32_t open = i + 1;
  double value = 0;
  bool known = false;
  if (KindAt(open) != LParen) {
    ConstEval(open, b, value, known);
    MarkNamesRead(open, b);
    return b;
  }
  int32_t close = MatchParen(open, b);
  ConstEval(open, close, value, known);
  MarkNamesRead(open, close);
  return close + 1;
}

// READ: the items read are written; names in the control list and in
// subscripts are read.
void TDeclarationAnalyser::AnalyseRead(int32_t i, int32_t b) {
  int32_t r = i + 1;
  if (KindAt(r) == LParen) {
    int32_t close = MatchParen(r, b);
    MarkNamesRead(r + 1, close);
    r = close + 1;
  } else {
    while (r < b && KindAt(r) != Comma) {
      ++r;
    }
    MarkNamesRead(i + 1, r);
  }
  // One level per open "(": subscripts, or an implied DO whose bounds
  // follow its "k =".
  struct TLevel {
    bool Subscript;
    bool Bounds;
  };
  std::vector<TLevel> levels;
  for (; r < b; ++r) {
    int32_t kind = KindAt(r);
    if (kind == LParen) {
      bool subscript = IsNameRecord(r - 1) || (!levels.empty() && levels.back().Subscript);
      levels.push_back({subscript, false});
      continue;
    }
    if (kind == RParen) {
      if (!levels.empty()) {
        levels.pop_back();
      }
      continue;
    }
    if (!IsNameRecord(r) || list_[r]->Var != nullptr || TextIs(r - 1, "%")) {
      continue;
    }
    if (!levels.empty() && (levels.back().Subscript || levels.back().Bounds)) {
      MarkNamesRead(r, r + 1);
      continue;
    }
    if (KindAt(r + 1) == Assign && !levels.empty()) {
      levels.back().Bounds = true;
    }
    MarkWritten(r);
    list_[r]->Access = AccessKind::Write;
  }
}

// Every name of the range that no analysis has marked yet counts as read:
// names of output lists, conditions, and the rest of an expression that
// ended early. A name after "%" is a component, and a name followed by "="
// is a keyword of an argument or specifier list.
void TDeclarationAnalyser::MarkNamesRead(int32_t from, int32_t b) {
  for (int32_t r = from; r < b; ++r) {
    if (!IsNameRecord(r) || list_[r]->Var != nullptr) {
      continue;
    }
    if (TextIs(r - 1, "%") || KindAt(r + 1) == Assign) {
      continue;
    }
    names_.MarkRead(*list_[r], KindAt(r + 1) == LParen);
  }
}

void TDeclarationAnalyser::AnalyseHeader(int32_t i, int32_t b) {
  for (int32_t r = i; r < b; ++r) {
    if (KindAt(r) != Word || !IsFortranName(list_[r]->Text)) {
      continue;
    }
    if (TextIs(r, "BIND") && KindAt(r + 1) == LParen) {
      r = MatchParen(r + 1, b);
      continue;
    }
    if (TextIs(r, "RESULT") && KindAt(r + 1) == LParen) {
      continue;
    }
    names_.FindOrCreate(list_[r]->Text)->IsArgument = true;
  }
}

void TDeclarationAnalyser::AnalyseDeclaration(int32_t i, int32_t b) {
  int32_t doubleColon = -1;
  for (int32_t r = i, depth = 0; r < b; ++r) {
    int32_t kind = KindAt(r);
    if (kind == LParen) {
      ++depth;
    }
    if (kind == RParen) {
      --depth;
    }
    if (kind == DoubleColon && depth == 0) {
      doubleColon = r;
      break;
    }
    if (kind == KwFunction && depth == 0) {
      AnalyseTypedFunction(i, r, b);
      return;
    }
  }
  TTypePart part;
  ReadTypePart(i, b, doubleColon, part);
  if (part.Entities >= 0) {
    DeclareEntities(i, b, part);
  }
}

// real*8 function f(x): a function header after its type.
void TDeclarationAnalyser::AnalyseTypedFunction(int32_t i, int32_t function, int32_t b) {
  AnalyseHeader(function, b);
  int32_t kind = KindAt(i);
  if (IsNameRecord(function + 1) && IsTypeKeyword(kind)) {
    TValData* var = names_.FindOrCreate(list_[function + 1]->Text);
    var->Type = TypeOfKeyword(kind);
    var->TypeDeclared = true;
  }
  ++unitDepth_;
}

// The attribute part of a declaration: type keywords, kind or length,
// PARAMETER, DIMENSION(...) and, before "::", any other attribute. Ends
// where the entity list starts.
void TDeclarationAnalyser::ReadTypePart(int32_t i, int32_t b, int32_t doubleColon,
                                        TTypePart& part) {
  int32_t r = i;
  while (r < b && part.Entities < 0) {
    int32_t kind = KindAt(r);
    if (ReadAttributeKeyword(kind, part) || kind == Comma) {
      ++r;
    } else if (kind == KwDimension) {
      r = ReadDimensionAttribute(r, b, part);
    } else if (kind == LParen) {
      r = ReadTypeParameter(i, r, b, part);
    } else if (kind == DoubleColon) {
      part.Entities = r + 1;
    } else if (kind == Operator && TextIs(r, "*")) {
      r = ReadStarLength(r, part);
    } else if (kind != Operator && (r < doubleColon || r == i)) {
      // The word that opens the statement (type(t), class(t)) and other
      // attributes (intent, allocatable, save, ...) before "::".
      ++r;
    } else {
      part.Entities = r;
    }
  }
}

// A type keyword or PARAMETER; false for any other record kind.
bool TDeclarationAnalyser::ReadAttributeKeyword(int32_t kind, TTypePart& part) {
  switch (kind) {
    case KwInteger:
      part.IsInt = true;
      break;
    case KwReal:
    case KwDoublePrecision:
      part.IsReal = true;
      break;
    case KwCharacter:
      part.IsChar = true;
      break;
    case KwLogical:
      part.IsLogic = true;
      break;
    case KwComplex:
      part.IsComplex = true;
      break;
    case KwParameter:
      part.IsParameter = true;
      return true;
    default:
      return false;
  }
  part.TypeKeyword = true;
  return true;
}

// DIMENSION(...) as an attribute; a DIMENSION statement has its entity list
// right after the keyword.
int32_t TDeclarationAnalyser::ReadDimensionAttribute(int32_t r, int32_t b, TTypePart& part) {
  if (KindAt(r + 1) != LParen) {
    return r + 1;
  }
  part.DimensionAttribute = true;
  ReadDimensions(r + 2, b, part.Lower, part.Extents);
  return MatchParen(r + 1, b) + 1;
}

// A "(" in the attribute part: the entity list of PARAMETER (n = ...), the
// derived type of type(t) or class(t), or the kind or length of a type
// keyword. Returns the record after its ")".
int32_t TDeclarationAnalyser::ReadTypeParameter(int32_t i, int32_t r, int32_t b,
                                                TTypePart& part) {
  int32_t before = KindAt(r - 1);
  if (before == KwParameter && r - 1 == i) {
    part.Entities = r + 1;
    return r;
  }
  if (r - 1 == i && (before == KwType || TextIs(i, "CLASS"))) {
    part.TypeKeyword = true;  // a derived type, no kind to fold
  } else if (IsTypeKeyword(before) || TextIs(r - 1, "*")) {
    int32_t from = r + 1;
    if ((TextIs(from, "LEN") || TextIs(from, "KIND")) && KindAt(from + 1) == Assign) {
      from += 2;
    }
    double value = 0;
    bool known = false;
    ConstEval(from, b, value, known);
    part.KindLen = known ? SaturatingInt(value) : 0;
  }
  return MatchParen(r, b) + 1;
}

// real*8: the length after "*" when it is an integer constant.
int32_t TDeclarationAnalyser::ReadStarLength(int32_t r, TTypePart& part) {
  if (KindAt(r + 1) == IntConst) {
    part.KindLen = SaturatingInt(list_[r + 1]->Value);
    return r + 2;
  }
  return r + 1;
}

void TDeclarationAnalyser::DeclareEntities(int32_t i, int32_t b, const TTypePart& part) {
  int32_t r = part.Entities;
  while (r < b && IsNameRecord(r)) {
    int32_t n = r;
    TDeclaredEntity entity;
    ++r;
    if (KindAt(r) == LParen) {
      entity.DimStart = r;
      ReadDimensions(r + 1, b, entity.Lower, entity.Extents);
      entity.DimEnd = MatchParen(r, b) + 1;
      r = entity.DimEnd;
    }
    if (TextIs(r, "*")) {  // character s*10
      ++r;
      r = KindAt(r) == LParen ? MatchParen(r, b) + 1 : r + 1;
    }
    if (entity.DimStart < 0 && part.DimensionAttribute) {
      entity.Lower = part.Lower;
      entity.Extents = part.Extents;
    }
    r = ReadEntityValue(r, b, part, entity);
    Declare(i, n, part, entity);
    if (KindAt(r) == RParen) {
      ++r;
    }
    if (KindAt(r) != Comma) {
      break;
    }
    ++r;
  }
}

// The "=" after an entity: a PARAMETER value is folded; an initial value is
// skipped up to the next "," of the entity list. Returns the record after.
int32_t TDeclarationAnalyser::ReadEntityValue(int32_t r, int32_t b, const TTypePart& part,
                                              TDeclaredEntity& entity) {
  if (KindAt(r) == Assign && part.IsParameter) {
    bool known = false;
    int32_t count = ConstEval(r + 1, b, entity.Value, known);
    if (count > 0) {
      entity.HasValue = known;
      r += 1 + count;
    }
  }
  if (KindAt(r) == Assign) {
    for (int32_t depth = 0; r < b; ++r) {
      int32_t kind = KindAt(r);
      if (kind == LParen) {
        ++depth;
      }
      if (kind == RParen && depth-- == 0) {
        break;
      }
      if (kind == Comma && depth == 0) {
        break;
      }
    }
  }
  return r;
}

// The type the keywords of a declaration give, the last of them when a
// statement names several; the implicit type without one.
ValType TDeclarationAnalyser::DeclaredType(const TTypePart& part, ValType implicit) {
  return part.IsComplex ? ValType::Complex
         : part.IsLogic ? ValType::Logic
         : part.IsChar  ? ValType::Char
         : part.IsInt   ? ValType::Int
         : part.IsReal  ? ValType::Real
                        : implicit;
}

// Gives the variable of the name at n its declaration. A later statement
// completes an earlier one: dimensions given only by a DIMENSION statement,
// or a type given after DIMENSION or PARAMETER.
void TDeclarationAnalyser::Declare(int32_t i, int32_t n, const TTypePart& part,
                                   TDeclaredEntity& entity) {
  TValData* var = names_.FindOrCreate(list_[n]->Text);
  ValType type = DeclaredType(part, names_.ImplicitRule(list_[n]->Text[0]).Type);
  bool declared = var->DeclIndex != -1;
  if (!declared) {
    var->DeclIndex = n;
    var->DimStart = entity.DimStart;
    var->DimEnd = entity.DimEnd;
  }
  if (!declared || (!var->TypeDeclared && part.TypeKeyword)) {
    var->Type = type;
    var->TypeStart = i;
    var->TypeEnd = part.Entities;
    var->KindLen = part.KindLen;
    var->TypeDeclared = part.TypeKeyword;
  }
  if (var->DimCount == 0 && !entity.Lower.empty()) {
    if (declared) {
      var->DimStart = entity.DimStart;
      var->DimEnd = entity.DimEnd;
    }
    var->DimCount = static_cast<int32_t>(entity.Lower.size());
    var->LowerBounds = std::move(entity.Lower);
    var->Extents = std::move(entity.Extents);
    var->IsArray = true;
  }
  if (part.IsParameter) {
    var->IsParameter = true;
  }
  if (entity.HasValue) {
    var->HasValue = true;
    var->Value = entity.Value;
  }
}

// One dimension list after its "(": lower bound and extent per dimension
// (extent 0 when a bound does not fold). Deferred and assumed shapes (":"
// and "*") count as dimensions of unknown extent.
int32_t TDeclarationAnalyser::ReadDimensions(int32_t r, int32_t b, std::vector<int32_t>& lower,
                                             std::vector<int32_t>& extents) {
  while (r < b && lower.size() < kMaxDimensions) {
    bool leadingColon = KindAt(r) == Colon;
    if (leadingColon) {
      ++r;
    }
    int32_t kind = KindAt(r);
    bool assumed = TextIs(r, "*") && (KindAt(r + 1) == RParen || KindAt(r + 1) == Comma);
    if ((leadingColon && (kind == RParen || kind == Comma)) || assumed) {
      if (assumed) {
        ++r;
      }
      lower.push_back(1);
      extents.push_back(0);
    } else {
      int32_t next = ReadBounds(r, b, lower, extents);
      if (next < 0) {
        return r;
      }
      r = next;
    }
    if (KindAt(r) != Comma) {
      break;
    }
    ++r;
  }
  return r;
}

// The bounds of one dimension, "upper" or "lower:upper" (the upper bound
// may be "*"). Returns the record after them, or -1 when the first bound
// consumes nothing.
int32_t TDeclarationAnalyser::ReadBounds(int32_t r, int32_t b, std::vector<int32_t>& lower,
                                         std::vector<int32_t>& extents) {
  double first = 0;
  bool firstKnown = false;
  int32_t count = ConstEval(r, b, first, firstKnown);
  if (count < 1) {
    return -1;
  }
  r += count;
  if (KindAt(r) != Colon) {
    lower.push_back(1);
    extents.push_back(firstKnown ? SaturatingInt(first) : 0);
    return r;
  }
  int32_t low = firstKnown ? SaturatingInt(first) : 0;
  ++r;
  double upper = 0;
  bool upperKnown = false;
  if (TextIs(r, "*")) {
    ++r;
  } else if (KindAt(r) != RParen && KindAt(r) != Comma) {
    int32_t upperCount = ConstEval(r, b, upper, upperKnown);
    if (upperCount > 0) {
      r += upperCount;
    }
  }
  lower.push_back(low);
  extents.push_back(upperKnown ? SaturatingInt(upper - low + 1) : 0);
  return r;
}

// IMPLICIT type (letters), ...: each rule sets the type of the initials it
// names for the rest of the unit. IMPLICIT NONE keeps the default rules.
void TDeclarationAnalyser::AnalyseImplicit(int32_t i, int32_t b) {
  int32_t r = i + 1;
  if (TextIs(r, "NONE")) {
    return;
  }
  while (r < b) {
    int32_t typeStart = r;
    int32_t letters = -1;
    int32_t ruleEnd = FindImplicitRuleEnd(r, b, letters);
    r = ruleEnd + 1;
    if (letters < 0) {
      continue;
    }
    ValType type = ImplicitRuleType(typeStart);
    if (type == ValType::None) {
      continue;
    }
    SetImplicitLetters(letters, ruleEnd, {type, ImplicitRuleText(typeStart, letters)});
  }
  names_.RetypeUndeclared();
}

// One rule runs from r to the "," outside parentheses that ends it, or to
// b; letters is set to the "(" of its letter list (the last one at the
// outer level), or stays -1.
int32_t TDeclarationAnalyser::FindImplicitRuleEnd(int32_t r, int32_t b, int32_t& letters) const {
  for (int32_t depth = 0; r < b; ++r) {
    int32_t kind = KindAt(r);
    if (kind == LParen) {
      if (depth == 0) {
        letters = r;
      }
      ++depth;
    } else if (kind == RParen) {
      --depth;
    } else if (kind == Comma && depth == 0) {
      break;
    }
  }
  return r;
}

ValType TDeclarationAnalyser::ImplicitRuleType(int32_t typeStart) const {
  ValType type = TypeOfKeyword(KindAt(typeStart));
  if (type == ValType::None && TextIs(typeStart, "DOUBLE") &&
      KindAt(typeStart + 1) == KwComplex) {
    type = ValType::Complex;
  }
  return type;
}

// The type as written before the letter list ("real*8", "double
// precision"), with one blank between two words.
std::string TDeclarationAnalyser::ImplicitRuleText(int32_t typeStart, int32_t letters) const {
  std::string text;
  for (int32_t t = typeStart; t < letters; ++t) {
    const std::string& part = list_[t]->Text;
    if (!text.empty() && !part.empty() && IsNameChar(text.back()) && IsNameChar(part[0])) {
      text += ' ';
    }
    text += part;
  }
  return text;
}

// The letters and letter ranges (a-h) between the "(" at letters and the
// end of the rule.
void TDeclarationAnalyser::SetImplicitLetters(int32_t letters, int32_t ruleEnd,
                                              const TNameTable::TImplicitRule& rule) {
  for (int32_t t = letters + 1; t < ruleEnd; ++t) {
    const std::string& from = list_[t]->Text;
    if (KindAt(t) != Word || from.size() != 1 || !IsLetter(from[0])) {
      continue;
    }
    char last = from[0];
    if (TextIs(t + 1, "-") && list_[t + 2]->Text.size() == 1 && IsLetter(list_[t + 2]->Text[0])) {
      last = list_[t + 2]->Text[0];
      t += 2;
    }
    char high = UpperChar(last);
    for (char c = UpperChar(from[0]); c <= high && c <= 'Z'; ++c) {
      names_.SetImplicitRule(c, rule);
    }
  }
}

bool TDeclarationAnalyser::IsNameRecord(int32_t r) const {
  return KindAt(r) == Word && IsFortranName(list_[r]->Text);
}

bool TDeclarationAnalyser::TextIs(int32_t r, const char* upper) const {
  if (r < 0 || r >= static_cast<int32_t>(list_.size())) {
    return false;
  }
  const std::string& text = list_[r]->Text;
  size_t i = 0;
  for (; i < text.size() && upper[i] != '\0'; ++i) {
    if (UpperChar(text[i]) != upper[i]) {
      return false;
    }
  }
  return i == text.size() && upper[i] == '\0';
}

int32_t TDeclarationAnalyser::KindAt(int32_t r) const {
  if (r < 0 || r >= static_cast<int32_t>(list_.size())) {
    return Sentinel;
  }
  return list_[r]->Kind;
}

// The ")" that closes the "(" at open, or b when the statement ends first.
int32_t TDeclarationAnalyser::MatchParen(int32_t open, int32_t b) const {
  int32_t depth = 0;
  for (int32_t r = open; r < b; ++r) {
    int32_t kind = KindAt(r);
    if (kind == LParen) {
      ++depth;
    }
    if (kind == RParen && --depth == 0) {
      return r;
    }
  }
  return b;
}

}  // namespace

void AnalyseDeclarations(TTokenList& list, TValList& vars, TReporter& reporter) {
  TDeclarationAnalyser(list, vars, reporter).Run();
}

void ReportStatementError(const TTokenList& list, int32_t index, const std::string& message,
                          TReporter& reporter) {
  const int32_t size = static_cast<int32_t>(list.size());
  auto endsStatement = [&list, size](int32_t r) {
    return r >= 0 && r < size && list[r]->Kind == EndOfStatement;
  };
  int32_t start = index;
  while (start > 1 && !endsStatement(start - 1)) {
    --start;
  }
  std::string text;
  for (int32_t r = start; r < size && !endsStatement(r); ++r) {
    text += list[r]->Text;
  }
  reporter.ReportError("**** " + message + " **** [ " + text + " ]");
}

TEndKind ClassifyEnd(const TTokenList& list, int32_t i) {
  auto next = [&list, i](int32_t k, const char* word) {
    size_t at = static_cast<size_t>(i + k);
    return i >= 0 && at < list.size() && SameText(list[at]->Text, word);
  };
  if (next(1, "SELECT")) {
    return EndsSelect;
  }
  if (next(1, "TYPE") || next(1, "INTERFACE")) {
    return EndsDefinition;
  }
  if (next(1, "WHERE") || next(1, "FORALL") || next(1, "ASSOCIATE") || next(1, "ENUM") ||
      next(1, "CRITICAL") || (next(1, "BLOCK") && !next(2, "DATA"))) {
    return EndsBlock;
  }
  return EndsUnit;
}

bool IsFortranName(const std::string& text) {
  if (text.empty() || !IsLetter(text[0])) {
    return false;
  }
  for (char c : text) {
    if (!IsNameChar(c)) {
      return false;
    }
  }
  return true;
}

int32_t SaturatingInt(double value) {
  if (std::isnan(value)) {
    return 0;
  }
  if (value >= static_cast<double>(std::numeric_limits<int32_t>::max())) {
    return std::numeric_limits<int32_t>::max();
  }
  if (value <= static_cast<double>(std::numeric_limits<int32_t>::min())) {
    return std::numeric_limits<int32_t>::min();
  }
  return static_cast<int32_t>(value);
}
