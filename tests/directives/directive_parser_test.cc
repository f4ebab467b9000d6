// Pass 3: which comment lines are directives, and the directive record that
// each of them gets (compared whole through TScript::Dump).
#include "directives/directive_parser.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>

#include "test_support.h"

namespace {

// The dumps of the directive records attached to list, one per line.
std::string Scripts(const TTokenList& list) {
  std::string out;
  for (const auto& record : list) {
    if (record->Script) {
      out += record->Script->Dump() + "\n";
    }
  }
  return out;
}

TTokenList ParseSource(const std::string& source) {
  TRecordingReporter reporter;
  TTokenList list = BuildTokenList(source, reporter);
  EXPECT_EQ(reporter.Errors, 0);
  ParseDirectives(list);
  return list;
}

// A list holding one comment record with exactly this text, for bytes the
// reader would not let through (TAB and other control bytes).
TTokenList OneComment(const std::string& text) {
  TTokenList list;
  list.push_back(std::make_unique<TToken>("", Sentinel, 0, 1));
  list.push_back(std::make_unique<TToken>("", BangComment, 0, 1));
  list.back()->Text = text;
  list.push_back(std::make_unique<TToken>("\n", EndOfStatement, 0, 2));
  list.push_back(std::make_unique<TToken>("", Sentinel, 0, 2));
  for (size_t i = 0; i < list.size(); ++i) {
    list[i]->Index = static_cast<int32_t>(i);
  }
  return list;
}

const TScript* FirstScript(const TTokenList& list) {
  for (const auto& record : list) {
    if (record->Script) {
      return record->Script.get();
    }
  }
  return nullptr;
}

struct TDirectiveCase {
  const char* Name;
  std::string Source;
  std::string Expected;  // Scripts() after Pass 3
};

void PrintTo(const TDirectiveCase& c, std::ostream* os) { *os << c.Name; }

const std::string kNoFit = " fit=0 order=0 sampled=null";

const TDirectiveCase kSourceCases[] = {
    {"CaseIgnored", "!vexnor$ INSTALL select region start\n",
     "kind=Install region=select mark=RegionStart params=null "
     "words=!vexnor$|INSTALL|select|region|start" + kNoFit + "\n"},
    {"SentinelAlone", "!Vexnor$\n!Vexnor$   \n      x = 1\n", ""},
    {"SentinelGluedToKeyword", "!Vexnor$install region start\n", ""},
    {"ColumnCommentLines", "c!Vexnor$ install region start\n*!Vexnor$ static region start\n", ""},
    {"SentinelNotFirstWord", "! !Vexnor$ install region start\n!Vexnor$: install region start\n", ""},
    {"CommentAfterCode", "      x = 1 !Vexnor$ debug on\n",
     "kind=Debug region=none mark=none params=null words=!Vexnor$|debug|on" + kNoFit + "\n"},
    {"StatementWord", "!Vexnor$   x = 4\n",
     "kind=Statement region=none mark=none params=null words=      x = 4" + kNoFit + "\n"},
    {"SystemVariable", "!Vexnor$ Vexnor_ENDTUNESIZE = 400\n",
     "kind=Statement region=none mark=none params=null words=      Vexnor_ENDTUNESIZE = 400" +
         kNoFit + "\n"},
    {"UnrollRegionStart", "!Vexnor$ static unroll (i, j) region start\n",
     "kind=Static region=unroll mark=RegionStart params=(i#1,j#1) "
     "words=!Vexnor$|static|unroll|(|i|,|j|)|region|start" + kNoFit + "\n"},
    {"VariedKeepsItsWords", "!Vexnor$ varied (i) from 1 to 8\n",
     "kind=Varied region=none mark=none params=(i#1) words=!Vexnor$|varied|(|i|)|from|1|to|8" +
         kNoFit + "\n"},
    {"NamesSharedIgnoringCase", "!Vexnor$ install (n) region start\n!Vexnor$ varied (N) from 1 to 4\n",
     "kind=Install region=none mark=RegionStart params=(n#2) words=!Vexnor$|install|(|n|)|region|start" +
         kNoFit + "\n" +
         "kind=Varied region=none mark=none params=(n#2) words=!Vexnor$|varied|(|N|)|from|1|to|4" +
         kNoFit + "\n"},
    {"NameRepeatedInOneList", "!Vexnor$ varied (k, K) from 1 to 2\n!Vexnor$ dynamic (K) region end\n",
     "kind=Varied region=none mark=none params=(k#2,K#1) "
     "words=!Vexnor$|varied|(|k|,|K|)|from|1|to|2" + kNoFit + "\n" +
         "kind=Dynamic region=none mark=RegionEnd params=(k#2) words=!Vexnor$|dynamic|(|K|)|region|end" +
         kNoFit + "\n"},
    {"RegionStartAndEnd",
     "!Vexnor$ install unroll (i) region start\n      x = 1\n!Vexnor$ Install Unroll (i) Region End\n",
     "kind=Install region=unroll mark=RegionStart params=(i#2) "
     "words=!Vexnor$|install|unroll|(|i|)|region|start" + kNoFit + "\n" +
         "kind=Install region=unroll mark=RegionEnd params=(i#2) "
         "words=!Vexnor$|Install|Unroll|(|i|)|Region|End" + kNoFit + "\n"},
    {"SubRegions", "!Vexnor$ select sub region start\n!Vexnor$ SELECT Sub Region END\n",
     "kind=Select region=none mark=SubRegionStart params=null words=!Vexnor$|select|sub|region|start" +
         kNoFit + "\n" +
         "kind=Select region=none mark=SubRegionEnd params=null words=!Vexnor$|SELECT|Sub|Region|END" +
         kNoFit + "\n"},
    {"MarkIncomplete",
     "!Vexnor$ install sub\n!Vexnor$ install region\n!Vexnor$ static sub region\n"
     "!Vexnor$ dynamic region middle\n!Vexnor$ install sub start\n",
     "kind=Install region=none mark=none params=null words=!Vexnor$|install|sub" + kNoFit + "\n" +
         "kind=Install region=none mark=none params=null words=!Vexnor$|install|region" + kNoFit + "\n" +
         "kind=Static region=none mark=none params=null words=!Vexnor$|static|sub|region" + kNoFit +
         "\n" + "kind=Dynamic region=none mark=none params=null words=!Vexnor$|dynamic|region|middle" +
         kNoFit + "\n" +
         "kind=Install region=none mark=none params=null words=!Vexnor$|install|sub|start" + kNoFit +
         "\n"},
    {"UnclosedParamList", "!Vexnor$ dynamic variable (a, b region start\n",
     "kind=Dynamic region=variable mark=none params=(a#1,b#1,region#1,start#1) "
     "words=!Vexnor$|dynamic|variable|(|a|,|b|region|start" + kNoFit + "\n"},
    {"EmptyParamList", "!Vexnor$ static define () region start\n",
     "kind=Static region=define mark=RegionStart params=null "
     "words=!Vexnor$|static|define|(|)|region|start" + kNoFit + "\n"},
    {"EveryOtherKeyword",
     "!Vexnor$ name mxv\n!Vexnor$ NUMBER 3\n!Vexnor$ according cost = n*n\n!Vexnor$ Parameter (a)\n"
     "!Vexnor$ pripro x = 1\n!Vexnor$ postpro x = 2\n!Vexnor$ vexnor_dynpefthis (\"mxv\")\n",
     "kind=Name region=none mark=none params=null words=!Vexnor$|name|mxv" + kNoFit + "\n" +
         "kind=Number region=none mark=none params=null words=!Vexnor$|NUMBER|3" + kNoFit + "\n" +
         "kind=According region=none mark=none params=null words=!Vexnor$|according|cost|=|n*n" +
         kNoFit + "\n" +
         "kind=Parameter region=none mark=none params=(a#1) words=!Vexnor$|Parameter|(|a|)" + kNoFit +
         "\n" + "kind=Pripro region=none mark=none params=null words=!Vexnor$|pripro|x|=|1" + kNoFit +
         "\n" + "kind=Postpro region=none mark=none params=null words=!Vexnor$|postpro|x|=|2" +
         kNoFit + "\n" +
         "kind=DynPefThis region=none mark=none params=(\"mxv\"#1) "
         "words=!Vexnor$|vexnor_dynpefthis|(|\"mxv\"|)" + kNoFit + "\n"},
    {"ShiftJisBytes", "!Vexnor$ name \x83\x65\x83\x58\x83\x67\n!Vexnor$ \x82\xa0 = 1\n",
     "kind=Name region=none mark=none params=null words=!Vexnor$|name|\x83\x65\x83\x58\x83\x67" +
         kNoFit + "\n" + "kind=Statement region=none mark=none params=null words=      \x82\xa0 = 1" +
         kNoFit + "\n"},
    {"SampledPointsAndRanges", "!Vexnor$ fitting least-squares 5 sampled (1-3, 2, -2, 5-4, 8)\n",
     "kind=Fitting region=none mark=none params=null "
     "words=!Vexnor$|fitting|least-squares|5|sampled|(|1-3|,|2|,|-2|,|5-4|,|8|) "
     "fit=1 order=5 sampled=(1,2,3,8)\n"},
    {"FittingAlone", "!Vexnor$ fitting\n",
     "kind=Fitting region=none mark=none params=null words=!Vexnor$|fitting" + kNoFit + "\n"},
    {"FittingMethodOnly", "!Vexnor$ Fitting Least-Squares\n",
     "kind=Fitting region=none mark=none params=null words=!Vexnor$|Fitting|Least-Squares "
     "fit=1 order=0 sampled=()\n"},
    {"FittingOtherMethodAndListEnd", "!Vexnor$ FITTING spline 3x SAMPLED 4 ) 9\n",
     "kind=Fitting region=none mark=none params=null words=!Vexnor$|FITTING|spline|3x|SAMPLED|4|)|9 "
     "fit=0 order=3 sampled=(4)\n"},
    {"SampledListUnclosed", "!Vexnor$ fitting least-squares 2 sampled (7, 3-4\n",
     "kind=Fitting region=none mark=none params=null "
     "words=!Vexnor$|fitting|least-squares|2|sampled|(|7|,|3-4 fit=1 order=2 sampled=(7,3,4)\n"},
    {"HugeNumbers",
     "!Vexnor$ fitting least-squares 99999999999 sampled (99999999999, 1e300, -0, 5--3, +4)\n"
     "!Vexnor$ fitting least-squares -99999999999 sampled (2147483645-99999999999)\n"
     "!Vexnor$ varied (i) from 99999999999 to 1e300\n",
     "kind=Fitting region=none mark=none params=null "
     "words=!Vexnor$|fitting|least-squares|99999999999|sampled|(|99999999999|,|1e300|,|-0|,|5--3|,|+4|) "
     "fit=1 order=2147483647 sampled=(2147483647,1,4)\n"
     "kind=Fitting region=none mark=none params=null "
     "words=!Vexnor$|fitting|least-squares|-99999999999|sampled|(|2147483645-99999999999|) "
     "fit=1 order=-2147483648 sampled=(2147483645,2147483646,2147483647)\n"
     "kind=Varied region=none mark=none params=(i#1) "
     "words=!Vexnor$|varied|(|i|)|from|99999999999|to|1e300" + kNoFit + "\n"},
};

class SourceCases : public ::testing::TestWithParam<TDirectiveCase> {};

TEST_P(SourceCases, GiveTheseDirectiveRecords) {
  const TDirectiveCase& c = GetParam();
  EXPECT_EQ(Scripts(ParseSource(c.Source)), c.Expected);
}

INSTANTIATE_TEST_SUITE_P(Directive, SourceCases, ::testing::ValuesIn(kSourceCases),
                         [](const auto& info) { return std::string(info.param.Name); });

// Comment texts with bytes that the reader never lets into a record.
const TDirectiveCase kRecordCases[] = {
    {"TabGluesSentinelToKeyword", "!Vexnor$\tinstall region start", ""},
    {"TabAfterSentinelIsTrimmed", "!Vexnor$\t install region start",
     "kind=Install region=none mark=RegionStart params=null words=!Vexnor$|install|region|start" +
         kNoFit + "\n"},
    {"TabInsideAWordKeepsIt", "!Vexnor$ install\tunroll region start",
     "kind=Statement region=none mark=none params=null words=      install\tunroll region start" +
         kNoFit + "\n"},
    {"ControlBytesAtWordEndsAreTrimmed", "!Vexnor$ static \x01unroll\x02 (\x03i\x04) region start",
     "kind=Static region=unroll mark=RegionStart params=(i#1) "
     "words=!Vexnor$|static|unroll|(|i|)|region|start" + kNoFit + "\n"},
};

class RecordCases : public ::testing::TestWithParam<TDirectiveCase> {};

TEST_P(RecordCases, GiveTheseDirectiveRecords) {
  const TDirectiveCase& c = GetParam();
  TTokenList list = OneComment(c.Source);
  ParseDirectives(list);
  EXPECT_EQ(Scripts(list), c.Expected);
}

INSTANTIATE_TEST_SUITE_P(Directive, RecordCases, ::testing::ValuesIn(kRecordCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(DirectiveParser, AttachesToTheDirectiveLineOnly) {
  TTokenList list = ParseSource("      x = 1\n!Vexnor$ name a\n! plain\n");
  for (size_t i = 0; i < list.size(); ++i) {
    const TToken& record = *list[i];
    if (record.Kind == BangComment && record.Text == "!Vexnor$ name a") {
      ASSERT_TRUE(record.Script);
      EXPECT_EQ(record.Script->Index, static_cast<int32_t>(i));
      EXPECT_EQ(record.Script->Text, record.Text);
      EXPECT_EQ(record.Script->Region, nullptr);
    } else {
      EXPECT_FALSE(record.Script) << i;
    }
  }
}

TEST(DirectiveParser, SharedNamesAreOneRecord) {
  TTokenList list = ParseSource("!Vexnor$ install (n) region start\n!Vexnor$ varied (N) from 1 to 4\n");
  std::vector<const TScript*> scripts;
  for (const auto& record : list) {
    if (record->Script) {
      scripts.push_back(record->Script.get());
    }
  }
  ASSERT_EQ(scripts.size(), 2u);
  EXPECT_EQ((*scripts[0]->Params)[0], (*scripts[1]->Params)[0]);
}

TEST(DirectiveParser, BuildScriptOutsideTheListGivesNothing) {
  TTokenList list = OneComment("!Vexnor$ name a");
  TParamIndex params;
  EXPECT_EQ(BuildScript(list, -1, params), nullptr);
  EXPECT_EQ(BuildScript(list, static_cast<int32_t>(list.size()), params), nullptr);
}

// A line of 100,000 characters of one repeated name: every occurrence in the
// line gets its own record, a later directive shares the first.
TEST(DirectiveParser, LongParameterLine) {
  std::string line = "!Vexnor$ varied (";
  for (int i = 0; i < 50000; ++i) {
    line += "p,";
  }
  line += "q) from 1 to 2";
  ASSERT_GE(line.size(), 100000u);
  TTokenList list = ParseSource(line + "\n!Vexnor$ install (P) region start\n");
  std::vector<const TScript*> scripts;
  for (const auto& record : list) {
    if (record->Script) {
      scripts.push_back(record->Script.get());
    }
  }
  ASSERT_EQ(scripts.size(), 2u);
  ASSERT_TRUE(scripts[0]->Params);
  ASSERT_EQ(scripts[0]->Params->size(), 50001u);
  EXPECT_EQ((*scripts[0]->Params)[0].use_count(), 2);
  EXPECT_EQ((*scripts[0]->Params)[1].use_count(), 1);
  EXPECT_EQ((*scripts[0]->Params)[50000]->Name, "q");
  ASSERT_TRUE(scripts[1]->Params);
  EXPECT_EQ((*scripts[1]->Params)[0], (*scripts[0]->Params)[0]);
  EXPECT_EQ(scripts[0]->Words.size(), 3u + 100000u + 6u);
}

TEST(DirectiveParser, LongLinesWithoutStructure) {
  std::string word(100000, 'x');
  std::string parens(100000, '(');
  TTokenList list = ParseSource("!Vexnor$" + word + "\n!Vexnor$ " + word + "\n!Vexnor$ install " +
                                parens + "\n");
  std::vector<const TScript*> scripts;
  for (const auto& record : list) {
    if (record->Script) {
      scripts.push_back(record->Script.get());
    }
  }
  ASSERT_EQ(scripts.size(), 2u);
  EXPECT_EQ(scripts[0]->Kind, DirectiveKind::Statement);
  EXPECT_EQ(scripts[0]->Words, std::vector<std::string>{"      " + word});
  EXPECT_EQ(scripts[1]->Kind, DirectiveKind::Install);
  ASSERT_TRUE(scripts[1]->Params);
  EXPECT_EQ(scripts[1]->Params->size(), 99999u);
  EXPECT_EQ(scripts[1]->Mark, DirectiveMark::None);
}

struct TSampledCase {
  const char* Name;
  std::string List;  // the words after "sampled"
  size_t Size;
  int32_t Front;
  int32_t Back;
  bool Cut;
};

void PrintTo(const TSampledCase& c, std::ostream* os) { *os << c.Name; }

std::string Repeat(const std::string& text, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) {
    out += text;
  }
  return out;
}

const TSampledCase kSampledCases[] = {
    {"WideRangeIsCut", "(1-2000000000)", kMaxSampledPoints, 1, 100000, true},
    {"OpenRangeToHugeIsCut", "(-99999999999)", kMaxSampledPoints, 1, 100000, true},
    {"FullListIsNotCut", "(1-100000, 100000, 3)", kMaxSampledPoints, 1, 100000, false},
    {"OneMoreIsCut", "(1-100000, 5, 100001, 7)", kMaxSampledPoints, 1, 100000, true},
    {"TopOfTheRange", "(2147483647-2147483647, 2147483600-99999999999)", 48, 2147483647, 2147483646,
     false},
    {"RepeatedWideRanges", "(" + Repeat("1-100000,", 11000) + ")", kMaxSampledPoints, 1, 100000,
     false},
    {"InterleavedRanges", "(" + Repeat("9-9,", 10) + "2-4, 7-7, 1-10, 20-18)", 10, 9, 10, false},
};

class SampledCases : public ::testing::TestWithParam<TSampledCase> {};

TEST_P(SampledCases, StayWithinTheBound) {
  const TSampledCase& c = GetParam();
  TTokenList list = ParseSource("!Vexnor$ fitting least-squares 2 sampled " + c.List + "\n");
  const TScript* script = FirstScript(list);
  ASSERT_TRUE(script && script->SampledPoints);
  const std::vector<int32_t>& points = *script->SampledPoints;
  ASSERT_EQ(points.size(), c.Size);
  EXPECT_EQ(points.front(), c.Front);
  EXPECT_EQ(points.back(), c.Back);
  EXPECT_EQ(script->SampledCut, c.Cut);
  EXPECT_EQ(std::set<int32_t>(points.begin(), points.end()).size(), points.size());
}

INSTANTIATE_TEST_SUITE_P(Directive, SampledCases, ::testing::ValuesIn(kSampledCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(DirectiveParser, InterleavedRangesKeepFirstAppearance) {
  TTokenList list = ParseSource("!Vexnor$ fitting least-squares 2 sampled (9, 2-4, 7, 1-10, 6-12)\n");
  const TScript* script = FirstScript(list);
  ASSERT_TRUE(script && script->SampledPoints);
  EXPECT_EQ(*script->SampledPoints, (std::vector<int32_t>{9, 2, 3, 4, 7, 1, 5, 6, 8, 10, 11, 12}));
}

// Random directive lines: nothing crashes, and every record keeps the
// invariants later passes rely on.
TEST(DirectiveParser, RandomLinesKeepInvariants) {
  const std::vector<std::string> pieces = {
      "(", ")", ",", " ", " ", "-", "1", "7", "3-9", "-4", "99999999999", "1e300", "region", "sub",
      "start", "end", "install", "static", "fitting", "least-squares", "sampled", "varied", "unroll",
      "select", "n", "N", "\t", "\x01", "\x83\x65", "\xff", "!Vexnor$"};
  std::mt19937 random(31337);
  for (int round = 0; round < 300; ++round) {
    TTokenList list;
    list.push_back(std::make_unique<TToken>("", Sentinel, 0, 1));
    for (int line = 0; line < 4; ++line) {
      std::string text = round % 3 == 0 ? "!VEXNOR$ " : "!Vexnor$ ";
      size_t count = random() % 16;
      for (size_t i = 0; i < count; ++i) {
        text += pieces[random() % pieces.size()];
      }
      list.push_back(std::make_unique<TToken>(text, BangComment, 0, 1));
      list.push_back(std::make_unique<TToken>("\n", EndOfStatement, 0, 2));
    }
    list.push_back(std::make_unique<TToken>("", Sentinel, 0, 2));
    ParseDirectives(list);
    // Per parameter record: the list entries naming it and its use count.
    std::map<const TScValData*, std::pair<int32_t, long>> holders;
    for (const auto& record : list) {
      if (!record->Script) {
        continue;
      }
      const TScript& script = *record->Script;
      SCOPED_TRACE(script.Text);
      ASSERT_FALSE(script.Words.empty());
      EXPECT_TRUE(script.Kind == DirectiveKind::Statement ? script.Words.size() == 1
                                                          : script.Words.size() >= 2);
      EXPECT_TRUE(script.Mark >= DirectiveMark::None && script.Mark <= DirectiveMark::SubRegionEnd);
      if (script.Params) {
        EXPECT_FALSE(script.Params->empty());
        for (const auto& param : *script.Params) {
          auto& holder = holders[param.get()];
          ++holder.first;
          holder.second = param.use_count();
        }
      }
      if (script.SampledPoints) {
        const std::vector<int32_t>& points = *script.SampledPoints;
        EXPECT_LE(points.size(), kMaxSampledPoints);
        EXPECT_EQ(std::set<int32_t>(points.begin(), points.end()).size(), points.size());
      }
    }
    for (const auto& [param, holder] : holders) {
      EXPECT_EQ(holder.second, holder.first) << param->Name;
    }
  }
}

}  // namespace
