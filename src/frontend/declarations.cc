// Declaration analysis: scope counters, the variable table, access marks and
// constant folding.
#include "frontend/declarations.h"

#include <cmath>
#include <limits>

#include "frontend/frontend_messages.h"
#include "frontend/text.h"

namespace {

// Dimensions read from one dimension list at the most.
constexpr size_t kMaxDimensions = 100;

bool IsTypeKeyword(int32_t kind) {
  return kind == KwInteger || kind == KwReal || kind == KwDoublePrecision ||
         kind == KwCharacter || kind == KwLogical || kind == KwComplex;
}

// Binding strength of an operator in folding: higher binds tighter. "*" and
// "/" share one level and a sign binds tighter than both but looser than
// "**", so that 2*N/3 and -2**2 fold as Fortran evaluates them.
int PrecedenceOf(const TToken& op, bool unary) {
  if (unary) return 30;
  switch (op.Priority) {
    case 0: return 0;
    case 2:
    case 3: return 20;
    case 4: return 40;
    default: return 10;
  }
}

}  // namespace

TEndKind ClassifyEnd(const TTokenList& list, int32_t i) {
  auto next = [&list, i](int32_t k, const char* word) {
    size_t at = static_cast<size_t>(i + k);
    return i >= 0 && at < list.size() && SameText(list[at]->Text, word);
  };
  if (next(1, "SELECT")) return EndsSelect;
  if (next(1, "TYPE") || next(1, "INTERFACE")) return EndsDefinition;
  if (next(1, "WHERE") || next(1, "FORALL") || next(1, "ASSOCIATE") || next(1, "ENUM") ||
      next(1, "CRITICAL") || (next(1, "BLOCK") && !next(2, "DATA"))) {
    return EndsBlock;
  }
  return EndsUnit;
}

bool IsFortranName(const std::string& text) {
  if (text.empty() || !IsLetter(text[0])) return false;
  for (char c : text) {
    if (!IsNameChar(c)) return false;
  }
  return true;
}

int32_t SaturatingInt(double value) {
  if (std::isnan(value)) return 0;
  if (value >= static_cast<double>(std::numeric_limits<int32_t>::max())) {
    return std::numeric_limits<int32_t>::max();
  }
  if (value <= static_cast<double>(std::numeric_limits<int32_t>::min())) {
    return std::numeric_limits<int32_t>::min();
  }
  return static_cast<int32_t>(value);
}

void AnalyseDeclarations(TTokenList& list, TValList& vars, TReporter& reporter) {
  TDeclarationAnalyser(list, vars, reporter).Run();
}

TDeclarationAnalyser::TDeclarationAnalyser(TTokenList& list, TValList& vars, TReporter& reporter)
    : list_(list), vars_(vars), reporter_(reporter) {
  ResetImplicitTable();
}

void TDeclarationAnalyser::ResetImplicitTable() {
  for (size_t c = 0; c < implicit_.size(); ++c) {
    bool integer = (c >= 'I' && c <= 'N') || (c >= 'i' && c <= 'n');
    implicit_[c] = {integer ? ValType::Int : ValType::Real, ""};
  }
}

void TDeclarationAnalyser::Run() {
  unit_ = 0;
  unitDepth_ = 0;
  blockDepth_ = 0;
  ResetImplicitTable();
  // The ENDDO of every DO, found in one pass; DO WHILE loops nest too, so
  // that their ENDDO is not taken for the end of an enclosing DO.
  const int32_t size = static_cast<int32_t>(list_.size());
  index_.reserve(list_.size() / 8);
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
  int32_t a = 1;
  for (int32_t b = 1; b < size - 1; ++b) {
    if (list_[b]->Kind != EndOfStatement) continue;
    for (int32_t r = a; r <= b; ++r) {
      list_[r]->Unit = unit_;
      list_[r]->UnitDepth = unitDepth_;
      list_[r]->BlockDepth = blockDepth_;
    }
    AnalyseStatement(a, b);
    a = b + 1;
  }
}

