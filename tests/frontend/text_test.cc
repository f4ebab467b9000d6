// The shared text helpers: the two ways integers are read (directive words
// and system-variable values) and case handling that leaves non-ASCII bytes
// alone.
#include "frontend/text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace {

constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();

TEST(Text, LeadingIntReadsUpToTheFirstOtherByteAndSaturates) {
  const struct {
    const char* Text;
    int32_t Expected;
  } kCases[] = {
      {"12abc", 12},        {"  -7", -7},           {"+3", 3},
      {"", 0},              {"abc", 0},             {"-", 0},
      {"\t5", 0},           {"1-3", 1},             {"0x10", 0},
      {"2147483647", kMax}, {"99999999999", kMax},  {"-2147483648", kMin},
      {"-99999999999", kMin},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(LeadingInt(c.Text), c.Expected) << c.Text;
  }
}

TEST(Text, IntegerConstantIsDecimalOrHexadecimalWithNothingAfterIt) {
  const struct {
    const char* Text;
    bool Valid;
    int32_t Expected;
  } kCases[] = {
      {"42", true, 42},           {" -7", true, -7},           {"$1F", true, 31},
      {"-0x10", true, -16},       {"x7f", true, 127},          {"+0X7FFFFFFF", true, kMax},
      {"2147483647", true, kMax}, {"-2147483648", true, kMin}, {"2147483648", false, 0},
      {"-2147483649", false, 0},  {"12a", false, 0},           {"", false, 0},
      {"-", false, 0},            {"0x", false, 0},            {"$", false, 0},
      {"0x1g", false, 0},         {"1F", false, 0},            {"5 ", false, 0},
  };
  for (const auto& c : kCases) {
    int32_t value = 0;
    EXPECT_EQ(ReadIntegerConstant(c.Text, value), c.Valid) << c.Text;
    EXPECT_EQ(value, c.Expected) << c.Text;
  }
}

TEST(Text, CaseHelpersChangeOnlyAsciiLetters) {
  const std::string mixed = "Ab_9\x82\xa0z";
  EXPECT_EQ(UpperAscii(mixed), "AB_9\x82\xa0Z");
  EXPECT_EQ(LowerAscii(mixed), "ab_9\x82\xa0z");
  EXPECT_TRUE(SameText(mixed, "aB_9\x82\xa0Z"));
  EXPECT_FALSE(SameText("\x82\xa0", "\x82\x80"));
  EXPECT_FALSE(SameText("ab", "abc"));
  EXPECT_FALSE(IsLetter('\x82'));
  EXPECT_FALSE(IsNameChar('$'));
  EXPECT_TRUE(IsNameChar('_'));
}

}  // namespace
