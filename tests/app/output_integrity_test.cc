// Output integrity as a user meets it: a run that fails (full disk, size
// limit, unwritable folder, a name that cannot be replaced, an error in the
// source) or is interrupted exits non-zero, names the file and the reason,
// and leaves the earlier output exactly as it was, with no temporaries.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "app/main_form.h"
#include "platform/encoding.h"
#include "test_support.h"

namespace {

using platform::Sjis;

const char* const kOutputs[] = {"Vexnor_prog.f", "Vexnor_ControlRoutines.f",
                                "Vexnor_InstallRoutines.f", "Vexnor_StaticRoutines.f",
                                "Vexnor_DynamicRoutines.f"};

std::string Earlier(const std::string& name) { return "c     earlier " + name + "\n"; }

// A tmpfs of the given size mounted on a folder, where the machine lets the
// tests mount (as root); unmounted with the object.
class TSmallDisk {
 public:
  TSmallDisk(const std::string& folder, int kib)
      : folder_(folder), options_("size=" + std::to_string(kib) + "k") {
    mounted_ = mount("tmpfs", folder_.c_str(), "tmpfs", 0, options_.c_str()) == 0;
  }
  ~TSmallDisk() {
    if (mounted_) {
      umount2(folder_.c_str(), MNT_DETACH);
    }
  }
  bool Mounted() const { return mounted_; }
  bool MakeReadOnly() {
    return mount(nullptr, folder_.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, options_.c_str()) == 0;
  }

 private:
  std::string folder_;
  std::string options_;
  bool mounted_ = false;
};

// A folder holding prog.f (the bundled example) and the five files of an
// earlier run, on a small disk when asked for.
struct TOutputFolder {
  explicit TOutputFolder(int diskKib = 0) {
    source = base.Path() + "src/";
    std::filesystem::create_directory(source);
    if (diskKib > 0) {
      disk = std::make_unique<TSmallDisk>(source, diskKib);
    }
    std::string text = ReadFileBytes(VEXNOR_SOURCE_DIR "/examples/matvec.f");
    Write("prog.f", text);
    std::filesystem::create_directory(source + "Vexnor");
    for (const char* name : kOutputs) {
      Write(std::string("Vexnor/") + name, Earlier(name));
    }
  }
  void Write(const std::string& name, const std::string& bytes) const {
    std::FILE* file = std::fopen((source + name).c_str(), "wb");
    if (file != nullptr) {
      std::fwrite(bytes.data(), 1, bytes.size(), file);
      std::fclose(file);
    }
  }
  std::string Output(const std::string& name) const {
    return ReadFileBytes(source + "Vexnor/" + name);
  }
  std::vector<std::string> Temporaries() const {
    std::vector<std::string> found;
    for (const auto& entry : std::filesystem::directory_iterator(source + "Vexnor")) {
      std::string name = entry.path().filename().string();
      if (name.find(".incomplete-") != std::string::npos) {
        found.push_back(name);
      }
    }
    return found;
  }
  TCommandResult Translate(const std::string& limit = "") const {
    std::string run = ShellQuote(translator.Executable()) + " prog.f";
    if (!limit.empty()) {
      run = "bash -c " + ShellQuote(limit + "; exec " + run);
    }
    return RunCommand(run, source);
  }

