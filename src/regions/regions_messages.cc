// Texts of the tuning-region messages.
#include "regions/regions_messages.h"

#include "platform/encoding.h"

using platform::Sjis;

namespace regions_messages {

std::string NotAnIntegerConstant(const std::string& statement) {
  return Sjis("Vexnor変数に整数定数以外が設定されています。 [") + statement + "]";
}

std::string SetTwice(const std::string& statement) {
  return Sjis("Vexnor変数が２度設定されています。 [") + statement + "]";
}

std::string SystemVariable(const std::string& statement) {
  return Sjis("Vexnor変数: ") + statement;
}

std::string RegionEndMissing() { return Sjis("region end が見つかりません。"); }

std::string VariedNamesMissing() { return Sjis("varied の変数指定が見つかりません。"); }

std::string SubRegionEndMissing() { return Sjis("sub region endが見つかりません。"); }

std::string NestedInUnroll() { return Sjis("Unroll内のRegionネストは、サポートしていません。"); }

std::string NotATuningKind(const std::string& directive) {
  return Sjis("region start の種類が install, static, dynamic のいずれでもありません。 [") +
         directive + "]";
}

std::string BadRegionName(const std::string& name) {
  return Sjis("リージョン名は英数字と'_'だけで書き、生成される名前が63文字以内になる長さにしてください。 [") +
         name + "]";
}

std::string TooManyVaried() {
  return Sjis("varied の変数は1つのリージョンにつき32個までです。");
}

std::string VariedRangeReversed(const std::string& directive) {
  return Sjis("varied の範囲の終わりが始まりより小さくなっています。 [") + directive + "]";
}

std::string TooManyCases(int64_t limit) {
  return Sjis("ケース数が多すぎます。上限は") + std::to_string(limit) + Sjis("です。");
}

std::string SampledPointOutside(int32_t point, int32_t caseCount) {
  return Sjis("sampled の点 ") + std::to_string(point) + Sjis(" がケース番号 1 から ") +
         std::to_string(caseCount) + Sjis(" の範囲にありません。");
}

std::string SampledListCut() { return Sjis("sampled の点が多すぎます。"); }

}  // namespace regions_messages
