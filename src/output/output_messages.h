// Messages of the output pass, in CP932.
#pragma once

#include <string>

namespace output_messages {

std::string CannotCreateFolder();  // フォルダが作成出来ません。
std::string CannotOpenFile();      // ﾌｧｲﾙが開けません
std::string NamesOverlap(const std::string& name, const std::string& other);
std::string NameTakenByGeneratedCode(const std::string& variable, const std::string& region);
std::string RegionProgress(size_t k, size_t count);  // TuneRegion = k/N

}  // namespace output_messages
