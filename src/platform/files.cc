// POSIX implementation of the file services.
#include "platform/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace platform {
namespace {

bool PathExists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

bool SameIgnoringCase(const std::string& a, const char* b) {
  size_t n = std::strlen(b);
  if (a.size() != n) {
    return false;
  }
  for (size_t i = 0; i < n; ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]);
    unsigned char y = static_cast<unsigned char>(b[i]);
    if (x >= 'A' && x <= 'Z') {
      x = static_cast<unsigned char>(x - 'A' + 'a');
    }
    if (y >= 'A' && y <= 'Z') {
      y = static_cast<unsigned char>(y - 'A' + 'a');
    }
    if (x != y) {
      return false;
    }
  }
  return true;
}

// Finds an entry of folder whose name equals name ignoring letter case.
bool FindEntryIgnoringCase(const std::string& folder, const std::string& name, std::string& found) {
  DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) {
    return false;
  }
  bool ok = false;
  while (dirent* entry = readdir(dir)) {
    if (SameIgnoringCase(name, entry->d_name)) {
      found = entry->d_name;
      ok = true;
      break;
    }
  }
  closedir(dir);
  return ok;
}

}  // namespace

std::string ResolvePath(const std::string& path) {
  std::string unified = path;
  for (char& c : unified) {
    if (c == '\\') {
      c = '/';
    }
  }
  if (unified.empty() || PathExists(unified)) {
    return unified;
  }
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= unified.size()) {
    size_t slash = unified.find('/', start);
    if (slash == std::string::npos) {
      slash = unified.size();
    }
    parts.push_back(unified.substr(start, slash - start));
    start = slash + 1;
  }
  std::string result;
  bool resolving = true;
  for (size_t i = 0; i < parts.size(); ++i) {
    const std::string& part = parts[i];
    if (i > 0) {
      result += '/';
    }
    if (part.empty() || part == "." || part == "..") {
      result += part;
      continue;
    }
    std::string candidate = result + part;
    if (resolving && !PathExists(candidate)) {
      std::string folder = result.empty() ? "." : result;
      std::string found;
      if (FindEntryIgnoringCase(folder, part, found)) {
        result += found;
        continue;
      }
      resolving = false;
    }
    result += part;
  }
  return result;
}

