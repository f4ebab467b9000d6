// The whole-run entry shared by the fuzz target and the corpus replay.
#include "whole_run.h"

#include <cstdio>
#include <string>
#include <vector>

#include "app/main_form.h"
#include "platform/window.h"

namespace {

// A window that shows nothing and never receives a close request.
class TQuietWindow : public platform::TWindow {
 public:
  void AddText(const std::string&) override {}
  void ProcessMessages() override {}
  void ShowMessage(const std::string&) override {}

 protected:
  void Close() override {}
};

}  // namespace

bool RunWholeTranslation(const std::string& source, const std::string& workFolder,
                         const std::string& programFolder) {
  const std::string path = workFolder + "fuzz.f";
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) {
    return true;
  }
  bool written = std::fwrite(source.data(), 1, source.size(), file) == source.size();
  if (std::fclose(file) != 0 || !written) {
    return true;
  }
  TQuietWindow window;
  TMainF form(window, programFolder);
  std::vector<std::string> args;
  if (source.size() % 2 == 1) {
    args.insert(args.end(), {"-debug", "OFF"});
  }
  if (source.size() / 2 % 2 == 1) {
    args.insert(args.end(), {"-visualization", "ON"});
  }
  args.push_back(path);
  form.FormCreate(args);
  form.FormActivate();
  bool failed = form.ErrorFlag;
  form.FormDestroy();
  return failed;
}
