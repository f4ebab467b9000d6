// Messages of the code generators, in CP932.
#pragma once

#include <string>

namespace codegen_messages {

std::string ProblemSizeMissing();                     // parameter (N=)が設定されていません。
std::string CannotOpenSupportFile(const std::string& path);  // ファイル <path>が開けません。

}  // namespace codegen_messages