void TDeclarationAnalyser::AnalyseStatement(int32_t a, int32_t b) {
  int32_t i = a;
  if (KindAt(i) == Label) ++i;
  if (i >= b) return;
  int32_t kind = KindAt(i);
  // A keyword used as a variable name: type = 1, data(i) = 2.
  if (kind >= KwProgram && kind <= KwParameter && IsFortranName(list_[i]->Text)) {
    int32_t next = i + 1;
    if (KindAt(next) == LParen) next = MatchParen(next, b) + 1;
    if (KindAt(next) == Assign && kind != KwDo) {
      AnalyseAssignment(i, b);
      return;
    }
  }
  switch (kind) {
    case KwInteger: case KwReal: case KwDoublePrecision: case KwCharacter: case KwLogical:
    case KwComplex: case KwDimension: case KwParameter:
      AnalyseDeclaration(i, b);
      break;
    case KwType:
      // type(point) :: p declares a variable; "type is" guards a SELECT TYPE
      // block; anything else opens a type definition.
      if (KindAt(i + 1) == LParen) {
        AnalyseDeclaration(i, b);
      } else if (!TextIs(i + 1, "IS")) {
        ++unitDepth_;
      }
      break;
    case KwProgram: case KwInterface:
      ++unitDepth_;
      break;
    case KwModule:
      if (!TextIs(i + 1, "PROCEDURE")) ++unitDepth_;
      break;
    case KwSubroutine: case KwFunction:
      AnalyseHeader(i, b);
      ++unitDepth_;
      break;
    case KwEnd:
      switch (ClassifyEnd(list_, i)) {
        case EndsSelect: EndBlock(); break;
        case EndsDefinition: --unitDepth_; break;
        case EndsBlock: break;  // a block construct opened no unit
        case EndsUnit: EndUnit(); break;
      }
      break;
    case KwImplicit:
      AnalyseImplicit(i, b);
      break;
    case KwDo:
      AnalyseDo(i, b);
      break;
    case KwDoWhile: case KwSelect:
      ++blockDepth_;
      MarkNamesRead(i + 1, b);
      break;
    case KwIf: {
      int32_t action = AnalyseCondition(i, b);
      if (action < b && KindAt(action) != KwThen) AnalyseAction(action, b, KindAt(action));
      ++blockDepth_;
      break;
    }
    case KwWhere: {
      int32_t action = AnalyseCondition(i, b);
      if (action < b) AnalyseAction(action, b, KindAt(action));
      break;
    }
    case KwElseIf:
      MarkNamesRead(i + 1, b);
      break;
    case KwCase:
      if (KindAt(i + 1) == LParen) MarkNamesRead(i + 1, b);
      break;
    case KwEndDo: case KwEndIf:
      EndBlock();
      break;
    case KwCall:
      AnalyseCall(i, b);
      break;
    case KwRead:
      AnalyseRead(i, b);
      break;
    case KwPrint: case KwWrite: case KwAllocate: case KwDeallocate: case KwNullify:
    case KwReturn: case KwStop: case KwGoto: case KwOpen: case KwClose: case KwInquire:
    case KwBackspace: case KwRewind: case KwEndFile:
      MarkNamesRead(i + 1, b);
      break;
    case Word:
      if (!AnalyseWordStatement(i, b)) AnalyseAssignment(i, b);
      break;
    default:
      break;
  }
}

// The statement after a logical IF or WHERE condition, analysed like a
// statement of its own.
void TDeclarationAnalyser::AnalyseAction(int32_t i, int32_t b, int32_t kind) {
  switch (kind) {
    case Word: AnalyseAssignment(i, b); break;
    case KwCall: AnalyseCall(i, b); break;
    case KwRead: AnalyseRead(i, b); break;
    default: MarkNamesRead(i, b); break;
  }
}

void TDeclarationAnalyser::EndUnit() {
  --unitDepth_;
  // A main program without a PROGRAM statement ends below zero; it still
  // ends a unit, so that the units after it get numbers of their own.
  if (unitDepth_ <= 0) {
    unitDepth_ = 0;
    ++unit_;
    unitVars_.clear();
    ResetImplicitTable();
    blockDepth_ = 0;
  }
}

void TDeclarationAnalyser::EndBlock() { --blockDepth_; }