  TTempFolder base;  // the disk, mounted inside it, goes first
  std::string source;
  std::unique_ptr<TSmallDisk> disk;
  TTranslator translator;
};

std::string Opening(const std::string& file, const std::string& reason) {
  return "*** Error *** " + platform::ToUtf8(Sjis("ﾌｧｲﾙが開けません ")) + "\"" + file + "\" (" +
         reason + ")";
}
std::string Writing(const std::string& file, const std::string& reason) {
  return "*** Error *** " + platform::ToUtf8(Sjis("ﾌｧｲﾙに書き込めません ")) + "\"" + file + "\" (" +
         reason + ")";
}

struct TFailure {
  const char* Name;
  int DiskKib;  // 0: no disk of its own
  // Spoils the folder; returns "" or why the case cannot run here.
  std::function<std::string(TOutputFolder&)> Spoil;
  std::string Limit;  // shell commands run before the translator
  // The report expected, given the output folder ending in "/".
  std::function<std::string(const std::string&)> Report;
  const char* Untouched;  // an output name that is not a plain earlier file
};

TEST(OutputIntegrity, AFailedRunKeepsTheEarlierOutput) {
  const TFailure failures[] = {
      {"full disk", 28, [](TOutputFolder&) { return std::string(); }, "",
       [](const std::string& out) {
         return Writing(out + "Vexnor_ControlRoutines.f", "No space left on device");
       },
       nullptr},
      {"file size limit", 0, [](TOutputFolder&) { return std::string(); }, "ulimit -f 8",
       [](const std::string& out) {
         return Writing(out + "Vexnor_ControlRoutines.f", "File too large");
       },
       nullptr},
      {"unwritable folder", 64,
       [](TOutputFolder& f) {
         if (f.disk->Mounted()) {
           return std::string(f.disk->MakeReadOnly() ? "" : "cannot remount read-only");
         }
         if (geteuid() == 0) {
           return std::string("root writes anywhere and may not mount here");
         }
         chmod((f.source + "Vexnor").c_str(), 0555);
         return std::string();
       },
       "",
       [](const std::string& out) {
         return Opening(out + "Vexnor_prog.f",
                        geteuid() == 0 ? "Read-only file system" : "Permission denied");
       },
       nullptr},
      {"a folder at an output name", 0,
       [](TOutputFolder& f) {
         std::filesystem::remove(f.source + "Vexnor/Vexnor_StaticRoutines.f");
         std::filesystem::create_directory(f.source + "Vexnor/Vexnor_StaticRoutines.f");
         return std::string();
       },
       "",
       [](const std::string& out) {
         return Opening(out + "Vexnor_StaticRoutines.f", "it is not a regular file");
       },
       "Vexnor_StaticRoutines.f"},
      {"a symbolic link at an output name", 0,
       [](TOutputFolder& f) {
         f.Write("elsewhere.f", "c     the link's target\n");
         std::filesystem::remove(f.source + "Vexnor/Vexnor_InstallRoutines.f");
         std::filesystem::create_symlink("../elsewhere.f",
                                         f.source + "Vexnor/Vexnor_InstallRoutines.f");
         return std::string();
       },
       "",
       [](const std::string& out) {
         return Opening(out + "Vexnor_InstallRoutines.f",
                        "it is a symbolic link, which is not followed");
       },
       "Vexnor_InstallRoutines.f"},
      {"an error in Pass 5", 0,
       [](TOutputFolder& f) {
         std::string text = ReadFileBytes(f.source + "prog.f");
         text.replace(text.find("name scale"), 10, "name mxvscale");
         f.Write("prog.f", text);
         return std::string();
       },
       "",
       [](const std::string&) {
         return "*** Error *** " + platform::ToUtf8(Sjis("名前の一部が重複しています。( ")) +
                "mxv , mxvscale )";
       },
       nullptr},
  };
  for (const TFailure& failure : failures) {
    SCOPED_TRACE(failure.Name);
    TOutputFolder f(failure.DiskKib);
    if (failure.DiskKib > 0 && !f.disk->Mounted() && std::string(failure.Name) == "full disk") {
      std::cout << "[ SKIPPED  ] " << failure.Name << ": cannot mount a small disk here\n";
      continue;
    }
    std::string why = failure.Spoil(f);
    if (!why.empty()) {
      std::cout << "[ SKIPPED  ] " << failure.Name << ": " << why << "\n";
      continue;
    }
    TCommandResult run = f.Translate(failure.Limit);
    EXPECT_EQ(run.Status, 1) << run.Output;
    EXPECT_NE(run.Output.find(failure.Report(f.source + "Vexnor/") + "\n"), std::string::npos)
        << run.Output;
    EXPECT_NE(run.Output.find(platform::ToUtf8(Sjis("スクリプト処理で、エラーが発生しました。"))),
              std::string::npos)
        << run.Output;
    for (const char* name : kOutputs) {
      if (failure.Untouched == nullptr || std::string(name) != failure.Untouched) {
        EXPECT_EQ(f.Output(name), Earlier(name)) << name;
      }
    }
    EXPECT_EQ(f.Temporaries(), std::vector<std::string>{});
    if (std::string(failure.Name) == "a symbolic link at an output name") {
      EXPECT_EQ(ReadFileBytes(f.source + "elsewhere.f"), "c     the link's target\n");
      EXPECT_TRUE(std::filesystem::is_symlink(f.source + "Vexnor/Vexnor_InstallRoutines.f"));
    }
    chmod((f.source + "Vexnor").c_str(), 0755);
  }
}

TEST(OutputIntegrity, ASuccessfulRunReplacesAllFiveAndLeavesUserFilesAlone) {
  TOutputFolder f;
  f.Write("Vexnor/VEXNOR_PROG.F", "c     the user's own file\n");
  TCommandResult run = f.Translate();
  ASSERT_EQ(run.Status, 0) << run.Output;
  for (const char* name : kOutputs) {
    EXPECT_NE(f.Output(name), Earlier(name)) << name;
  }
  EXPECT_NE(f.Output("Vexnor_prog.f").find("call Vexnor_Installmxv("), std::string::npos);
  EXPECT_EQ(f.Output("VEXNOR_PROG.F"), "c     the user's own file\n");
  EXPECT_EQ(f.Temporaries(), std::vector<std::string>{});

  // A folder whose name differs only in case is not taken for the output folder.
  TOutputFolder other;
  std::filesystem::rename(other.source + "Vexnor", other.source + "VEXNOR");
  ASSERT_EQ(other.Translate().Status, 0);
  EXPECT_EQ(ReadFileBytes(other.source + "VEXNOR/Vexnor_prog.f"), Earlier("Vexnor_prog.f"));
  EXPECT_NE(other.Output("Vexnor_prog.f").find("call Vexnor_Installmxv("), std::string::npos);
}

// A close request during Pass 5: the run ends as interrupted and the
// earlier output stays.
TEST(OutputIntegrity, AnInterruptedRunKeepsTheEarlierOutput) {
  TOutputFolder f;
  TFakeWindow window;
  window.RequestCloseAt("TuneRegion = 1/2");
  TMainF form(window, f.base.Path());
  form.FormCreate({f.source + "prog.f"});
  form.FormActivate();
  EXPECT_TRUE(form.AbortFlag);
  EXPECT_TRUE(form.ErrorFlag);
  form.FormDestroy();
  for (const char* name : kOutputs) {
    EXPECT_EQ(f.Output(name), Earlier(name)) << name;
  }
  EXPECT_EQ(f.Temporaries(), std::vector<std::string>{});
}

}  // namespace
