// The statement walk of Pass 2: stamps the scope counters on every record,
// recognises what each statement opens or closes, and marks every name an
// executable statement reads or writes.
#include <unordered_map>
#include <vector>

#include "frontend/declaration_analyser.h"
#include "frontend/declarations.h"
#include "frontend/frontend_messages.h"
#include "frontend/text.h"

namespace {

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
        {"ENDWHERE",     "ENDFORALL",  "ENDASSOCIATE", "ENDBLOCK",  "ENDENUM", "ENDCRITICAL",
         "ELSEWHERE",    "SEQUENCE",   "EQUIVALENCE",  "PROCEDURE", "IMPORT",  "GENERIC",
         "FINAL",        "ENUM",       "ENUMERATOR",   "PROTECTED", "VALUE",   "VOLATILE",
         "ASYNCHRONOUS", "CONTIGUOUS", "CRITICAL"});
    return words;
  }();
  auto found = kWords.find(upper);
  return found == kWords.end() ? TWordStatement::Assignment : found->second;
}

}  // namespace

TDeclarationAnalyser::TDeclarationAnalyser(TTokenList& list, TValList& vars, TReporter& reporter)
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
TDeclarationAnalyser::TTarget TDeclarationAnalyser::AnalyseTarget(int32_t t, int32_t b, bool isName,
                                                                  bool sections) {
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
