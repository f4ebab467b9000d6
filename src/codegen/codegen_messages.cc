// Texts of the code generators' messages.
#include "codegen/codegen_messages.h"

#include "platform/encoding.h"

using platform::Sjis;

namespace codegen_messages {

std::string ProblemSizeMissing() { return Sjis("parameter (N=)が設定されていません。"); }

std::string CannotOpenSupportFile(const std::string& path) {
  return Sjis("ファイル ") + path + Sjis("が開けません。");
}

}  // namespace codegen_messages
