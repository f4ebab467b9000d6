// libFuzzer target: every input is a source file that goes through the whole
// translator into a private temporary folder. Built only by `make fuzz`,
// with AddressSanitizer and UndefinedBehaviorSanitizer.
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "whole_run.h"

namespace {

std::string g_work;     // the source and its Vexnor folder
std::string g_program;  // the run log and the data files

void RemoveFolders() {
  std::error_code ignored;
  std::filesystem::remove_all(g_work, ignored);
  std::filesystem::remove_all(g_program, ignored);
}

std::string MakeFolder(const char* pattern) {
  std::string path = (std::filesystem::temp_directory_path() / pattern).string();
  if (mkdtemp(path.data()) == nullptr) {
    std::abort();
  }
  return path + "/";
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  g_work = MakeFolder("vexnor-fuzz-work-XXXXXX");
  g_program = MakeFolder("vexnor-fuzz-program-XXXXXX");
  // The fitting support file and the chart assets are read from the data
  // folder beside the program; the build's serves.
  std::error_code ignored;
  std::filesystem::create_directory_symlink(VEXNOR_DATA_DIR, g_program + "vex_data", ignored);
  std::atexit(RemoveFolders);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  RunWholeTranslation(std::string(reinterpret_cast<const char*>(data), size), g_work, g_program);
  return 0;
}
