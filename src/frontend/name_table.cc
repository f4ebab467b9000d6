// The variable index per program unit and the IMPLICIT rules of Pass 2.
#include "frontend/name_table.h"

#include "frontend/text.h"

TNameTable::TNameTable(TValList& vars) : vars_(vars) { ResetImplicitRules(); }

void TNameTable::ResetImplicitRules() {
  for (size_t c = 0; c < implicit_.size(); ++c) {
    bool integer = (c >= 'I' && c <= 'N') || (c >= 'i' && c <= 'n');
    implicit_[c] = {integer ? ValType::Int : ValType::Real, ""};
  }
}

void TNameTable::NextUnit() {
  ++unit_;
  unitVars_.clear();
  ResetImplicitRules();
}

// The unit number is part of the key, so that the same name in another
// unit is another variable.
std::string TNameTable::Key(const std::string& name) const {
  return UpperAscii(name) + '\x01' + std::to_string(unit_);
}

TValData* TNameTable::Find(const std::string& name) const {
  auto found = index_.find(Key(name));
  return found == index_.end() ? nullptr : found->second;
}

TValData* TNameTable::Create(const std::string& name) {
  auto var = std::make_unique<TValData>(name);
  const TImplicitRule& rule = ImplicitRule(name.empty() ? '\0' : name[0]);
  var->Unit = unit_;
  var->Type = rule.Type;
  var->ImplicitType = rule.Text;
  TValData* made = var.get();
  vars_.push_back(std::move(var));
  unitVars_.push_back(made);
  index_[Key(name)] = made;
  return made;
}

TValData* TNameTable::FindOrCreate(const std::string& name) {
  TValData* var = Find(name);
  return var != nullptr ? var : Create(name);
}

void TNameTable::MarkRead(TToken& record, bool beforeParen) {
  TValData* var = Find(record.Text);
  if (var == nullptr) {
    var = Create(record.Text);
    if (beforeParen) {
      var->IsArray = true;
      var->Type = FunctionType(var->Type);
    }
  }
  record.Access = AccessKind::Read;
  record.Var = var;
  ++var->ReadCount;
  record.Value = var->Value;
}

void TNameTable::SetImplicitRule(char letter, const TImplicitRule& rule) {
  implicit_[static_cast<unsigned char>(UpperChar(letter))] = rule;
  implicit_[static_cast<unsigned char>(LowerChar(letter))] = rule;
}

void TNameTable::RetypeUndeclared() {
  for (TValData* var : unitVars_) {
    if (var->TypeDeclared || var->Name.empty()) {
      continue;
    }
    const TImplicitRule& rule = ImplicitRule(var->Name[0]);
    var->Type = IsFunctionType(var->Type) ? FunctionType(rule.Type) : rule.Type;
    var->ImplicitType = rule.Text;
  }
}
