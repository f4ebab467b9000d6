// Messages of the Fortran front end, in CP932.
#pragma once

#include <cstdint>
#include <string>

namespace frontend_messages {

std::string TabFound();              // TAB文字が含まれています。
std::string TabLine(int32_t line);   // Line = <line>
std::string NoAssign();              // 式に'='がありません。

}  // namespace frontend_messages
