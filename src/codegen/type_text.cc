// Type parts of generated declarations.
#include "codegen/type_text.h"

bool CopiesDeclarationType(const TValData& var) {
  return var.TypeStart >= 0 && var.TypeDeclared && !var.IsParameter;
}

std::string JoinSource(const TTuneRegion& region, int32_t from, int32_t to) {
  std::string out;
  for (int32_t i = from; i >= 0 && i < to && i < static_cast<int32_t>(region.TokenList->size());
       ++i) {
    out += (*region.TokenList)[static_cast<size_t>(i)]->SrcText;
  }
  return out;
}

std::string TypeText(const TTuneRegion& region, const TValData& var) {
  if (CopiesDeclarationType(var)) {
    return JoinSource(region, var.TypeStart, var.TypeEnd);
  }
  if (!var.TypeDeclared && !var.ImplicitType.empty()) {
    return "      " + var.ImplicitType;
  }
  std::string word;
  switch (var.Type) {
    case ValType::Int: word = "integer"; break;
    case ValType::Real: word = "real"; break;
    case ValType::Char: word = "character"; break;
    case ValType::Logic: word = "logical"; break;
    case ValType::Complex: word = "complex"; break;
    default: return "";
  }
  if (var.TypeDeclared && var.TypeStart >= 0 &&
      (*region.TokenList)[static_cast<size_t>(var.TypeStart)]->Kind == KwDoublePrecision) {
    word = "double precision";
  } else if (var.TypeDeclared && var.KindLen > 0) {
    word += "*" + std::to_string(var.KindLen);
  }
  return "      " + word;
}
