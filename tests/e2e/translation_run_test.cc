// The whole way: a program with a before-execution select region (with
// sub regions, a varied parameter, pre- and post-processing, a cost rule
// and a debug directive) and a run-time region moved by DynPefThis is
// translated, compiled as users compile it, run under MPI, and computes
// what the untranslated program computes.
#include <gtest/gtest.h>

#include <regex>

#include "fortran/fortran_support.h"
#include "test_support.h"

namespace {

std::string ResultLines(const std::string& output) {
  std::string lines;
  size_t start = 0;
  while (start < output.size()) {
    size_t end = output.find('\n', start);
    if (end == std::string::npos) {
      end = output.size();
    }
    std::string line = output.substr(start, end - start);
    if (line.rfind("RESULT", 0) == 0) {
      lines += line + "\n";
    }
    start = end + 1;
  }
  return lines;
}

// The best cases a parameter file records for region name, in order.
std::vector<int> BestCases(const std::string& file, const std::string& name) {
  std::vector<int> cases;
  std::regex record("\\(" + name + "_I\\s+(-?\\d+)");
  for (std::sregex_iterator it(file.begin(), file.end(), record), end; it != end; ++it) {
    cases.push_back(std::stoi((*it)[1]));
  }
  return cases;
}

TEST(Translation, TheTranslatedProgramComputesWhatTheSourceComputes) {
  const std::string source = ReadFileBytes(VEXNOR_SOURCE_DIR "/tests/e2e/tuned_program.f");
  ASSERT_FALSE(source.empty());

  fortran::TFortranWorkspace translated;
  std::string path = translated.Write("tuned_program.f", source);
  TCommandResult translation = TTranslator().Run({path});
  ASSERT_TRUE(translation.Ok()) << translation.Output;
  fortran::TCommandResult compiled = translated.Compile({"Vexnor/Vexnor_tuned_program.f"});
  ASSERT_TRUE(compiled.Ok()) << compiled.Output;
  fortran::TCommandResult run = translated.RunMpi(2);
  ASSERT_TRUE(run.Ok()) << run.Output;

  fortran::TFortranWorkspace original;
  original.Write("tuned_program.f", source);
  fortran::TCommandResult compiledOriginal = original.Compile({"tuned_program.f"});
  ASSERT_TRUE(compiledOriginal.Ok()) << compiledOriginal.Output;
  fortran::TCommandResult runOriginal = original.RunMpi(2);
  ASSERT_TRUE(runOriginal.Ok()) << runOriginal.Output;

  EXPECT_FALSE(ResultLines(run.Output).empty()) << run.Output;
  EXPECT_EQ(ResultLines(run.Output), ResultLines(runOriginal.Output));

  // Sizes 100, 150 and 200 of the select region (3 cases), and the one size
  // the run-time region was tuned for (3 cases).
  std::vector<int> scale =
      BestCases(ReadFileBytes(translated.Path() + "Vexnor_StaticscaleParam.dat"), "scale");
  ASSERT_EQ(scale.size(), 3u);
  for (int best : scale) {
    EXPECT_GE(best, 1);
    EXPECT_LE(best, 3);
  }
  // Above 150 the cost rule makes the second sub region's case free.
  EXPECT_EQ(scale[2], 3);
  std::vector<int> dyn =
      BestCases(ReadFileBytes(translated.Path() + "Vexnor_DynamicdynParam.dat"), "dyn");
  ASSERT_EQ(dyn.size(), 1u);
  EXPECT_GE(dyn[0], 1);
  EXPECT_LE(dyn[0], 3);
}

}  // namespace
