// The source reader and the slice step.
#include "frontend/source_reader.h"

#include "frontend/frontend_messages.h"
#include "frontend/text.h"

namespace {

// The bytes that end a word; each but the blank and the line ends also
// makes a record of its own.
bool IsDelimiter(char b) {
  switch (b) {
    case ' ': case '=': case '+': case '-': case '*': case '/': case '(': case ')':
    case ',': case '\'': case ';': case '"': case '!': case '%': case '&': case ':':
    case '<': case '>': case '?': case '$': case '\n': case '\r': case '\0':
      return true;
    default:
      return false;
  }
}

// The words between periods that make a dotted operator or a logical
// constant, as in a.lt.b or .true.
bool IsDottedWord(const std::string& text) {
  static const char* const kWords[] = {"LT", "LE",  "GT", "GE",  "EQ",   "NE",   "NOT",
                                       "AND", "OR", "EQV", "NEQV", "TRUE", "FALSE"};
  std::string upper = UpperAscii(text);
  for (const char* word : kWords) {
    if (upper == word) {
      return true;
    }
  }
  return false;
}

// A number that ends in its exponent letter, as 1.0d in 1.0d-3: its sign
// and digits still belong to it.
bool IsNumberBeforeExponent(const std::string& text) {
  if (text.size() < 2) {
    return false;
  }
  char last = text.back();
  if (last != 'e' && last != 'E' && last != 'd' && last != 'D') {
    return false;
  }
  size_t digits = 0;
  size_t points = 0;
  for (size_t i = 0; i + 1 < text.size(); ++i) {
    if (IsDigit(text[i])) {
      ++digits;
    } else if (text[i] == '.') {
      ++points;
    } else {
      return false;
    }
  }
  return digits > 0 && points <= 1;
}

}  // namespace

std::vector<TWordPiece> SplitWord(const std::string& word) {
  std::vector<TWordPiece> pieces;
  size_t start = 0;
  size_t i = 0;
  while (i < word.size()) {
    if (word[i] == '.') {
      size_t j = i + 1;
      while (j < word.size() && IsLetter(word[j])) {
        ++j;
      }
      if (j < word.size() && word[j] == '.' && IsDottedWord(word.substr(i + 1, j - i - 1))) {
        if (i > start) {
          pieces.push_back({start, i - start});
        }
        pieces.push_back({i, j + 1 - i});
        start = i = j + 1;
        continue;
      }
    }
    ++i;
  }
  if (start < word.size()) {
    pieces.push_back({start, word.size() - start});
  }
  return pieces;
}

namespace {

bool LastIs(const TTokenList& list, TokenKind kind) {
  return !list.empty() && list.back()->Kind == kind;
}

bool LastTextIs(const TTokenList& list, const char* text) {
  return !list.empty() && list.back()->Text == text;
}

}  // namespace

void TSourceReader::Read(const std::string& source, TTokenList& list, TReporter& reporter) {
  source_ = &source;
  reporter_ = &reporter;
  next_ = 0;
  position_ = 0;
  line_ = 1;
  word_.clear();
  wordEnds_.clear();
  echo_.clear();

  while (!AtEnd()) {
    char b = Take();
    if (b == '\t') {
      ReadTabLine();
      continue;
    }
    if (b == '\r') {
      continue;
    }
    if (b == '\n') {
      echo_.clear();
      ++line_;
      Tokenize(b, list);
      continue;
    }
    if (ContinuesFixedForm(b, list)) {
      continue;
    }
    echo_.push_back(b);
    if (b == '!' || (echo_.size() == 1 && (b == 'C' || b == 'c' || b == '*'))) {
      ReadComment(b, list);
      continue;
    }
    Tokenize(b, list);
  }
  FinishRead(list);
  source_ = nullptr;
  reporter_ = nullptr;
}

// A byte in column 6 after five blanks continues the previous statement
// (fixed form), unless it is a blank or "0": the end record of the previous
// line goes and the byte makes no record.
bool TSourceReader::ContinuesFixedForm(char b, TTokenList& list) {
  if (echo_.size() != 5 || b == ' ' || b == '0' || echo_ != "     " ||
      !LastIs(list, EndOfStatement)) {
    return false;
  }
  list.pop_back();
  echo_.push_back(b);
  return true;
}

// The last word, and an end record when the source does not end with one.
void TSourceReader::FinishRead(TTokenList& list) {
  const int32_t size = static_cast<int32_t>(source_->size());
  CompleteWord(source_->size(), list);
  if (!LastIs(list, EndOfStatement)) {
    position_ = size;
    Append("\n", EndOfStatement, list);
  }
  // Trailing empty lines belong to the last record, so that the slices of
  // the records together hold every byte of the source.
  if (list.back()->SrcPos < size) {
    position_ = size;
    list.back()->SrcPos = position_;
  }
}

// A TAB: the rest of the physical line is echoed with every TAB shown as
// "[TAB]", reported with its line number, and makes no records.
void TSourceReader::ReadTabLine() {
  echo_ += "[TAB]";
  while (!AtEnd()) {
    char c = Take();
    if (c == '\t') {
      echo_ += "[TAB]";
    } else if (c != '\r') {
      echo_.push_back(c);
    }
    if (c == '\n') {
      break;
    }
  }
  reporter_->ReportError(frontend_messages::TabFound());
  reporter_->ReportError(frontend_messages::TabLine(line_));
  reporter_->ReportError(echo_);
  echo_.clear();
  ++line_;
}