// Statements that begin with a word that is no keyword of the lexer but is
// no assignment either (end select written as one word, recursive
// subroutine, forall, ...). Returns false for an assignment.
bool TDeclarationAnalyser::AnalyseWordStatement(int32_t i, int32_t b) {
  int32_t next = i + 1;
  if (KindAt(next) == LParen) next = MatchParen(next, b) + 1;
  if (KindAt(next) == Assign) return false;
  const std::string word = UpperAscii(list_[i]->Text);
  if (word == "ENDSELECT") {
    EndBlock();
  } else if (word == "ENDTYPE" || word == "ENDINTERFACE") {
    --unitDepth_;
  } else if (word == "ENDMODULE" || word == "ENDSUBROUTINE" || word == "ENDFUNCTION" ||
             word == "ENDPROGRAM" || word == "ENDBLOCKDATA" || word == "ENDSUBMODULE" ||
             word == "ENDPROCEDURE") {
    EndUnit();
  } else if (word == "BLOCKDATA" || (word == "BLOCK" && TextIs(i + 1, "DATA")) ||
             word == "SUBMODULE") {
    ++unitDepth_;
  } else if (word == "ABSTRACT") {
    if (KindAt(i + 1) == KwInterface) ++unitDepth_;
  } else if (word == "RECURSIVE" || word == "PURE" || word == "ELEMENTAL" || word == "IMPURE" ||
             word == "NON_RECURSIVE") {
    for (int32_t r = i + 1; r < b; ++r) {
      int32_t kind = KindAt(r);
      if (kind == KwSubroutine || kind == KwFunction) {
        AnalyseHeader(r, b);
        ++unitDepth_;
        break;
      }
      if (IsTypeKeyword(kind)) {
        AnalyseDeclaration(r, b);
        break;
      }
    }
  } else if (word == "ENTRY") {
    AnalyseHeader(i + 1, b);
  } else if (word == "SELECTCASE" || word == "SELECTTYPE") {
    ++blockDepth_;
    MarkNamesRead(i + 1, b);
  } else if (word == "CLASS") {
    if (KindAt(i + 1) == LParen) AnalyseDeclaration(i, b);
  } else if (word == "FORALL" || word == "ASSOCIATE" || word == "ERROR" || word == "FLUSH" ||
             word == "WAIT" || word == "PAUSE") {
    MarkNamesRead(i + 1, b);
  } else if (word == "ENDWHERE" || word == "ENDFORALL" || word == "ENDASSOCIATE" ||
             word == "ENDBLOCK" || word == "ENDENUM" || word == "ENDCRITICAL" ||
             word == "ELSEWHERE" || word == "SEQUENCE" || word == "EQUIVALENCE" ||
             word == "PROCEDURE" || word == "IMPORT" || word == "GENERIC" || word == "FINAL" ||
             word == "ENUM" || word == "ENUMERATOR" || word == "PROTECTED" || word == "VALUE" ||
             word == "VOLATILE" || word == "ASYNCHRONOUS" || word == "CONTIGUOUS" ||
             word == "BLOCK" || word == "CRITICAL") {
    // nothing to analyse
  } else {
    return false;
  }
  return true;
}

void TDeclarationAnalyser::AnalyseAssignment(int32_t i, int32_t b) {
  TValData* target = nullptr;
  int32_t readBefore = 0;
  if (IsFortranName(list_[i]->Text)) {
    target = FindOrCreate(list_[i]->Text);
    list_[i]->Var = target;
    ++target->WriteCount;
    readBefore = target->ReadCount;
  }
  int32_t r = i + 1;
  if (KindAt(r) == LParen) {
    if (target != nullptr) target->IsArray = true;
    r = StepArguments(r + 1, b);
    // An array section or substring (a(1:n) = 0): go on after its ")".
    if (KindAt(r) != RParen) r = MatchParen(i + 1, b);
    if (KindAt(r) == RParen) ++r;
  }
  if (KindAt(r) != Assign) {
    ReportStatementError(i, frontend_messages::NoAssign());
    return;
  }
  double value = 0;
  bool known = false;
  ConstEval(r + 1, b, value, known);
  MarkNamesRead(i + 1, b);
  if (target != nullptr) {
    list_[i]->Access = target->ReadCount != readBefore ? AccessKind::ReadWrite : AccessKind::Write;
  }
}

