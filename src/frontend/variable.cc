// Names and debug dumps of variable records.
#include "frontend/variable.h"

#include <cstdio>

ValType FunctionType(ValType type) {
  switch (type) {
    case ValType::Int: return ValType::IntFunc;
    case ValType::Real: return ValType::RealFunc;
    case ValType::Char: return ValType::CharFunc;
    case ValType::Logic: return ValType::LogicFunc;
    case ValType::Complex: return ValType::ComplexFunc;
    default: return type;
  }
}

bool IsFunctionType(ValType type) {
  switch (type) {
    case ValType::IntFunc:
    case ValType::RealFunc:
    case ValType::CharFunc:
    case ValType::LogicFunc:
    case ValType::ComplexFunc:
      return true;
    default:
      return false;
  }
}

std::string ValTypeName(ValType type) {
  switch (type) {
    case ValType::None: return "None";
    case ValType::Int: return "Int";
    case ValType::Real: return "Real";
    case ValType::Char: return "Char";
    case ValType::Logic: return "Logic";
    case ValType::Complex: return "Complex";
    case ValType::IntFunc: return "IntFunc";
    case ValType::RealFunc: return "RealFunc";
    case ValType::CharFunc: return "CharFunc";
    case ValType::LogicFunc: return "LogicFunc";
    case ValType::ComplexFunc: return "ComplexFunc";
  }
  return "None";
}

std::string Dump(const TValData& var) {
  char value[64];
  std::snprintf(value, sizeof value, "%g", var.Value);
  std::string out = var.Name + " unit=" + std::to_string(var.Unit) + " " + ValTypeName(var.Type);
  if (var.KindLen != 0) {
    out += "*" + std::to_string(var.KindLen);
  }
  if (var.HasValue) {
    out += " value=" + std::string(value);
  }
  if (var.IsArray) {
    out += " array";
  }
  if (var.IsArgument) {
    out += " argument";
  }
  if (var.IsParameter) {
    out += " parameter";
  }
  out += " decl=" + std::to_string(var.DeclIndex) + " type=[" + std::to_string(var.TypeStart) +
         "," + std::to_string(var.TypeEnd) + ")";
  if (var.DimStart >= 0) {
    out += " dim=[" + std::to_string(var.DimStart) + "," + std::to_string(var.DimEnd) + ")";
  }
  for (int32_t d = 0; d < var.DimCount; ++d) {
    out += " " + std::to_string(var.LowerBounds[d]) + ":" + std::to_string(var.Extents[d]);
  }
  out += " r=" + std::to_string(var.ReadCount) + " w=" + std::to_string(var.WriteCount);
  if (!var.ImplicitType.empty()) {
    out += " implicit=" + var.ImplicitType;
  }
  return out;
}
