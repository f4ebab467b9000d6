// Texts of the run driver's messages.
#include "app/app_messages.h"

#include "platform/encoding.h"

using platform::Sjis;

namespace app_messages {

std::string ErrorPrefix() { return "*** Error *** "; }

std::string Start() { return "**** Start ****"; }

std::string SourceFileLine(const std::string& path) { return "SrcFile =\"" + path + "\""; }

std::string SourceNotFound(const std::string& path) {
  return Sjis("スクリプト実行対象ﾌｧｲﾙ ") + "\"" + path + "\"" + Sjis(" が見つかりません。");
}

std::string GiveCorrectFile() {
  return Sjis("引数（ドラッグするﾌｧｲﾙ）に正しいﾌｧｲﾙを指定してください。");
}

std::string PassStart(int pass) { return "Pass" + std::to_string(pass) + " Start"; }

std::string RegionHeading() { return Sjis("------ ﾁｭｰﾆﾝｸﾞﾘｰｼﾞｮﾝ ---------"); }

std::string RegionNumber(size_t index) {
  return Sjis("ﾁｭｰﾆﾝｸﾞﾘｰｼﾞｮﾝ : ") + std::to_string(index);
}

std::string End() { return "**** End ****"; }

std::string RunAborted() { return Sjis("スクリプト処理は、中断されました。"); }

std::string RunFailed() { return Sjis("スクリプト処理で、エラーが発生しました。"); }

std::string OutputUncertain() { return Sjis("出力結果は、未確定です。"); }

std::string StoppingRun() { return Sjis("スクリプト処理を中断します。"); }

std::string CannotOpenLog(const std::string& path) {
  return Sjis("ﾌｧｲﾙ ") + path + Sjis(" が開けません。");
}

std::string CannotReadSource(const std::string& path, const std::string& reason) {
  return "Cannot open file \"" + path + "\". " + reason;
}

std::string SourceTooLarge(const std::string& path) {
  return "Cannot read file \"" + path + "\": larger than 2 GiB.";
}

std::string CannotWriteFile(const std::string& path, const std::string& reason) {
  return Sjis("ﾌｧｲﾙに書き込めません ") + "\"" + path + "\" (" + reason + ")";
}

}  // namespace app_messages