void TDeclarationAnalyser::AnalyseDo(int32_t i, int32_t b) {
  ++blockDepth_;
  list_[i]->EndDoIndex = endDo_[i];
  int32_t l = i + 1;
  if (KindAt(l) == EndOfStatement) return;  // DO without loop control
  if (TextIs(l, "CONCURRENT")) {
    MarkNamesRead(l + 1, b);
    return;
  }
  TValData* loopVar = nullptr;
  int32_t readBefore = 0;
  if (IsNameRecord(l)) {
    loopVar = FindOrCreate(list_[l]->Text);
    list_[l]->Var = loopVar;
    ++loopVar->WriteCount;
    readBefore = loopVar->ReadCount;
  }
  int32_t r = l + 1;
  if (KindAt(r) == LParen) {
    if (loopVar != nullptr) loopVar->IsArray = true;
    r = StepArguments(r + 1, b);
    if (KindAt(r) == RParen) ++r;
  }
  if (KindAt(r) != Assign) {
    ReportStatementError(i, frontend_messages::NoAssign());
    return;
  }
  AnalyseLoopParameters(r + 1, b);
  MarkNamesRead(l + 1, b);
  if (loopVar != nullptr) {
    list_[l]->Access = loopVar->ReadCount != readBefore ? AccessKind::ReadWrite : AccessKind::Write;
  }
}

void TDeclarationAnalyser::AnalyseLoopParameters(int32_t r, int32_t b) {
  while (r < b) {
    double value = 0;
    bool known = false;
    int32_t count = ConstEval(r, b, value, known);
    if (count < 1) return;
    r += count;
    if (KindAt(r) == Comma) ++r;
    if (KindAt(r) == RParen) return;
  }
}

// Subscripts or arguments after a "(": one expression after another, each
// followed by an optional ","; stops at ")" or where nothing is consumed.
int32_t TDeclarationAnalyser::StepArguments(int32_t r, int32_t b) {
  while (r < b && KindAt(r) != RParen) {
    double value = 0;
    bool known = false;
    int32_t count = ConstEval(r, b, value, known);
    if (count < 1) return r;
    r += count;
    if (KindAt(r) == Comma) ++r;
  }
  return r;
}

void TDeclarationAnalyser::AnalyseCall(int32_t i, int32_t b) {
  int32_t r = i + 2;
  if (KindAt(r) == LParen) StepArguments(r + 1, b);
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

void TDeclarationAnalyser::AnalyseHeader(int32_t i, int32_t b) {
  for (int32_t r = i; r < b; ++r) {
    if (KindAt(r) != Word || !IsFortranName(list_[r]->Text)) continue;
    if (TextIs(r, "BIND") && KindAt(r + 1) == LParen) {
      r = MatchParen(r + 1, b);
      continue;
    }
    if (TextIs(r, "RESULT") && KindAt(r + 1) == LParen) continue;
    FindOrCreate(list_[r]->Text)->IsArgument = true;
  }
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
    while (r < b && KindAt(r) != Comma) ++r;
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
      if (!levels.empty()) levels.pop_back();
      continue;
    }
    if (!IsNameRecord(r) || list_[r]->Var != nullptr || TextIs(r - 1, "%")) continue;
    bool read = !levels.empty() && (levels.back().Subscript || levels.back().Bounds);
    if (read) {
      MarkNamesRead(r, r + 1);
      continue;
    }
    if (KindAt(r + 1) == Assign && !levels.empty()) levels.back().Bounds = true;
    TValData* var = FindOrCreate(list_[r]->Text);
    list_[r]->Var = var;
    list_[r]->Access = AccessKind::Write;
    ++var->WriteCount;
  }
}

