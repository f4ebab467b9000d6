// Construction, trimming and debug dumps of statement records.
#include "frontend/token.h"

#include <cstdio>

#include "frontend/keywords.h"

TToken::TToken(const std::string& text, TokenKind kind, int32_t srcPos, int32_t line)
    : Text(TrimControl(text)),
      Kind(kind),
      SrcPos(srcPos),
      Line(kind == EndOfStatement ? line - 1 : line) {}

TToken::~TToken() = default;

std::string TrimControl(const std::string& text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && static_cast<unsigned char>(text[begin]) <= 0x20) {
    ++begin;
  }
  while (end > begin && static_cast<unsigned char>(text[end - 1]) <= 0x20) {
    --end;
  }
  return text.substr(begin, end - begin);
}

std::string KindName(TokenKind kind) {
  switch (kind) {
    case Word: return "Word";
    case Sentinel: return "Sentinel";
    case EndOfStatement: return "EndOfStatement";
    case BangComment: return "BangComment";
    case ColumnComment: return "ColumnComment";
    case StringConst: return "StringConst";
    case IntConst: return "IntConst";
    case RealConst: return "RealConst";
    case Label: return "Label";
    case Assign: return "Assign";
    case LParen: return "LParen";
    case RParen: return "RParen";
    case Comma: return "Comma";
    case Colon: return "Colon";
    case DoubleColon: return "DoubleColon";
    case Operator: return "Operator";
    default: break;
  }
  if (const char* word = KeywordWord(kind)) {
    return word;
  }
  return "Kind" + std::to_string(static_cast<int>(kind));
}

namespace {

// Shows control bytes of a slice as escapes so that one record is one line.
std::string Visible(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') {
      out += "\\n";
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char buffer[8];
      std::snprintf(buffer, sizeof buffer, "\\x%02x", static_cast<unsigned char>(c));
      out += buffer;
    } else {
      out.push_back(c);
    }
  }
  return out;
}

}  // namespace

std::string Dump(const TTokenList& list) {
  std::string out;
  for (size_t i = 0; i < list.size(); ++i) {
    const TToken& t = *list[i];
    out += std::to_string(i) + " " + KindName(t.Kind) + " [" + Visible(t.Text) + "] {" +
           Visible(t.SrcText) + "}\n";
  }
  return out;
}
