// File services: either separator, letter case forgiven where files are
// found, exact names where they are made, folders, and text files whose
// every failure is kept.
#include "platform/files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "test_support.h"

namespace {

TEST(Files, FindsPathsWithEitherSeparatorAndAnyLetterCase) {
  TTempFolder folder;
  ASSERT_TRUE(platform::CreateFolders(folder.Path() + "vex_data/bar0-"));
  folder.Write("vex_data/bar0-/00.bin", "x");
  EXPECT_TRUE(platform::FileExists(folder.Path() + "vex_data\\bar0-\\00.bin"));
  EXPECT_TRUE(platform::FileExists(folder.Path() + "vex_Data/BAR0-/00.BIN"));
  EXPECT_TRUE(platform::FolderExists(folder.Path() + "VEX_DATA"));
  EXPECT_FALSE(platform::FileExists(folder.Path() + "vex_data"));
  EXPECT_FALSE(platform::FileExists(folder.Path() + "vex_data/none"));
  EXPECT_EQ(platform::ResolvePath(folder.Path() + "VEX_data\\new.txt"),
            folder.Path() + "vex_data/new.txt");
}

TEST(Files, WritesText) {
  TTempFolder folder;
  platform::TTextFile text;
  ASSERT_TRUE(text.Open(folder.Path() + "t.txt"));
  text.Write("line\n");
  text.Close();
  text.Write("ignored after close\n");
  EXPECT_EQ(ReadFileBytes(folder.Path() + "t.txt"), "line\n");
  EXPECT_FALSE(text.Open(folder.Path() + "missing/t.txt"));
  EXPECT_EQ(text.Error(), "No such file or directory");
}

// A full disk shows in the write that passes the buffer, or else in the
// flush and the close; later writes are skipped and the first reason kept.
TEST(TextFile, AFullDiskIsReportedByWriteFlushAndClose) {
  platform::TTextFile small;
  ASSERT_TRUE(small.Open("/dev/full"));
  small.Write("one line\n");
  EXPECT_FALSE(small.Failed());
  EXPECT_FALSE(small.Flush());
  EXPECT_EQ(small.Error(), "No space left on device");
  EXPECT_FALSE(small.Close());

  platform::TTextFile large;
  ASSERT_TRUE(large.Open("/dev/full"));
  large.Write(std::string(1 << 20, 'x'));
  EXPECT_TRUE(large.Failed());
  EXPECT_EQ(large.Error(), "No space left on device");
  EXPECT_FALSE(large.Close());
  // Opening again starts with a clean record.
  TTempFolder folder;
  ASSERT_TRUE(large.Open(folder.Path() + "ok.txt"));
  large.Write("fine\n");
  EXPECT_TRUE(large.Close());
  EXPECT_EQ(large.Error(), "");
}

std::vector<std::string> Entries(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

TEST(TextFile, ATemporaryTakesTheNameOnlyOnCommit) {
  TTempFolder folder;
  folder.Write("out.f", "earlier\n");
  platform::TTextFile file;
  ASSERT_TRUE(file.OpenTemporary(folder.Path() + "out.f"));
  file.Write("new\n");
  ASSERT_TRUE(file.Finish());
  EXPECT_EQ(ReadFileBytes(folder.Path() + "out.f"), "earlier\n");
  ASSERT_EQ(Entries(folder.Path()).size(), 2u);
  EXPECT_EQ(Entries(folder.Path())[1].rfind("out.f.incomplete-", 0), 0u);
  ASSERT_TRUE(file.Commit());
  EXPECT_EQ(ReadFileBytes(folder.Path() + "out.f"), "new\n");
  EXPECT_EQ(Entries(folder.Path()), std::vector<std::string>{"out.f"});
  // The file keeps the usual permissions, not those of a private temporary.
  struct stat st;
  ASSERT_EQ(stat((folder.Path() + "out.f").c_str(), &st), 0);
  mode_t mask = umask(0);
  umask(mask);
  EXPECT_EQ(st.st_mode & 0777, 0666 & ~mask);

  // Closed or destroyed before Commit, a temporary leaves nothing behind.
  ASSERT_TRUE(file.OpenTemporary(folder.Path() + "out.f"));
  file.Write("dropped\n");
  file.Close();
  {
    platform::TTextFile dropped;
    ASSERT_TRUE(dropped.OpenTemporary(folder.Path() + "other.f"));
    dropped.Write("dropped\n");
  }
  EXPECT_EQ(Entries(folder.Path()), std::vector<std::string>{"out.f"});
  EXPECT_EQ(ReadFileBytes(folder.Path() + "out.f"), "new\n");
}

TEST(TextFile, RemovesTemporariesWhenTheProcessIsEndedAtOnce) {
  TTempFolder folder;
  platform::TTextFile first;
  platform::TTextFile second;
  ASSERT_TRUE(first.OpenTemporary(folder.Path() + "a.f"));
  ASSERT_TRUE(second.OpenTemporary(folder.Path() + "b.f"));
  second.Commit();
  ASSERT_EQ(Entries(folder.Path()).size(), 2u);
  platform::RemoveTemporaryFilesNow();
  EXPECT_EQ(Entries(folder.Path()), std::vector<std::string>{"b.f"});
}

// Output names are taken exactly as spelled and never through a link.
TEST(TextFile, NamesAreExactAndLinksAreNotFollowed) {
  TTempFolder folder;
  folder.Write("VEXNOR_P.F", "the user's file\n");
  folder.Write("target.txt", "link target\n");
  ASSERT_EQ(symlink((folder.Path() + "target.txt").c_str(), (folder.Path() + "link.f").c_str()), 0);
  ASSERT_TRUE(platform::CreateFolders(folder.Path() + "folder.f"));

  platform::TTextFile file;
  ASSERT_TRUE(file.Open(folder.Path() + "Vexnor_p.f"));
  file.Write("written\n");
  EXPECT_TRUE(file.Close());
  EXPECT_EQ(ReadFileBytes(folder.Path() + "VEXNOR_P.F"), "the user's file\n");
  EXPECT_EQ(ReadFileBytes(folder.Path() + "Vexnor_p.f"), "written\n");

  struct TRefusal {
    const char* Name;
    bool Temporary;
    const char* Reason;
  };
  const TRefusal refusals[] = {
      {"link.f", false, "it is a symbolic link, which is not followed"},
      {"link.f", true, "it is a symbolic link, which is not followed"},
      {"folder.f", true, "it is not a regular file"},
      {"folder.f", false, "Is a directory"},
  };
  for (const TRefusal& r : refusals) {
    SCOPED_TRACE(std::string(r.Name) + (r.Temporary ? " temporary" : ""));
    bool opened = r.Temporary ? file.OpenTemporary(folder.Path() + r.Name)
                              : file.Open(folder.Path() + r.Name);
    EXPECT_FALSE(opened);
    EXPECT_EQ(file.Error(), r.Reason);
    EXPECT_EQ(file.Path(), folder.Path() + r.Name);
  }
  EXPECT_EQ(ReadFileBytes(folder.Path() + "target.txt"), "link target\n");
  EXPECT_TRUE(std::filesystem::is_symlink(folder.Path() + "link.f"));

  // A folder is made with its exact name beside one that differs in case.
  ASSERT_TRUE(platform::CreateFolders(folder.Path() + "VEXNOR"));
  ASSERT_TRUE(platform::CreateFolders(folder.Path() + "Vexnor\\sub"));
  EXPECT_TRUE(std::filesystem::is_directory(folder.Path() + "Vexnor/sub"));
  EXPECT_FALSE(std::filesystem::exists(folder.Path() + "VEXNOR/sub"));
}

TEST(Files, ReadsWholeFilesAndExplainsFailures) {
  TTempFolder folder;
  std::string bytes;
  std::string error;
  EXPECT_TRUE(platform::ReadWholeFile(folder.Write("f", "abc"), bytes, error));
  EXPECT_EQ(bytes, "abc");
  EXPECT_FALSE(platform::ReadWholeFile(folder.Path() + "none", bytes, error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(platform::ExecutableFolder().back(), '/');
}

}  // namespace