bool FileExists(const std::string& path) {
  struct stat st;
  std::string resolved = ResolvePath(path);
  return !resolved.empty() && stat(resolved.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool FolderExists(const std::string& path) {
  struct stat st;
  std::string resolved = ResolvePath(path);
  return !resolved.empty() && stat(resolved.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool ReadWholeFile(const std::string& path, std::string& bytes, std::string& error) {
  std::string resolved = ResolvePath(path);
  std::FILE* file = std::fopen(resolved.c_str(), "rb");
  if (file == nullptr) {
    error = std::strerror(errno);
    return false;
  }
  bytes.clear();
  char buffer[65536];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
    bytes.append(buffer, n);
  }
  bool failed = std::ferror(file) != 0;
  int readErrno = errno;
  std::fclose(file);
  if (failed) {
    error = std::strerror(readErrno);
    return false;
  }
  return true;
}

std::string ExecutableFolder() {
  std::vector<char> buffer(4096);
  while (true) {
    ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n < 0) {
      return CurrentFolder() + "/";
    }
    if (static_cast<size_t>(n) < buffer.size()) {
      std::string exe(buffer.data(), static_cast<size_t>(n));
      return exe.substr(0, exe.rfind('/') + 1);
    }
    buffer.resize(buffer.size() * 2);
  }
}

std::string CurrentFolder() {
  std::vector<char> buffer(4096);
  while (getcwd(buffer.data(), buffer.size()) == nullptr) {
    if (errno != ERANGE) {
      return ".";
    }
    buffer.resize(buffer.size() * 2);
  }
  return std::string(buffer.data());
}

std::string UnifySeparators(const std::string& path) {
  std::string unified = path;
  for (char& c : unified) {
    if (c == '\\') {
      c = '/';
    }
  }
  return unified;
}

bool CreateFolders(const std::string& path) {
  std::string exact = UnifySeparators(path);
  if (exact.empty()) {
    return false;
  }
  for (size_t i = 1; i <= exact.size(); ++i) {
    if (i == exact.size() || exact[i] == '/') {
      std::string prefix = exact.substr(0, i);
      if (!PathExists(prefix) && mkdir(prefix.c_str(), 0777) != 0 && errno != EEXIST) {
        return false;
      }
    }
  }
  struct stat st;
  return stat(exact.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

namespace {

// Temporaries not yet committed, newest first. Changed only with the close
// signals blocked, so the handler that removes them sees a whole list.
TTextFile* g_temporaries = nullptr;

class TSignalsBlocked {
 public:
  TSignalsBlocked() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    sigprocmask(SIG_BLOCK, &set, &previous_);
  }
  ~TSignalsBlocked() { sigprocmask(SIG_SETMASK, &previous_, nullptr); }

 private:
  sigset_t previous_;
};

std::string Reason(int error) { return std::strerror(error); }

const char kSymbolicLink[] = "it is a symbolic link, which is not followed";
const char kNotAFile[] = "it is not a regular file";

// Opens path for writing without following a symbolic link at its name.
// A failure to open leaves errno and returns nullptr.
std::FILE* OpenForWriting(const std::string& path, int flags) {
  int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC | flags, 0666);
  if (fd < 0) {
    return nullptr;
  }
  std::FILE* file = fdopen(fd, "w");
  if (file == nullptr) {
    int saved = errno;
    close(fd);
    errno = saved;
  }
  return file;
}

}  // namespace

TTextFile::~TTextFile() { Close(); }

void TTextFile::Fail(const std::string& reason) {
  if (error_.empty()) {
    error_ = reason;
  }
}

bool TTextFile::Open(const std::string& path) {
  Close();
  path_ = UnifySeparators(path);
  error_.clear();
  file_ = OpenForWriting(path_, O_TRUNC);
  if (file_ == nullptr) {
    Fail(errno == ELOOP ? kSymbolicLink : Reason(errno));
  }
  return file_ != nullptr;
}

bool TTextFile::OpenTemporary(const std::string& path) {
  Close();
  path_ = UnifySeparators(path);
  error_.clear();
  struct stat st;
  if (lstat(path_.c_str(), &st) == 0) {
    if (S_ISLNK(st.st_mode)) {
      Fail(kSymbolicLink);
      return false;
    }
    if (!S_ISREG(st.st_mode)) {
      Fail(kNotAFile);
      return false;
    }
  }
  static unsigned serial = 0;
  for (int attempt = 0; attempt < 1000 && file_ == nullptr; ++attempt) {
    std::string name =
        path_ + ".incomplete-" + std::to_string(getpid()) + "-" + std::to_string(++serial);
    file_ = OpenForWriting(name, O_EXCL);
    if (file_ != nullptr) {
      temporary_ = name;
      Register();
    } else if (errno != EEXIST) {
      break;
    }
  }
  if (file_ == nullptr) {
    Fail(Reason(errno));
  }
  return file_ != nullptr;
}

void TTextFile::Write(const std::string& text) {
  if (file_ == nullptr || text.empty() || Failed()) {
    return;
  }
  if (std::fwrite(text.data(), 1, text.size(), file_) != text.size()) {
    Fail(Reason(errno));
  }
}

bool TTextFile::Flush() {
  if (file_ != nullptr && std::fflush(file_) != 0) {
    Fail(Reason(errno));
  }
  return !Failed();
}

bool TTextFile::Finish() {
  if (file_ != nullptr) {
    Flush();
    if (std::fclose(file_) != 0) {
      Fail(Reason(errno));
    }
    file_ = nullptr;
  }
  if (Failed()) {
    RemoveTemporary();
  }
  return !Failed();
}

bool TTextFile::Close() {
  bool ok = Finish();
  RemoveTemporary();
  return ok;
}

bool TTextFile::Commit() {
  if (temporary_.empty() || !Finish()) {
    return false;
  }
  if (std::rename(temporary_.c_str(), path_.c_str()) != 0) {
    Fail(Reason(errno));
    RemoveTemporary();
    return false;
  }
  Unregister();
  temporary_.clear();
  return true;
}

void TTextFile::RemoveTemporary() {
  if (!temporary_.empty()) {
    unlink(temporary_.c_str());
    Unregister();
    temporary_.clear();
  }
}

void TTextFile::Register() {
  TSignalsBlocked blocked;
  nextTemporary_ = g_temporaries;
  previousTemporary_ = nullptr;
  if (g_temporaries != nullptr) {
    g_temporaries->previousTemporary_ = this;
  }
  g_temporaries = this;
  registered_ = true;
}

void TTextFile::Unregister() {
  if (!registered_) {
    return;
  }
  TSignalsBlocked blocked;
  if (previousTemporary_ != nullptr) {
    previousTemporary_->nextTemporary_ = nextTemporary_;
  } else {
    g_temporaries = nextTemporary_;
  }
  if (nextTemporary_ != nullptr) {
    nextTemporary_->previousTemporary_ = previousTemporary_;
  }
  nextTemporary_ = previousTemporary_ = nullptr;
  registered_ = false;
}

std::vector<const TTextFile*> CommitTogether(const std::vector<TTextFile*>& files) {
  std::vector<const TTextFile*> failed;
  for (TTextFile* file : files) {
    if (!file->Finish()) {
      failed.push_back(file);
    }
  }
  if (!failed.empty()) {
    return failed;
  }
  for (TTextFile* file : files) {
    if (!file->Commit()) {
      failed.push_back(file);
      break;
    }
  }
  return failed;
}

void RemoveTemporaryFilesNow() {
  for (TTextFile* file = g_temporaries; file != nullptr; file = file->nextTemporary_) {
    unlink(file->temporary_.c_str());
  }
}

}  // namespace platform
