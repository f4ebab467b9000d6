// Pass 1: reader, lexer and slice step in their order.
#include "frontend/pass1.h"

#include "frontend/lexer.h"
#include "frontend/source_reader.h"

TTokenList BuildTokenList(const std::string& source, TReporter& reporter) {
  TTokenList list;
  // About one record per four bytes of Fortran; reserving spares the copies.
  list.reserve(source.size() / 4 + 16);
  TSourceReader reader;
  list.push_back(std::make_unique<TToken>("", Sentinel, reader.Position(), reader.LineCounter()));
  reader.Read(source, list, reporter);
  list.push_back(std::make_unique<TToken>("", Sentinel, reader.Position(), reader.LineCounter()));
  Lex(list);
  SliceSource(source, list);
  return list;
}
