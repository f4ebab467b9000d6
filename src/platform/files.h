// File services: paths with either separator, letter case forgiven where a
// path does not exist as spelled, whole-file reading, folders, copies and
// text files for writing.
#pragma once

#include <cstdio>
#include <string>

namespace platform {

// Turns "\" into "/" and, component by component, replaces a component that
// does not exist as spelled by an existing entry of its folder whose name
// differs only in ASCII letter case. Components past the first missing one
// are kept as spelled.
std::string ResolvePath(const std::string& path);

// True when the path names an existing regular file (not a folder).
bool FileExists(const std::string& path);

// True when the path names an existing folder.
bool FolderExists(const std::string& path);

// Reads the whole file into bytes. On failure returns false and sets error
// to a readable reason.
bool ReadWholeFile(const std::string& path, std::string& bytes, std::string& error);

// The folder of the running executable, with a trailing "/".
std::string ExecutableFolder();

// The current working folder, without a trailing separator.
std::string CurrentFolder();

// Creates the folder and any missing parents; true when it exists afterwards.
bool CreateFolders(const std::string& path);

// Copies a file, replacing the destination; true on success.
bool CopyFileOverwrite(const std::string& from, const std::string& to);

// A text file opened for writing, replacing an existing file. Writes to a
// file that did not open are ignored.
class TTextFile {
 public:
  TTextFile() = default;
  ~TTextFile();
  TTextFile(const TTextFile&) = delete;
  TTextFile& operator=(const TTextFile&) = delete;

  bool Open(const std::string& path);
  bool IsOpen() const { return file_ != nullptr; }
  void Write(const std::string& text);
  void Flush();
  void Close();

 private:
  std::FILE* file_ = nullptr;
};

}  // namespace platform
