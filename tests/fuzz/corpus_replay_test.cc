// Replays the fuzz corpus through the same whole-run entry as the fuzz
// target, so every crash, hang or sanitizer report the fuzzer once found
// stays fixed (the sanitizer build runs this too, without libFuzzer).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "../fuzz/whole_run.h"
#include "test_support.h"

namespace {

std::vector<std::string> CorpusFiles() {
  std::vector<std::string> files;
  for (const char* folder : {"/fuzz/corpus", "/examples", "/tests/e2e"}) {
    for (const auto& entry :
         std::filesystem::directory_iterator(std::string(VEXNOR_SOURCE_DIR) + folder)) {
      std::string name = entry.path().string();
      bool source = entry.path().extension() == ".f" || entry.path().extension() == ".f90";
      if (entry.is_regular_file() && (source || std::string(folder) == "/fuzz/corpus")) {
        files.push_back(name);
      }
    }
  }
  std::sort(files.begin(), files.end());
  return files;
}

TEST(FuzzCorpus, EveryInputRunsThroughTheWholeTranslator) {
  TTempFolder program;
  std::filesystem::create_directory_symlink(VEXNOR_DATA_DIR, program.Path() + "vex_data");
  std::vector<std::string> files = CorpusFiles();
  ASSERT_GT(files.size(), 3u);
  for (const std::string& file : files) {
    SCOPED_TRACE(file);
    TTempFolder work;
    bool failed = RunWholeTranslation(ReadFileBytes(file), work.Path(), program.Path());
    // The annotated programs of the repository translate cleanly.
    if (file.find("/fuzz/corpus/") == std::string::npos) {
      EXPECT_FALSE(failed);
      EXPECT_TRUE(std::filesystem::exists(work.Path() + "Vexnor/Vexnor_fuzz.f"));
    }
  }
}

}  // namespace
