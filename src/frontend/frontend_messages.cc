// Texts of the front end's messages.
#include "frontend/frontend_messages.h"

#include "platform/encoding.h"

namespace frontend_messages {

std::string TabFound() { return platform::Sjis("TAB文字が含まれています。"); }

std::string NoAssign() { return platform::Sjis("式に'='がありません。"); }

std::string TabLine(int32_t line) { return "Line = " + std::to_string(line); }

}  // namespace frontend_messages
