// Whatever the bytes, Pass 1 keeps every byte in the records' slices, numbers
// the records by position and frames them with Sentinel records.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>

#include "test_support.h"

namespace {

std::string WithoutCarriageReturns(std::string text) {
  text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
  return text;
}

// Checks the invariants every record list holds after Pass 1.
void ExpectInvariants(const std::string& source, const TTokenList& list) {
  ASSERT_GE(list.size(), 3u);
  EXPECT_EQ(list.front()->Kind, Sentinel);
  EXPECT_EQ(list.back()->Kind, Sentinel);
  EXPECT_TRUE(list.front()->Text.empty() && list.front()->SrcText.empty());
  EXPECT_TRUE(list.back()->Text.empty() && list.back()->SrcText.empty());
  EXPECT_EQ(list[list.size() - 2]->Kind, EndOfStatement);
  std::string joined;
  int32_t lastPos = 0;
  for (size_t i = 0; i < list.size(); ++i) {
    ASSERT_TRUE(list[i]) << "gap at " << i;
    const TToken& t = *list[i];
    EXPECT_EQ(t.Index, static_cast<int32_t>(i));
    EXPECT_GE(t.SrcPos, lastPos) << "position goes back at " << i;
    lastPos = t.SrcPos;
    if (t.Kind == Label && i > 0) {
      // Only labels stand before a label in its statement.
      size_t j = i - 1;
      while (j > 0 && list[j]->Kind == Label) {
        --j;
      }
      EXPECT_TRUE(list[j]->Kind == EndOfStatement || list[j]->Kind == Sentinel) << i << "\n" << Dump(list);
    }
    joined += t.SrcText;
  }
  EXPECT_EQ(joined, WithoutCarriageReturns(source));
}

TEST(Pass1Invariants, HoldForEveryExample) {
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(VEXNOR_SOURCE_DIR "/examples")) {
    if (!entry.is_regular_file()) {
      continue;
    }
    std::string source = ReadFileBytes(entry.path().string());
    TRecordingReporter reporter;
    TTokenList list = BuildTokenList(source, reporter);
    SCOPED_TRACE(entry.path().string());
    EXPECT_EQ(reporter.Errors, 0);
    ExpectInvariants(source, list);
    // In an example every comment is followed by its end record.
    for (size_t i = 1; i + 1 < list.size(); ++i) {
      if (list[i]->Kind == BangComment || list[i]->Kind == ColumnComment) {
        EXPECT_EQ(list[i + 1]->Kind, EndOfStatement) << list[i]->Text;
      }
    }
    ++files;
  }
  EXPECT_GT(files, 0);
}

TEST(Pass1Invariants, HoldForRandomBytes) {
  std::mt19937 random(20261211);
  // Bytes that drive the reader's rules, then any byte at all.
  const std::string alphabet = "     \n\n\r!&'\"Cc*0123456789abDdeE.,;:()=+-/<>%$?_\t";
  for (int round = 0; round < 400; ++round) {
    std::string source;
    size_t length = random() % 300;
    bool binary = round % 4 == 3;
    for (size_t i = 0; i < length; ++i) {
      char c = binary ? static_cast<char>(random() % 256)
                      : alphabet[random() % alphabet.size()];
      if (c == '\t' && round % 2 == 0) {
        c = ' ';
      }
      source.push_back(c);
    }
    TRecordingReporter reporter;
    TTokenList list = BuildTokenList(source, reporter);
    SCOPED_TRACE(testing::Message() << "round " << round);
    ExpectInvariants(source, list);
  }
}

TEST(Pass1Invariants, HoldForLongAndUnclosedText) {
  const std::string cases[] = {
      std::string(100000, 'a') + "\n",
      "x = '" + std::string(100000, 'b'),
      "x = \"" + std::string(100000, ' ') + "\r\n\r\n",
      "! " + std::string(100000, '!'),
      std::string(100000, '&') + "\n" + std::string(1000, '\n'),
      std::string(5000, '\r') + "a",
  };
  for (const std::string& source : cases) {
    TRecordingReporter reporter;
    TTokenList list = BuildTokenList(source, reporter);
    ExpectInvariants(source, list);
  }
}

}  // namespace
