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
    if (upperKey == pair.First) {
      return true;
    }
  }
  return false;
}

bool IsPair(const std::string& upperFirst, const std::string& upperSecond) {
  for (const TPair& pair : kPairs) {
    if (upperFirst == pair.First && upperSecond == pair.Second) {
      return true;
    }
  }
  return false;
}

int32_t PriorityOf(const std::string& text) {
  if (text == "+" || text == "-") {
    return 1;
  }
  if (text == "*") {
    return 2;
  }
  if (text == "/") {
    return 3;
  }
  if (text == "**") {
    return 4;
  }
  std::string upper = UpperAscii(text);
  if (upper == ".EQV." || upper == ".NEQV.") {
    return 0;
  }
  return 1;
}

}  // namespace

bool ReadNumber(const std::string& text, double& value, bool& isInteger) {
  std::string n;
  for (char c : text) {
    if (c == '_') {
      break;
    }
    n.push_back(c == 'D' || c == 'd' ? 'e' : c);
  }
  isInteger = true;
  for (char c : n) {
    if (!IsDigit(c)) {
      isInteger = false;
    }
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
    if (j < n.size() && (n[j] == '+' || n[j] == '-')) {
      ++j;
    }
    size_t expStart = j;
    while (j < n.size() && IsDigit(n[j])) {
      ++j;
    }
    if (j > expStart) {
      prefix = j;
    }
  }
  value = prefix > 0 ? std::strtod(n.substr(0, prefix).c_str(), nullptr) : 0.0;
  return prefix == n.size();
}

namespace {

// What the join and label rules look back to.
struct TLookBack {
  size_t Prev = 0;           // the last record kept, at first the opening Sentinel
  std::string PendingFirst;  // upper-cased first word of a pair Prev may start
  bool Pending = false;
};

// A name followed by ":" at the start of a statement is a construct name:
// the name becomes a Label record with the ":" joined to it. A ":" that is
// the first half of "::", or that follows a label, is not.
bool JoinConstructName(TTokenList& list, size_t k, TLookBack& back) {
  bool doubleColon = k + 1 < list.size() && list[k + 1]->Text == ":";
  if (list[k]->Text != ":" || k < 2 || back.Prev != k - 1 || !list[k - 2] ||
      list[k - 2]->Kind != EndOfStatement || doubleColon) {
    return false;
  }
  list[back.Prev]->Kind = Label;
  list[back.Prev]->Text += ":";
  list[k].reset();
  back.Pending = false;
  return true;
}

// A number at the start of a statement is its label.
bool MarkStatementLabel(TTokenList& list, size_t k, TLookBack& back) {
  const std::string& key = list[k]->Text;
  if (key == ":" || list[back.Prev]->Kind != EndOfStatement || key.empty() || !IsDigit(key[0])) {
    return false;
  }
  list[k]->Kind = Label;
  back.Pending = false;
  return true;
}

// Joins the record at k to the one before it when the two make a pair
// ("end" "if" gives "end if", "*" "*" gives "**"); returns the upper-cased
// lookup key of the record, the two words without a blank after a join.
std::string JoinPair(TTokenList& list, size_t k, TLookBack& back) {
  TToken& r = *list[k];
  std::string upperKey = UpperAscii(r.Text);
  if (back.Pending && IsPair(back.PendingFirst, upperKey)) {
    TToken& first = *list[back.Prev];
    bool words = IsLetter(back.PendingFirst[0]);
    upperKey = back.PendingFirst + upperKey;
    r.Text = words ? first.Text + " " + r.Text : upperKey;
    list[back.Prev].reset();
    back.Pending = false;
  } else {
    back.Pending = StartsPair(upperKey);
    back.PendingFirst = upperKey;
  }
  back.Prev = k;
  return upperKey;
}

// A word is a keyword or symbol of the table, a number, or stays a word.
// The number is read from the record's text as the reader made it.
void Classify(TToken& r, const std::string& key, const std::string& upperKey,
              const std::unordered_map<std::string, TokenKind>& keywords) {
  if (r.Kind != Word) {
    return;
  }
  auto found = keywords.find(upperKey);
  if (found != keywords.end()) {
    r.Kind = found->second;
    return;
  }
  bool isInteger = false;
  if (ReadNumber(key, r.Value, isInteger)) {
    r.Kind = isInteger ? IntConst : RealConst;
  }
}

// Closes the gaps of the merged records, then numbers every record and
// gives the operators their priorities.
void CloseGapsAndNumber(TTokenList& list) {
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

}  // namespace

void Lex(TTokenList& list) {
  if (list.empty()) {
    return;
  }
  const std::unordered_map<std::string, TokenKind> keywords = BuildKeywordTable();
  TLookBack back;
  for (size_t k = 0; k < list.size(); ++k) {
    if (JoinConstructName(list, k, back) || MarkStatementLabel(list, k, back)) {
      continue;
    }
    const std::string key = list[k]->Text;
    std::string upperKey = JoinPair(list, k, back);
    Classify(*list[k], key, upperKey, keywords);
  }
  CloseGapsAndNumber(list);
}
