// Recognises directive lines and parses each into a directive record:
// splitting into words, the keyword, region word, parameter list, region
// mark and the fitting options.
#include "directives/directive_parser.h"

#include "frontend/text.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <map>
#include <utility>
#include <vector>

namespace {

const char kSentinel[] = "!Vexnor$";
const size_t kSentinelLength = sizeof kSentinel - 1;

using TWords = std::vector<std::string>;

// A blank, "(", ")" or "," ends a word; the three delimiters other than the
// blank are words of their own. Words are trimmed; empty ones are dropped.
TWords SplitWords(const std::string& text) {
  TWords words;
  std::string current;
  auto endWord = [&words, &current]() {
    std::string word = TrimControl(current);
    if (!word.empty()) {
      words.push_back(std::move(word));
    }
    current.clear();
  };
  for (char c : text) {
    if (c == ' ' || c == '(' || c == ')' || c == ',') {
      endWord();
      if (c != ' ') {
        words.emplace_back(1, c);
      }
    } else {
      current.push_back(c);
    }
  }
  endWord();
  return words;
}

// A BangComment whose first blank-separated word is the sentinel, with more
// text after the blank.
bool IsDirectiveLine(const TToken& record) {
  if (record.Kind != BangComment) {
    return false;
  }
  std::string text = TrimControl(record.Text);
  size_t blank = text.find(' ');
  return blank != std::string::npos && SameText(TrimControl(text.substr(0, blank)), kSentinel);
}

// The value beside word in table, letter case ignored, or fallback.
template <typename TValue, size_t N>
TValue WordValue(const std::string& word, const std::pair<const char*, TValue> (&table)[N],
                 TValue fallback) {
  for (const auto& entry : table) {
    if (SameText(word, entry.first)) {
      return entry.second;
    }
  }
  return fallback;
}

DirectiveKind KeywordKind(const std::string& word) {
  static const std::pair<const char*, DirectiveKind> kKeywords[] = {
      {"install", DirectiveKind::Install},
      {"static", DirectiveKind::Static},
      {"dynamic", DirectiveKind::Dynamic},
      {"name", DirectiveKind::Name},
      {"parameter", DirectiveKind::Parameter},
      {"select", DirectiveKind::Select},
      {"according", DirectiveKind::According},
      {"varied", DirectiveKind::Varied},
      {"fitting", DirectiveKind::Fitting},
      {"pripro", DirectiveKind::Pripro},
      {"postpro", DirectiveKind::Postpro},
      {"debug", DirectiveKind::Debug},
      {"Vexnor_DynPefThis", DirectiveKind::DynPefThis},
      {"Number", DirectiveKind::Number},
  };
  return WordValue(word, kKeywords, DirectiveKind::Statement);
}

RegionWordValue RegionWordOf(const std::string& word) {
  static const std::pair<const char*, RegionWordValue> kTypeWords[] = {
      {"define", RegionWordValue::Define},
      {"variable", RegionWordValue::Variable},
      {"select", RegionWordValue::Select},
      {"unroll", RegionWordValue::Unroll},
  };
  return WordValue(word, kTypeWords, RegionWordValue::None);
}

// The fixed-form statement of a Statement directive: the text after the
// sentinel, starting in column 7.
std::string StatementWord(const std::string& text) {
  std::string rest = text.size() > kSentinelLength ? text.substr(kSentinelLength) : "";
  return "      " + TrimControl(rest);
}

// Reads a "(" name, ... ")" list at p into Params; returns the position
// after the list (p itself when there is none).
size_t ParseParams(TScript& script, size_t p, const TParamIndex& params) {
  const TWords& words = script.Words;
  if (p >= words.size() || words[p] != "(") {
    return p;
  }
  for (++p; p < words.size(); ++p) {
    const std::string& word = words[p];
    if (word == ")") {
      return p + 1;
    }
    if (word == ",") {
      continue;
    }
    if (!script.Params) {
      script.Params = std::make_unique<std::vector<std::shared_ptr<TScValData>>>();
    }
    script.Params->push_back(params.Lookup(word));
  }
  return p;
}

DirectiveMark StartOrEnd(const TWords& words, size_t p, DirectiveMark start, DirectiveMark end) {
  if (p >= words.size()) {
    return DirectiveMark::None;
  }
  if (SameText(words[p], "start")) {
    return start;
  }
  if (SameText(words[p], "end")) {
    return end;
  }
  return DirectiveMark::None;
}

// "region start", "region end", "sub region start" or "sub region end" at p.
DirectiveMark MarkAt(const TWords& words, size_t p) {
  if (p >= words.size()) {
    return DirectiveMark::None;
  }
  if (SameText(words[p], "region")) {
    return StartOrEnd(words, p + 1, DirectiveMark::RegionStart, DirectiveMark::RegionEnd);
  }
  if (SameText(words[p], "sub") && p + 1 < words.size() && SameText(words[p + 1], "region")) {
    return StartOrEnd(words, p + 2, DirectiveMark::SubRegionStart, DirectiveMark::SubRegionEnd);
  }
  return DirectiveMark::None;
}

// The sampled points taken so far, kept as disjoint spans (low to high,
// keyed by low) so that a range costs the points it adds rather than its
// width.
class TPointSet {
 public:
  // Appends the values of low..high that are not yet taken to points, in
  // increasing order. Returns false when points reached kMaxSampledPoints
  // with a value still to add.
  bool Append(int32_t low, int32_t high, std::vector<int32_t>& points) {
    if (high < low) {
      return true;
    }
    int64_t next = low;
    auto span = spans_.upper_bound(low);
    if (span != spans_.begin() && std::prev(span)->second >= next) {
      next = std::prev(span)->second + 1;
    }
    while (next <= high) {
      int64_t gapEnd = span == spans_.end() ? high : std::min<int64_t>(high, span->first - 1);
      for (; next <= gapEnd; ++next) {
        if (points.size() >= kMaxSampledPoints) {
          return false;
        }
        points.push_back(static_cast<int32_t>(next));
      }
      if (span == spans_.end()) {
        break;
      }
      next = std::max(next, span->second + 1);
      ++span;
    }
    Take(low, high);
    return true;
  }

