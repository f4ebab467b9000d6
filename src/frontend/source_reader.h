// Pass 1, first and last steps: turns the bytes of the source file into
// records (words, delimiters, strings, comment lines, statement ends) with
// fixed-form and free-form comments and continuations, and afterwards gives
// every record its exact slice of the source.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "frontend/token.h"
#include "platform/reporter.h"

class TSourceReader {
 public:
  // Appends the records of the source to list, which already holds the
  // opening Sentinel record. TAB characters are reported as errors.
  void Read(const std::string& source, TTokenList& list, TReporter& reporter);

  // The position and line counter that the next record would get; the
  // driver's Sentinel records take them. Both are 0 before the first Read.
  int32_t Position() const { return position_; }
  int32_t LineCounter() const { return line_; }

 private:
  bool ContinuesFixedForm(char b, TTokenList& list);
  void FinishRead(TTokenList& list);
  void ReadTabLine();
  void ReadComment(char first, TTokenList& list);
  void ReadString(char quote, TTokenList& list);
  void ContinueFreeForm(TTokenList& list);
  void Tokenize(char b, TTokenList& list);
  void AddToWord(char b);
  void CompleteWord(size_t endOffset, TTokenList& list);
  void Append(const std::string& text, TokenKind kind, TTokenList& list);
  bool AtEnd() const { return next_ >= source_->size(); }
  char Take() { return (*source_)[next_++]; }

  const std::string* source_ = nullptr;
  TReporter* reporter_ = nullptr;
  size_t next_ = 0;       // offset of the next byte to read
  int32_t position_ = 0;  // SrcPos of the next record
  int32_t line_ = 0;      // Line of the next record
  std::string word_;      // the word being collected
  std::vector<size_t> wordEnds_;  // offset just past each byte of the word
  std::string echo_;      // the current physical line, carriage returns left out
};

// One record's part of a word: a dotted operator or logical constant
// (.lt., .true.) or the text between them.
struct TWordPiece {
  size_t Start;
  size_t Length;
};

// Cuts a word at its dotted operators and logical constants: a.lt.b gives
// a, .lt. and b; x.and..not.y gives x, .and., .not. and y.
std::vector<TWordPiece> SplitWord(const std::string& word);

// Fills SrcText of every record: the bytes from the end of the previous
// record to the end of this one, carriage returns removed. Takes the same
// bytes that Read took.
void SliceSource(const std::string& source, TTokenList& list);