// A comment runs to the end of its line and is followed by its own
// end-of-statement record.
void TSourceReader::ReadComment(char first, TTokenList& list) {
  size_t startOffset = next_ - 1;
  std::string text(1, first);
  while (!AtEnd()) {
    char c = Take();
    text.push_back(c);
    if (c == '\n') {
      break;
    }
  }
  echo_.clear();
  ++line_;
  if (first == '!') {
    CompleteWord(startOffset, list);
    position_ = static_cast<int32_t>(next_);
    Append(text, BangComment, list);
  } else {
    position_ = static_cast<int32_t>(next_);
    Append(text, ColumnComment, list);
  }
  Append("", EndOfStatement, list);
}

// A quoted string. In an apostrophe string a doubled apostrophe stands for
// one; a double-quote string ends at the next double quote. An unclosed
// string runs to the end of the source.
void TSourceReader::ReadString(char quote, TTokenList& list) {
  CompleteWord(next_ - 1, list);
  std::string text(1, quote);
  while (!AtEnd()) {
    char c = Take();
    if (c == '\n') {
      // A string may run over a line end (fixed-form continuation).
      echo_.clear();
      ++line_;
    } else if (c != '\r') {
      echo_.push_back(c);
    }
    if (c == quote && quote == '\'' && !AtEnd() && (*source_)[next_] == '\'') {
      echo_.push_back(Take());
      text.push_back('\'');
      continue;
    }
    text.push_back(c);
    if (c == quote) {
      break;
    }
  }
  position_ = static_cast<int32_t>(next_);
  Append(text, StringConst, list);
}

// A free-form continuation: the "&" record goes and no end record is made.
// On the next line an "&" before the first blank drops what was read before
// it; other bytes begin the line's first word.
void TSourceReader::ContinueFreeForm(TTokenList& list) {
  list.pop_back();
  while (!AtEnd()) {
    char c = (*source_)[next_];
    if (c == '\r') {
      ++next_;
      continue;
    }
    if (c == '\n') {
      // Empty lines between continued lines are skipped.
      ++next_;
      echo_.clear();
      ++line_;
      continue;
    }
    if (c == '&') {
      ++next_;
      echo_.push_back(c);
      word_.clear();
      wordEnds_.clear();
      return;
    }
    if (c == ' ') {
      ++next_;
      echo_.push_back(c);
      return;
    }
    if (IsDelimiter(c) || c == '\t') {
      // The main loop reads it again.
      return;
    }
    ++next_;
    echo_.push_back(c);
    AddToWord(c);
  }
}

void TSourceReader::Tokenize(char b, TTokenList& list) {
  if (b == '\'' || b == '"') {
    ReadString(b, list);
    return;
  }
  if (!IsDelimiter(b)) {
    AddToWord(b);
    return;
  }
  if ((b == '+' || b == '-') && !AtEnd() && IsDigit((*source_)[next_]) && !word_.empty()) {
    std::vector<TWordPiece> pieces = SplitWord(word_);
    const TWordPiece& last = pieces.back();
    if (IsNumberBeforeExponent(word_.substr(last.Start, last.Length))) {
      AddToWord(b);
      return;
    }
  }
  CompleteWord(next_ - 1, list);
  if (b == ' ') {
    return;
  }
  if (b == '\n') {
    if (LastTextIs(list, "&")) {
      ContinueFreeForm(list);
    } else if (!LastIs(list, EndOfStatement)) {
      position_ = static_cast<int32_t>(next_);
      Append("\n", EndOfStatement, list);
    }
    return;
  }
  position_ = static_cast<int32_t>(next_);
  Append(std::string(1, b), Word, list);
}

void TSourceReader::CompleteWord(size_t endOffset, TTokenList& list) {
  if (word_.empty()) {
    return;
  }
  // Dotted operators and logical constants inside the word become records
  // of their own, each ending where its last byte ends.
  std::vector<TWordPiece> pieces = SplitWord(word_);
  for (size_t p = 0; p < pieces.size(); ++p) {
    const TWordPiece& piece = pieces[p];
    bool last = p + 1 == pieces.size();
    position_ = static_cast<int32_t>(last ? endOffset : wordEnds_[piece.Start + piece.Length - 1]);
    Append(word_.substr(piece.Start, piece.Length), Word, list);
  }
  word_.clear();
  wordEnds_.clear();
}

void TSourceReader::AddToWord(char b) {
  word_.push_back(b);
  wordEnds_.push_back(next_);
}

void TSourceReader::Append(const std::string& text, TokenKind kind, TTokenList& list) {
  list.push_back(std::make_unique<TToken>(text, kind, position_, line_));
}

void SliceSource(const std::string& source, TTokenList& list) {
  size_t p = 0;
  for (auto& record : list) {
    size_t end = record->SrcPos < 0 ? 0 : static_cast<size_t>(record->SrcPos);
    if (end > source.size()) {
      end = source.size();
    }
    if (end > p) {
      std::string slice;
      slice.reserve(end - p);
      for (size_t i = p; i < end; ++i) {
        if (source[i] != '\r') {
          slice.push_back(source[i]);
        }
      }
      record->SrcText = std::move(slice);
      p = end;
    }
  }
}
