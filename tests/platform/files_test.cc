// File services: either separator, letter case forgiven, folders and copies.
#include "platform/files.h"

#include <gtest/gtest.h>

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

TEST(Files, CopiesWithOverwriteAndWritesText) {
  TTempFolder folder;
  std::string from = folder.Write("a.bin", std::string("\0\r\n", 3));
  folder.Write("b.bin", "old contents");
  EXPECT_TRUE(platform::CopyFileOverwrite(from, folder.Path() + "b.bin"));
  EXPECT_EQ(ReadFileBytes(folder.Path() + "b.bin"), std::string("\0\r\n", 3));
  std::string empty = folder.Write("empty", "");
  EXPECT_TRUE(platform::CopyFileOverwrite(empty, folder.Path() + "c"));
  EXPECT_FALSE(platform::CopyFileOverwrite(folder.Path() + "none", folder.Path() + "d"));

  platform::TTextFile text;
  ASSERT_TRUE(text.Open(folder.Path() + "t.txt"));
  text.Write("line\n");
  text.Close();
  text.Write("ignored after close\n");
  EXPECT_EQ(ReadFileBytes(folder.Path() + "t.txt"), "line\n");
  EXPECT_FALSE(text.Open(folder.Path() + "missing/t.txt"));
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
