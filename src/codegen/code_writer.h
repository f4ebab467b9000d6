// The one writer through which every generator emits its text: the Fortran
// of the generated files and the pages of the visualization. A generator
// calls one verb per line, in the order the lines appear, and the writer
// decides the line end and the folding at column 72. It writes into a
// sink, so that its output can go to a string (tests, whole files) or
// straight into a file.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/files.h"

// Where a writer's text goes.
class TCodeSink {
 public:
  virtual ~TCodeSink() = default;
  virtual void Append(std::string_view text) = 0;
};

// Keeps the text in memory.
class TStringSink final : public TCodeSink {
 public:
  void Append(std::string_view text) override { text_.append(text); }
  const std::string& Text() const { return text_; }

 private:
  std::string text_;
};

// Writes the text into an open text file as it comes.
class TFileSink final : public TCodeSink {
 public:
  explicit TFileSink(platform::TTextFile& file) : file_(file) {}
  void Append(std::string_view text) override { file_.Write(std::string(text)); }

 private:
  platform::TTextFile& file_;
};

class TCodeWriter {
 public:
  explicit TCodeWriter(TCodeSink& sink) : sink_(sink) {}
  TCodeWriter(const TCodeWriter&) = delete;
  TCodeWriter& operator=(const TCodeWriter&) = delete;

  // The text and a line end; an empty line without text.
  void Line(std::string_view text = {});
  // The format filled like printf, and a line end.
  void LineF(const char* format, ...) __attribute__((format(printf, 2, 3)));

  // A statement the generator built, folded at column 72 (FoldLine: 72
  // columns, then "     &" continuation lines of 65), and a line end.
  void Folded(std::string_view statement);
  void FoldedF(const char* format, ...) __attribute__((format(printf, 2, 3)));
  // The same with the line end folded as the statement's last character,
  // the way the driver heading and the call-site calls have always been
  // written: a statement that fills its last line exactly is followed by
  // an empty continuation line, which compilers accept.
  void FoldedWithEnd(std::string_view statement);
  // A statement copied from the source, with the line ends it has there,
  // folded as one text.
  void FoldedSource(std::string_view text);

  // A comment line (text begins with its comment mark); past column 72
  // the comment goes on in further lines that begin with "c".
  void Comment(std::string_view text);

  // Text as it stands, line ends included: the source slices the
  // generators copy, and copied files.
  void Raw(std::string_view text);

 private:
  friend class TFittedLines;
  void Emit(std::string_view text);
  void EndFitting();

  TCodeSink& sink_;
  int fitting_ = 0;
  std::string pendingLine_;  // while fitting: the line not yet ended
};

// While an object of this class lives, every line that reaches the writer
// is fitted to column 72 as a finished line (FitToColumn72): the generated
// routines that hold the user's statements, moved right inside a case
// body, keep within the fixed-form columns without their comments turning
// into code. The last, unended line is fitted when the object goes.
class TFittedLines {
 public:
  explicit TFittedLines(TCodeWriter& writer) : writer_(writer) { ++writer_.fitting_; }
  ~TFittedLines() { writer_.EndFitting(); }
  TFittedLines(const TFittedLines&) = delete;
  TFittedLines& operator=(const TFittedLines&) = delete;

 private:
  TCodeWriter& writer_;
};
