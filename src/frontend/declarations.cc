// Declaration analysis: the entry of Pass 2 and the reading of headers,
// type declarations, dimension lists and IMPLICIT rules into the variable
// table. The statement walk is in statement_analysis.cc, constant folding
// in const_eval.cc.
#include "frontend/declarations.h"

#include <cmath>
#include <limits>
#include <vector>

#include "frontend/declaration_analyser.h"
#include "frontend/text.h"

namespace {

// Dimensions read from one dimension list at the most.
constexpr size_t kMaxDimensions = 100;

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
int32_t TDeclarationAnalyser::ReadTypeParameter(int32_t i, int32_t r, int32_t b, TTypePart& part) {
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
  if (type == ValType::None && TextIs(typeStart, "DOUBLE") && KindAt(typeStart + 1) == KwComplex) {
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