void TDeclarationAnalyser::AnalyseImplicit(int32_t i, int32_t b) {
  int32_t r = i + 1;
  if (TextIs(r, "NONE")) return;
  while (r < b) {
    // One rule: a type with its kind, then the letters in parentheses.
    int32_t typeStart = r;
    int32_t letters = -1;
    int32_t depth = 0;
    for (; r < b; ++r) {
      int32_t kind = KindAt(r);
      if (kind == LParen) {
        if (depth == 0) letters = r;
        ++depth;
      } else if (kind == RParen) {
        --depth;
      } else if (kind == Comma && depth == 0) {
        break;
      }
    }
    int32_t ruleEnd = r;
    ++r;
    if (letters < 0) continue;
    ValType type = ValType::None;
    switch (KindAt(typeStart)) {
      case KwInteger: type = ValType::Int; break;
      case KwReal: case KwDoublePrecision: type = ValType::Real; break;
      case KwCharacter: type = ValType::Char; break;
      case KwLogical: type = ValType::Logic; break;
      case KwComplex: type = ValType::Complex; break;
      default:
        if (TextIs(typeStart, "DOUBLE") && KindAt(typeStart + 1) == KwComplex) type = ValType::Complex;
        break;
    }
    if (type == ValType::None) continue;
    std::string text;
    for (int32_t t = typeStart; t < letters; ++t) {
      const std::string& part = list_[t]->Text;
      if (!text.empty() && !part.empty() && IsNameChar(text.back()) && IsNameChar(part[0])) text += ' ';
      text += part;
    }
    for (int32_t t = letters + 1; t < ruleEnd; ++t) {
      const std::string& from = list_[t]->Text;
      if (KindAt(t) != Word || from.size() != 1 || !IsLetter(from[0])) continue;
      char last = from[0];
      if (TextIs(t + 1, "-") && list_[t + 2]->Text.size() == 1 && IsLetter(list_[t + 2]->Text[0])) {
        last = list_[t + 2]->Text[0];
        t += 2;
      }
      char low = UpperChar(from[0]);
      char high = UpperChar(last);
      for (char c = low; c <= high && c <= 'Z'; ++c) {
        implicit_[static_cast<unsigned char>(c)] = {type, text};
        implicit_[static_cast<unsigned char>(c - 'A' + 'a')] = {type, text};
      }
    }
  }
  // The dummy arguments met in the unit's heading take the new rules too.
  for (TValData* var : unitVars_) {
    if (var->TypeDeclared || var->Name.empty()) continue;
    const TImplicitRule& rule = implicit_[static_cast<unsigned char>(var->Name[0])];
    var->Type = IsFunctionType(var->Type) ? FunctionType(rule.Type) : rule.Type;
    var->ImplicitType = rule.Text;
  }
}

