// The variable table as Pass 2 fills it: one variable per name and program
// unit, found through an index, and the IMPLICIT rules that type a variable
// created without a declaration. Shared by the statement analysis and the
// constant folding of Pass 2.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "frontend/token.h"
#include "frontend/variable.h"

class TNameTable {
 public:
  // The type an initial letter gives, with the type text as the IMPLICIT
  // statement wrote it (empty for the default rule).
  struct TImplicitRule {
    ValType Type;
    std::string Text;
  };

  // New variables are appended to vars, which may already hold some.
  explicit TNameTable(TValList& vars);

  // The number of the current program unit, 0 for the first.
  int32_t Unit() const { return unit_; }
  // Starts the next program unit: its names make new variables and the
  // default rules hold again.
  void NextUnit();

  // Sizes the index for about this many names.
  void Reserve(size_t names) { index_.reserve(names); }

  // The variable of the name in the current unit, letter case ignored.
  TValData* Find(const std::string& name) const;
  // A new variable of the current unit, typed by the rule of its initial.
  TValData* Create(const std::string& name);
  TValData* FindOrCreate(const std::string& name);

  // Marks the name record a read of its variable. A name met for the first
  // time before a "(" is an array element or a function reference: its
  // variable becomes an array of the function type of its rule.
  void MarkRead(TToken& record, bool beforeParen);

  const TImplicitRule& ImplicitRule(char initial) const {
    return implicit_[static_cast<unsigned char>(initial)];
  }
  // The rule of a letter, in upper and lower case.
  void SetImplicitRule(char letter, const TImplicitRule& rule);
  // The variables of the unit that no type keyword declared take the rules
  // as they stand now (a dummy argument met in the heading before IMPLICIT).
  void RetypeUndeclared();

 private:
  void ResetImplicitRules();
  std::string Key(const std::string& name) const;

  TValList& vars_;
  std::unordered_map<std::string, TValData*> index_;  // upper name + unit
  std::vector<TValData*> unitVars_;                   // the variables of the current unit
  std::array<TImplicitRule, 256> implicit_;
  int32_t unit_ = 0;
};
