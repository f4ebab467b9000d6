// File services: paths with either separator, letter case forgiven where a
// path does not exist as spelled, whole-file reading, folders, and text
// files for writing whose every failure is kept.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

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

// Turns every "\\" into "/" and nothing else: for names that are to be
// created exactly as spelled.
std::string UnifySeparators(const std::string& path);

// Creates the folder and any missing parents, with their names exactly as
// spelled; true when it exists afterwards.
bool CreateFolders(const std::string& path);

// A text file for writing. Every write, flush and close is checked: the
// first failure is kept with its reason, and later writes are skipped.
//
// Open writes to the named file itself. OpenTemporary writes to a new file
// beside it, so that a run that fails or is interrupted never leaves a cut
// file under the real name: Finish completes the temporary, Commit gives it
// the real name, and a temporary that is closed or destroyed before Commit
// is removed. Neither follows a symbolic link at the name.
class TTextFile {
 public:
  TTextFile() = default;
  ~TTextFile();
  TTextFile(const TTextFile&) = delete;
  TTextFile& operator=(const TTextFile&) = delete;

  bool Open(const std::string& path);
  // Refuses when the name is a symbolic link or anything but a regular file.
  bool OpenTemporary(const std::string& path);
  bool IsOpen() const { return file_ != nullptr; }
  void Write(const std::string& text);
  bool Flush();
  // Closes the file; false when an open, write, flush or the close failed.
  // A temporary not yet committed is removed.
  bool Close();
  // Flushes and closes a temporary but keeps it for Commit; on failure the
  // temporary is removed and false returned.
  bool Finish();
  // Finishes a temporary (when still open) and renames it to the real name.
  bool Commit();

  // The real name given to Open or OpenTemporary, separators unified.
  const std::string& Path() const { return path_; }
  // The reason of the first failure since the last open, or "".
  const std::string& Error() const { return error_; }
  bool Failed() const { return !error_.empty(); }

 private:
  friend void RemoveTemporaryFilesNow();
  void Fail(const std::string& reason);
  void Register();
  void Unregister();
  void RemoveTemporary();

  std::FILE* file_ = nullptr;
  std::string path_;
  std::string temporary_;  // "" for a file opened with Open and once committed
  std::string error_;
  // Link in the list of temporaries that a fatal signal removes.
  TTextFile* nextTemporary_ = nullptr;
  TTextFile* previousTemporary_ = nullptr;
  bool registered_ = false;
};

// Completes every temporary of files and, only when all of them are
// complete, gives each its real name in turn, stopping at the first rename
// that fails. Returns the files that failed (each with its Error()); the
// temporaries left are removed when their files are closed.
std::vector<const TTextFile*> CommitTogether(const std::vector<TTextFile*>& files);

// Removes every temporary that is not yet committed. Only unlinks files, so
// a signal handler that ends the process may call it.
void RemoveTemporaryFilesNow();

}  // namespace platform