void TDeclarationAnalyser::AnalyseDeclaration(int32_t i, int32_t b) {
  int32_t doubleColon = -1;
  for (int32_t r = i, depth = 0; r < b; ++r) {
    int32_t kind = KindAt(r);
    if (kind == LParen) ++depth;
    if (kind == RParen) --depth;
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
  if (part.Entities >= 0) DeclareEntities(i, b, part);
}

// real*8 function f(x): a function header after its type.
void TDeclarationAnalyser::AnalyseTypedFunction(int32_t i, int32_t function, int32_t b) {
  AnalyseHeader(function, b);
  int32_t kind = KindAt(i);
  if (IsNameRecord(function + 1) && IsTypeKeyword(kind)) {
    TValData* var = FindOrCreate(list_[function + 1]->Text);
    var->Type = kind == KwInteger     ? ValType::Int
                : kind == KwCharacter ? ValType::Char
                : kind == KwLogical   ? ValType::Logic
                : kind == KwComplex   ? ValType::Complex
                                      : ValType::Real;
    var->TypeDeclared = true;
  }
  ++unitDepth_;
}

// The attribute part of a declaration: type keywords, kind or length,
// PARAMETER, DIMENSION(...) and, before "::", any other attribute.
void TDeclarationAnalyser::ReadTypePart(int32_t i, int32_t b, int32_t doubleColon,
                                        TTypePart& part) {
  int32_t r = i;
  while (r < b && part.Entities < 0) {
    switch (KindAt(r)) {
      case KwInteger: part.IsInt = part.TypeKeyword = true; ++r; break;
      case KwReal: case KwDoublePrecision: part.IsReal = part.TypeKeyword = true; ++r; break;
      case KwCharacter: part.IsChar = part.TypeKeyword = true; ++r; break;
      case KwLogical: part.IsLogic = part.TypeKeyword = true; ++r; break;
      case KwComplex: part.IsComplex = part.TypeKeyword = true; ++r; break;
      case KwParameter: part.IsParameter = true; ++r; break;
      case KwDimension:
        if (KindAt(r + 1) == LParen) {
          part.DimensionAttribute = true;
          ReadDimensions(r + 2, b, part.Lower, part.Extents);
          r = MatchParen(r + 1, b) + 1;
        } else {
          ++r;
        }
        break;
      case LParen: {
        int32_t before = KindAt(r - 1);
        if (before == KwParameter && r - 1 == i) {
          part.Entities = r + 1;  // PARAMETER (n = ...)
          break;
        }
        if (r - 1 == i && (before == KwType || TextIs(i, "CLASS"))) {
          part.TypeKeyword = true;  // type(point): a derived type, no kind to fold
        } else if (IsTypeKeyword(before) || TextIs(r - 1, "*")) {
          int32_t from = r + 1;
          if ((TextIs(from, "LEN") || TextIs(from, "KIND")) && KindAt(from + 1) == Assign) from += 2;
          double value = 0;
          bool known = false;
          ConstEval(from, b, value, known);
          part.KindLen = known ? SaturatingInt(value) : 0;
        }
        r = MatchParen(r, b) + 1;
        break;
      }
      case Comma: ++r; break;
      case DoubleColon: part.Entities = r + 1; break;
      case Operator:
        if (TextIs(r, "*")) {
          if (KindAt(r + 1) == IntConst) {
            part.KindLen = SaturatingInt(list_[r + 1]->Value);
            ++r;
          }
          ++r;
        } else {
          part.Entities = r;
        }
        break;
      default:
        // The word that opens the statement (type(t), class(t)) and other
        // attributes (intent, allocatable, save, ...) before "::".
        if (r < doubleColon || r == i) {
          ++r;
        } else {
          part.Entities = r;
        }
        break;
    }
  }
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
    if (KindAt(r) == Assign && part.IsParameter) {
      bool known = false;
      int32_t count = ConstEval(r + 1, b, entity.Value, known);
      if (count > 0) {
        entity.HasValue = known;
        r += 1 + count;
      }
    }
    if (KindAt(r) == Assign) {
      // An initial value: skip it up to the next "," of the entity list.
      for (int32_t depth = 0; r < b; ++r) {
        int32_t kind = KindAt(r);
        if (kind == LParen) ++depth;
        if (kind == RParen && depth-- == 0) break;
        if (kind == Comma && depth == 0) break;
      }
    }
    Declare(i, n, part, entity);
    if (KindAt(r) == RParen) ++r;
    if (KindAt(r) != Comma) break;
    ++r;
  }
}

// Gives the variable of the name at n its declaration. A later statement
// completes an earlier one: dimensions given only by a DIMENSION statement,
// or a type given after DIMENSION or PARAMETER.
void TDeclarationAnalyser::Declare(int32_t i, int32_t n, const TTypePart& part,
                                   TDeclaredEntity& entity) {
  TValData* var = Find(list_[n]->Text);
  if (var == nullptr) var = Create(list_[n]->Text);
  ValType type = implicit_[static_cast<unsigned char>(list_[n]->Text[0])].Type;
  if (part.IsReal) type = ValType::Real;
  if (part.IsInt) type = ValType::Int;
  if (part.IsChar) type = ValType::Char;
  if (part.IsLogic) type = ValType::Logic;
  if (part.IsComplex) type = ValType::Complex;
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
  if (part.IsParameter) var->IsParameter = true;
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
    if (leadingColon) ++r;
    int32_t kind = KindAt(r);
    bool assumed = TextIs(r, "*") && (KindAt(r + 1) == RParen || KindAt(r + 1) == Comma);
    if ((leadingColon && (kind == RParen || kind == Comma)) || assumed) {
      if (assumed) ++r;
      lower.push_back(1);
      extents.push_back(0);
    } else {
      double first = 0;
      bool firstKnown = false;
      int32_t count = ConstEval(r, b, first, firstKnown);
      if (count < 1) return r;
      r += count;
      if (KindAt(r) == Colon) {
        int32_t low = firstKnown ? SaturatingInt(first) : 0;
        ++r;
        double upper = 0;
        bool upperKnown = false;
        if (TextIs(r, "*")) {
          ++r;
        } else if (KindAt(r) != RParen && KindAt(r) != Comma) {
          int32_t upperCount = ConstEval(r, b, upper, upperKnown);
          if (upperCount > 0) r += upperCount;
        }
        lower.push_back(low);
        extents.push_back(upperKnown ? SaturatingInt(upper - low + 1) : 0);
      } else {
        lower.push_back(1);
        extents.push_back(firstKnown ? SaturatingInt(first) : 0);
      }
    }
    if (KindAt(r) != Comma) break;
    ++r;
  }
  return r;
}