 private:
  // Joins low..high with the spans it overlaps or touches.
  void Take(int64_t low, int64_t high) {
    auto first = spans_.upper_bound(low);
    if (first != spans_.begin() && std::prev(first)->second >= low - 1) {
      --first;
    }
    auto last = first;
    for (; last != spans_.end() && last->first <= high + 1; ++last) {
      low = std::min(low, last->first);
      high = std::max(high, last->second);
    }
    spans_.erase(first, last);
    spans_.emplace(low, high);
  }

  std::map<int64_t, int64_t> spans_;
};

// A point N, a range 3-7, or -7 for 1 to 7.
void ReadRange(const std::string& word, int32_t& low, int32_t& high) {
  size_t dash = word.find('-');
  if (dash == std::string::npos) {
    low = high = LeadingInt(word);
  } else if (dash == 0) {
    low = 1;
    high = LeadingInt(word.substr(1));
  } else {
    low = LeadingInt(word.substr(0, dash));
    high = LeadingInt(word.substr(dash + 1));
  }
}

// The points and ranges from p on, up to ")" or the last word.
void ParseSampled(TScript& script, size_t p) {
  const TWords& words = script.Words;
  TPointSet taken;
  for (; p < words.size(); ++p) {
    const std::string& word = words[p];
    if (word == "(" || word == ",") {
      continue;
    }
    if (word == ")") {
      return;
    }
    int32_t low = 0;
    int32_t high = 0;
    ReadRange(word, low, high);
    if (!taken.Append(low, high, *script.SampledPoints)) {
      script.SampledCut = true;
      return;
    }
  }
}

// "fitting" method order "sampled" (points): every missing word leaves its
// default.
void ParseFitting(TScript& script) {
  const TWords& words = script.Words;
  script.SampledPoints = std::make_unique<std::vector<int32_t>>();
  script.FitMethod = words.size() > 2 && SameText(words[2], "least-squares") ? 1 : 0;
  if (words.size() > 3) {
    script.FitOrder = LeadingInt(words[3]);
  }
  if (words.size() > 4 && SameText(words[4], "sampled")) {
    ParseSampled(script, 5);
  }
}

// Kind from Words[1], then the structure that follows it. Reading past the
// last word ends the parse with the remaining fields at their defaults.
void ParseStructure(TScript& script, const TParamIndex& params) {
  if (script.Words.size() < 2) {
    return;
  }
  script.Kind = KeywordKind(script.Words[1]);
  if (script.Kind == DirectiveKind::Statement) {
    script.Words.assign(1, StatementWord(script.Text));
    return;
  }
  if (script.Words.size() <= 2) {
    return;
  }
  if (script.Kind == DirectiveKind::Fitting) {
    ParseFitting(script);
    return;
  }
  size_t p = 2;
  script.RegionWord = RegionWordOf(script.Words[2]);
  if (script.RegionWord != RegionWordValue::None) {
    ++p;
  }
  p = ParseParams(script, p, params);
  script.Mark = MarkAt(script.Words, p);
}

}  // namespace

std::shared_ptr<TScValData> TParamIndex::Lookup(const std::string& name) const {
  auto found = first_.find(UpperAscii(name));
  if (found != first_.end()) {
    if (std::shared_ptr<TScValData> param = found->second.lock()) {
      return param;
    }
  }
  auto param = std::make_shared<TScValData>();
  param->Name = name;
  return param;
}

void TParamIndex::Attach(const TScript& script) {
  if (!script.Params) {
    return;
  }
  for (const std::shared_ptr<TScValData>& param : *script.Params) {
    std::weak_ptr<TScValData>& first = first_[UpperAscii(param->Name)];
    if (first.expired()) {
      first = param;
    }
  }
}

TScriptPtr BuildScript(const TTokenList& list, int32_t index, const TParamIndex& params) {
  if (index < 0 || static_cast<size_t>(index) >= list.size() || !list[static_cast<size_t>(index)]) {
    return nullptr;
  }
  TScriptPtr script(new TScript());
  script->Text = list[static_cast<size_t>(index)]->Text;
  script->Index = index;
  script->Words = SplitWords(script->Text);
  ParseStructure(*script, params);
  return script;
}

void ParseDirectives(TTokenList& list) {
  TParamIndex params;
  for (size_t i = 1; i + 1 < list.size(); ++i) {
    TToken* record = list[i].get();
    if (record == nullptr || !IsDirectiveLine(*record)) {
      continue;
    }
    record->Script = BuildScript(list, static_cast<int32_t>(i), params);
    if (record->Script) {
      params.Attach(*record->Script);
    }
  }
}
