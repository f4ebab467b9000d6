// The record that carries the Fortran source through every pass: one token,
// one comment line or one end-of-statement mark. The whole source is one
// flat list of them; a statement is the run of records up to and including
// an EndOfStatement record.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TScript;
class TValData;

enum TokenKind : int8_t {
  Word = -1,
  Sentinel = 0,
  EndOfStatement = 1,
  BangComment = 2,
  ColumnComment = 3,
  StringConst = 4,
  IntConst = 5,
  RealConst = 6,
  Label = 7,
  // Keyword kinds, one per word of the keyword table.
  KwProgram = 8,
  KwSubroutine,
  KwFunction,
  KwModule,
  KwInterface,
  KwContains,
  KwUse,
  KwInclude,
  KwCommon,
  KwInteger,
  KwReal,
  KwDoublePrecision,
  KwCharacter,
  KwLogical,
  KwComplex,
  KwImplicit,
  KwType,
  KwNamelist,
  KwAllocatable,
  KwPointer,
  KwTarget,
  KwSave,
  KwPrivate,
  KwPublic,
  KwExternal,
  KwIntrinsic,
  KwIntent,
  KwOptional,
  KwWhere,
  KwAllocate,
  KwDeallocate,
  KwNullify,
  KwIf,
  KwThen,
  KwElse,
  KwElseIf,
  KwEndIf,
  KwDo,
  KwEndDo,
  KwSelect,
  KwCase,
  KwGoto,
  KwDoWhile,
  KwCall,
  KwReturn,
  KwStop,
  KwEnd,
  KwRead,
  KwWrite,
  KwPrint,
  KwBackspace,
  KwInquire,
  KwRewind,
  KwClose,
  KwOpen,
  KwEndFile,
  KwFormat,
  KwAssociated,
  KwContinue,
  KwCycle,
  KwData,
  KwDimension,
  KwExit,
  KwParameter = 71,
  Assign = 72,
  LParen = 73,
  RParen = 74,
  Comma = 75,
  Colon = 76,
  DoubleColon = 77,
  Operator = 78,
};

// How an occurrence of a variable is used.
enum class AccessKind : uint8_t {
  None = 0,
  Read = 1,
  Write = 2,
  ReadWrite = 3,
};

// A record owns the directive record hung on it, yet the front end does not
// depend on the directive subsystem: this deleter is defined beside TScript,
// so a record can be destroyed where TScript is only declared.
struct TScriptDeleter {
  void operator()(TScript* script) const;
};
using TScriptPtr = std::unique_ptr<TScript, TScriptDeleter>;

class TToken {
 public:
  // Text is trimmed of leading and trailing bytes up to 0x20; position and
  // line come from the reader's state at the moment the record is made.
  TToken(const std::string& text, TokenKind kind, int32_t srcPos, int32_t line);
  ~TToken();
  TToken(const TToken&) = delete;
  TToken& operator=(const TToken&) = delete;

  std::string Text;
  TokenKind Kind;
  std::string SrcText;
  int32_t SrcPos;
  int32_t Index = -1;
  int32_t Line;
  int32_t Unit = 0;
  int32_t UnitDepth = 0;
  int32_t BlockDepth = 0;
  int32_t EndDoIndex = -1;
  int32_t Priority = 1;
  TValData* Var = nullptr;
  TScriptPtr Script;
  AccessKind Access = AccessKind::None;
  double Value = 0.0;
};

using TTokenList = std::vector<std::unique_ptr<TToken>>;

// Removes leading and trailing bytes up to 0x20 (blanks and control bytes).
std::string TrimControl(const std::string& text);

// The name of a kind as a debug dump shows it ("Word", "DO", "Assign", ...).
std::string KindName(TokenKind kind);

// One line per record: index, kind, text and source slice, for tests.
std::string Dump(const TTokenList& list);
