// Pass 3: finds the "!Vexnor$" directive lines among the statement records
// and hangs a parsed directive record (TScript) on each of them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>

#include "directives/script.h"
#include "frontend/token.h"

// The most sampled points one fitting directive keeps. A list that would
// grow past it stops there and the directive's SampledCut is set.
constexpr size_t kMaxSampledPoints = 100000;

// The parameter records of the directive records attached so far, by name
// with ASCII letter case ignored; for each name the first record attached
// that is still alive. Owns nothing: the directive records own their
// parameter records.
class TParamIndex {
 public:
  // The shared record of name, or, when no attached directive names it, a
  // new record with that name. The caller appends it to its directive's
  // Params.
  std::shared_ptr<TScValData> Lookup(const std::string& name) const;

  // Shares the parameters of a directive record that has just been
  // attached with the directives built after it. A name already known
  // keeps its earlier record.
  void Attach(const TScript& script);

 private:
  std::unordered_map<std::string, std::weak_ptr<TScValData>> first_;
};

// Builds the directive record of the statement record at index: its words,
// kind, region word, parameters, mark and fitting fields. Parameter names
// are looked up in params; the caller stores the record in the statement
// record's Script and then passes it to params.Attach. Returns null when
// index addresses no record of list.
TScriptPtr BuildScript(const TTokenList& list, int32_t index, const TParamIndex& params);

// Pass 3: attaches a directive record to every directive line of list.
// Reports nothing and never stops the run.
void ParseDirectives(TTokenList& list);