int32_t TDeclarationAnalyser::ConstEval(int32_t first, int32_t last, double& value, bool& known) {
  const int32_t size = static_cast<int32_t>(list_.size());
  if (last >= size) last = size - 1;
  std::vector<TPostfixItem>& postfix = postfix_;
  std::vector<TPostfixItem>& ops = ops_;
  postfix.clear();
  ops.clear();
  int32_t depth = 0;
  int32_t end = last + 1;
  bool component = false;
  auto popGroup = [&] {
    while (!ops.empty() && ops.back().Role != '(') {
      postfix.push_back(ops.back());
      ops.pop_back();
    }
  };

  // Phase 1: the expression in postfix order.
  for (int32_t r = first; r <= last && end > last; ++r) {
    TToken& t = *list_[r];
    switch (t.Kind) {
      case IntConst:
      case RealConst:
        postfix.push_back({r, 'v'});
        break;
      case Word:
        if (t.Text == "%") {
          component = true;  // the name after "%" is a component
          break;
        }
        if (component) {
          component = false;
          break;
        }
        if (IsFortranName(t.Text)) {
          TValData* var = Find(t.Text);
          if (var == nullptr) {
            var = Create(t.Text);
            if (KindAt(r + 1) == LParen) {
              var->IsArray = true;
              var->Type = FunctionType(var->Type);
            }
          }
          MarkRead(r, var);
        }
        postfix.push_back({r, 'v'});
        break;
      case Operator: {
        int32_t before = r > first ? KindAt(r - 1) : Sentinel;
        bool unary = r == first || before == Operator || before == LParen || before == Comma;
        if (unary) {
          t.Priority = 10;
          ops.push_back({r, 'u'});
          break;
        }
        int precedence = PrecedenceOf(t, false);
        bool rightToLeft = t.Text == "**";
        while (!ops.empty() && ops.back().Role != '(') {
          int top = PrecedenceOf(*list_[ops.back().Index], ops.back().Role == 'u');
          if (top > precedence || (top == precedence && !rightToLeft)) {
            postfix.push_back(ops.back());
            ops.pop_back();
          } else {
            break;
          }
        }
        ops.push_back({r, 'b'});
        break;
      }
      case LParen:
        ++depth;
        ops.push_back({r, '('});
        break;
      case RParen:
        if (depth == 0) {
          end = r;
          break;
        }
        --depth;
        popGroup();
        if (!ops.empty()) ops.pop_back();
        break;
      case Comma:
        if (depth == 0) {
          end = r;
          break;
        }
        popGroup();
        break;
      default:
        end = r;
        break;
    }
  }
  while (!ops.empty()) {
    if (ops.back().Role != '(') postfix.push_back(ops.back());
    ops.pop_back();
  }
  int32_t count = end - first;

  // Phase 2: folding, each value with a flag telling whether it is integer.
  known = true;
  std::vector<std::pair<double, bool>>& stack = values_;
  stack.clear();
  for (const TPostfixItem& item : postfix) {
    const TToken& t = *list_[item.Index];
    if (item.Role == 'v') {
      if (t.Kind == IntConst || t.Kind == RealConst) {
        stack.push_back({t.Value, t.Kind == IntConst});
      } else if (t.Var != nullptr && t.Var->HasValue) {
        stack.push_back({t.Var->Value, t.Var->Type == ValType::Int});
      } else {
        known = false;
        break;
      }
    } else if (item.Role == 'u') {
      if (stack.empty()) {
        count = -1;
        break;
      }
      if (t.Text == "-") stack.back().first = -stack.back().first;
    } else {
      if (stack.size() < 2) {
        count = -1;
        break;
      }
      std::pair<double, bool> right = stack.back();
      stack.pop_back();
      std::pair<double, bool>& left = stack.back();
      bool integer = left.second && right.second;
      double result = left.first;
      if (t.Text == "+") {
        result = left.first + right.first;
      } else if (t.Text == "-") {
        result = left.first - right.first;
      } else if (t.Text == "*") {
        result = left.first * right.first;
      } else if (t.Text == "/") {
        if (right.first == 0) {
          known = false;
          break;
        }
        result = left.first / right.first;
      } else if (t.Text == "**") {
        result = std::pow(left.first, right.first);
      } else {
        integer = left.second;
      }
      if (integer && std::isfinite(result)) result = std::trunc(result);
      left = {result, integer};
    }
  }
  if (count < 0 || stack.size() != 1) known = false;
  value = known ? stack[0].first : 0.0;
  return count;
}

