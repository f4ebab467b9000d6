// The lexer with its keyword and pair tables.
#include "frontend/lexer.h"

#include <cstdlib>
#include <unordered_map>

#include "frontend/keywords.h"
#include "frontend/text.h"

namespace {

// The keyword table: every keyword and symbol the lexer classifies, keyed
// in upper case.
std::unordered_map<std::string, TokenKind> BuildKeywordTable() {
  std::unordered_map<std::string, TokenKind> table;
  for (int kind = KwProgram; kind <= KwParameter; ++kind) {
    table[KeywordWord(static_cast<TokenKind>(kind))] = static_cast<TokenKind>(kind);
  }
  table[","] = Comma;
  table[";"] = EndOfStatement;
  table[":"] = Colon;
  table["::"] = DoubleColon;
  table["="] = Assign;
  table["("] = LParen;
  table[")"] = RParen;
  for (const char* op : {"+", "-", "*", "/", "**", "<", ".LT.", "<=", ".LE.", ">", ".GT.", ">=",
                         ".GE.", "==", ".EQ.", "/=", ".NE.", ".NOT.", ".AND.", ".OR.", ".EQV.",
                         ".NEQV.", "//"}) {
    table[op] = Operator;
  }
  return table;
}

struct TPair {
  const char* First;
  const char* Second;
};

// Two records that the lexer joins into one.
const TPair kPairs[] = {
    {"DO", "WHILE"}, {"GO", "TO"}, {"ELSE", "IF"}, {"END", "IF"}, {"END", "DO"},
    {"DOUBLE", "PRECISION"}, {"*", "*"}, {"/", "/"}, {"<", "="}, {">", "="},
    {"=", "="}, {"/", "="}, {":", ":"},
};

bool StartsPair(const std::string& upperKey) {
  for (const TPair& pair : kPairs) {
    if (upperKey == pair.First) return true;
  }
  return false;
}

bool IsPair(const std::string& upperFirst, const std::string& upperSecond) {
  for (const TPair& pair : kPairs) {
    if (upperFirst == pair.First && upperSecond == pair.Second) return true;
  }
  return false;
}

int32_t PriorityOf(const std::string& text) {
  if (text == "+" || text == "-") return 1;
  if (text == "*") return 2;
  if (text == "/") return 3;
  if (text == "**") return 4;
  std::string upper = UpperAscii(text);
  if (upper == ".EQV." || upper == ".NEQV.") return 0;
  return 1;
}

}  // namespace

bool ReadNumber(const std::string& text, double& value, bool& isInteger) {
  std::string n;
  for (char c : text) {
    if (c == '_') break;
    n.push_back(c == 'D' || c == 'd' ? 'e' : c);
  }
  isInteger = true;
  for (char c : n) {
    if (!IsDigit(c)) isInteger = false;
  }
  // Longest prefix: digits, an optional point with digits, then an optional
  // exponent letter with an optional sign and digits.
  size_t i = 0;
  size_t digits = 0;
  while (i < n.size() && IsDigit(n[i])) { ++i; ++digits; }
  if (i < n.size() && n[i] == '.') {
    ++i;
    while (i < n.size() && IsDigit(n[i])) { ++i; ++digits; }
  }
  size_t prefix = digits > 0 ? i : 0;
  if (prefix > 0 && i < n.size() && (n[i] == 'e' || n[i] == 'E')) {
    size_t j = i + 1;
    if (j < n.size() && (n[j] == '+' || n[j] == '-')) ++j;
    size_t expStart = j;
    while (j < n.size() && IsDigit(n[j])) ++j;
    if (j > expStart) prefix = j;
  }
  value = prefix > 0 ? std::strtod(n.substr(0, prefix).c_str(), nullptr) : 0.0;
  return prefix == n.size();
}

void Lex(TTokenList& list) {
  if (list.empty()) {
    return;
  }
  const std::unordered_map<std::string, TokenKind> keywords = BuildKeywordTable();
  size_t prev = 0;           // the record the join and label rules look back to
  std::string pendingFirst;  // upper-cased first word of a pair prev may start
  bool pending = false;

  for (size_t k = 0; k < list.size(); ++k) {
    TToken& r = *list[k];
    std::string key = r.Text;

    // A name followed by ":" at the start of a statement is a construct
    // name; a ":" that is the first half of "::", or that follows a label,
    // is not.
    bool doubleColon = k + 1 < list.size() && list[k + 1]->Text == ":";
    if (key == ":" && k >= 2 && prev == k - 1 && list[k - 2] &&
        list[k - 2]->Kind == EndOfStatement && !doubleColon) {
      list[prev]->Kind = Label;
      list[prev]->Text += ":";
      list[k].reset();
      pending = false;
      continue;
    }
    if (key != ":" && list[prev]->Kind == EndOfStatement && !key.empty() && IsDigit(key[0])) {
      r.Kind = Label;
      pending = false;
      continue;
    }
    std::string upperKey = UpperAscii(key);
    if (pending && IsPair(pendingFirst, upperKey)) {
      TToken& first = *list[prev];
      bool words = IsLetter(pendingFirst[0]);
      upperKey = pendingFirst + upperKey;
      r.Text = words ? first.Text + " " + r.Text : upperKey;
      list[prev].reset();
      pending = false;
    } else {
      pending = StartsPair(upperKey);
      pendingFirst = upperKey;
    }
    prev = k;

    if (r.Kind != Word) {
      continue;
    }
    auto found = keywords.find(upperKey);
    if (found != keywords.end()) {
      r.Kind = found->second;
      continue;
    }
    bool isInteger = false;
    if (ReadNumber(key, r.Value, isInteger)) {
      r.Kind = isInteger ? IntConst : RealConst;
    }
  }

  size_t out = 0;
  for (size_t i = 0; i < list.size(); ++i) {
    if (list[i]) {
      list[out++] = std::move(list[i]);
    }
  }
  list.resize(out);
  for (size_t i = 0; i < list.size(); ++i) {
    list[i]->Index = static_cast<int32_t>(i);
    if (list[i]->Kind == Operator) {
      list[i]->Priority = PriorityOf(list[i]->Text);
    }
  }
}
