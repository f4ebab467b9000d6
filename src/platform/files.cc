// POSIX implementation of the file services.
#include "platform/files.h"

#include <dirent.h>
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
    if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y - 'A' + 'a');
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
    if (c == '\\') c = '/';
  }
  if (unified.empty() || PathExists(unified)) {
    return unified;
  }
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= unified.size()) {
    size_t slash = unified.find('/', start);
    if (slash == std::string::npos) slash = unified.size();
    parts.push_back(unified.substr(start, slash - start));
    start = slash + 1;
  }
  std::string result;
  bool resolving = true;
  for (size_t i = 0; i < parts.size(); ++i) {
    const std::string& part = parts[i];
    if (i > 0) result += '/';
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

bool CreateFolders(const std::string& path) {
  std::string resolved = ResolvePath(path);
  if (resolved.empty()) {
    return false;
  }
  for (size_t i = 1; i <= resolved.size(); ++i) {
    if (i == resolved.size() || resolved[i] == '/') {
      std::string prefix = resolved.substr(0, i);
      if (!PathExists(prefix) && mkdir(prefix.c_str(), 0777) != 0 && errno != EEXIST) {
        return false;
      }
    }
  }
  return FolderExists(resolved);
}

bool CopyFileOverwrite(const std::string& from, const std::string& to) {
  std::string bytes;
  std::string error;
  if (!FileExists(from) || !ReadWholeFile(from, bytes, error)) {
    return false;
  }
  std::FILE* out = std::fopen(ResolvePath(to).c_str(), "wb");
  if (out == nullptr) {
    return false;
  }
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
  return std::fclose(out) == 0 && ok;
}

TTextFile::~TTextFile() { Close(); }

bool TTextFile::Open(const std::string& path) {
  Close();
  file_ = std::fopen(ResolvePath(path).c_str(), "w");
  return file_ != nullptr;
}

void TTextFile::Write(const std::string& text) {
  if (file_ != nullptr && !text.empty()) {
    std::fwrite(text.data(), 1, text.size(), file_);
  }
}

void TTextFile::Flush() {
  if (file_ != nullptr) {
    std::fflush(file_);
  }
}

void TTextFile::Close() {
  if (file_ != nullptr) {
    std::fclose(file_);
    file_ = nullptr;
  }
}

}  // namespace platform
