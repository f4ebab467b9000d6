// Names and debug dumps of variable records.
#include "frontend/variable.h"

#include <cstdio>

std::string ValTypeName(int8_t type) {
  static const char* const kNames[] = {"Int",     "Real",     "Char",     "Logic",     "Complex",
                                       "IntFunc", "RealFunc", "CharFunc", "LogicFunc", "ComplexFunc"};
  if (type < 0 || type > VtComplexFunc) return "None";
  return kNames[type];
}

std::string Dump(const TValData& var) {
  char value[64];
  std::snprintf(value, sizeof value, "%g", var.Value);
  std::string out = var.Name + " unit=" + std::to_string(var.Unit) + " " + ValTypeName(var.Type);
  if (var.KindLen != 0) out += "*" + std::to_string(var.KindLen);
  if (var.HasValue) out += " value=" + std::string(value);
  if (var.IsArray) out += " array";
  if (var.IsArgument) out += " argument";
  if (var.IsParameter) out += " parameter";
  out += " decl=" + std::to_string(var.DeclIndex) + " type=[" + std::to_string(var.TypeStart) +
         "," + std::to_string(var.TypeEnd) + ")";
  if (var.DimStart >= 0) {
    out += " dim=[" + std::to_string(var.DimStart) + "," + std::to_string(var.DimEnd) + ")";
  }
  for (int32_t d = 0; d < var.DimCount; ++d) {
    out += " " + std::to_string(var.LowerBounds[d]) + ":" + std::to_string(var.Extents[d]);
  }
  out += " r=" + std::to_string(var.ReadCount) + " w=" + std::to_string(var.WriteCount);
  if (!var.ImplicitType.empty()) out += " implicit=" + var.ImplicitType;
  return out;
}
