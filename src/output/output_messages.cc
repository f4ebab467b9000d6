// Texts of the output pass's messages.
#include "output/output_messages.h"

#include "platform/encoding.h"

using platform::Sjis;

namespace output_messages {

std::string CannotCreateFolder(const std::string& path) {
  return Sjis("フォルダが作成出来ません。 ") + "\"" + path + "\"";
}

std::string CannotOpenFile(const std::string& path, const std::string& reason) {
  return Sjis("ﾌｧｲﾙが開けません ") + "\"" + path + "\" (" + reason + ")";
}

std::string NamesOverlap(const std::string& name, const std::string& other) {
  return Sjis("名前の一部が重複しています。( ") + name + " , " + other + " )";
}

std::string NameTakenByGeneratedCode(const std::string& variable, const std::string& region) {
  return Sjis("変数名 ") + variable + Sjis(" は生成されるルーチンが使う名前と重なります。リージョン ") +
         region + Sjis(" では別の名前にしてください。");
}

std::string RegionProgress(size_t k, size_t count) {
  return "TuneRegion = " + std::to_string(k) + "/" + std::to_string(count);
}

}  // namespace output_messages