// Every name of the range that no analysis has marked yet counts as read:
// names of output lists, conditions, and the rest of an expression that
// ended early. A name after "%" is a component, and a name followed by "="
// is a keyword of an argument or specifier list.
void TDeclarationAnalyser::MarkNamesRead(int32_t from, int32_t b) {
  for (int32_t r = from; r < b; ++r) {
    if (!IsNameRecord(r) || list_[r]->Var != nullptr) continue;
    if (TextIs(r - 1, "%") || KindAt(r + 1) == Assign) continue;
    TValData* var = Find(list_[r]->Text);
    if (var == nullptr) {
      var = Create(list_[r]->Text);
      if (KindAt(r + 1) == LParen) {
        var->IsArray = true;
        var->Type = FunctionType(var->Type);
      }
    }
    MarkRead(r, var);
  }
}

void TDeclarationAnalyser::MarkRead(int32_t r, TValData* var) {
  TToken& t = *list_[r];
  t.Access = AccessKind::Read;
  t.Var = var;
  ++var->ReadCount;
  t.Value = var->Value;
}

void TDeclarationAnalyser::ReportStatementError(int32_t index, const std::string& message) {
  int32_t start = index;
  while (start > 1 && KindAt(start - 1) != EndOfStatement) --start;
  std::string text;
  for (int32_t r = start; r < static_cast<int32_t>(list_.size()) && KindAt(r) != EndOfStatement;
       ++r) {
    text += list_[r]->Text;
  }
  reporter_.ReportError("**** " + message + " **** [ " + text + " ]");
}

TValData* TDeclarationAnalyser::Find(const std::string& name) {
  auto found = index_.find(UpperAscii(name) + '\x01' + std::to_string(unit_));
  return found == index_.end() ? nullptr : found->second;
}

TValData* TDeclarationAnalyser::FindOrCreate(const std::string& name) {
  TValData* var = Find(name);
  return var != nullptr ? var : Create(name);
}

TValData* TDeclarationAnalyser::Create(const std::string& name) {
  auto var = std::make_unique<TValData>(name);
  const TImplicitRule& rule = implicit_[static_cast<unsigned char>(name.empty() ? 0 : name[0])];
  var->Unit = unit_;
  var->Type = rule.Type;
  var->ImplicitType = rule.Text;
  TValData* made = var.get();
  vars_.push_back(std::move(var));
  unitVars_.push_back(made);
  index_[UpperAscii(name) + '\x01' + std::to_string(unit_)] = made;
  return made;
}

bool TDeclarationAnalyser::IsNameRecord(int32_t r) const {
  return KindAt(r) == Word && IsFortranName(list_[r]->Text);
}

bool TDeclarationAnalyser::TextIs(int32_t r, const char* upper) const {
  if (r < 0 || r >= static_cast<int32_t>(list_.size())) return false;
  const std::string& text = list_[r]->Text;
  size_t i = 0;
  for (; i < text.size() && upper[i] != '\0'; ++i) {
    if (UpperChar(text[i]) != upper[i]) return false;
  }
  return i == text.size() && upper[i] == '\0';
}

int32_t TDeclarationAnalyser::KindAt(int32_t r) const {
  if (r < 0 || r >= static_cast<int32_t>(list_.size())) return Sentinel;
  return list_[r]->Kind;
}

// The ")" that closes the "(" at open, or b when the statement ends first.
int32_t TDeclarationAnalyser::MatchParen(int32_t open, int32_t b) const {
  int32_t depth = 0;
  for (int32_t r = open; r < b; ++r) {
    int32_t kind = KindAt(r);
    if (kind == LParen) ++depth;
    if (kind == RParen && --depth == 0) return r;
  }
  return b;
}
