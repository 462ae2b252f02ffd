// Test file helpers on POSIX: Windows-form paths mapped as the platform layer
// maps them, without its ANSI length limit, so tests can build deep trees.
#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>

#include "test_fs.h"
#include "winpath.h"

namespace {

std::string toPosix(const std::string& windowsPath) {
  // An absolute path is taken as it stands, as the "\\?\" form takes it on
  // Windows: only the separators change, so a test can make names that the
  // ANSI calls would change (a trailing dot or space).
  if (windowsPath.size() >= 3 && (windowsPath[0] == 'Z' || windowsPath[0] == 'z') &&
      windowsPath[1] == ':' && (windowsPath[2] == '\\' || windowsPath[2] == '/')) {
    std::string out = "/";
    for (size_t i = 3; i < windowsPath.size(); ++i) {
      char c = windowsPath[i] == '\\' ? '/' : windowsPath[i];
      if (c != '/' || out.back() != '/') out.push_back(c);
    }
    return out;
  }
  char cwd[8192];
  if (!getcwd(cwd, sizeof cwd)) return std::string();
  static char out[8192];
  if (!windowsToPosixPath(windowsPath.c_str(), cwd, out, sizeof out)) return std::string();
  return out;
}

std::string toWindows(const std::string& posixPath) {
  char out[8192];
  if (!posixToWindowsPath(posixPath.c_str(), out, sizeof out)) return std::string();
  return out;
}

void removePosixTree(const std::string& posix) {
  struct stat st;
  if (lstat(posix.c_str(), &st) != 0) return;
  if (S_ISDIR(st.st_mode)) {
    chmod(posix.c_str(), 0700);
    if (DIR* dir = opendir(posix.c_str())) {
      while (struct dirent* e = readdir(dir)) {
        if (strcmp(e->d_name, ".") == 0 || strcmp(e->d_name, "..") == 0) continue;
        removePosixTree(posix + "/" + e->d_name);
      }
      closedir(dir);
    }
    rmdir(posix.c_str());
  } else {
    unlink(posix.c_str());
  }
}

}  // namespace

ScopedTempDir::ScopedTempDir() {
  savedCwd_ = currentDirectory();
  const char* base = getenv("TMPDIR");
  std::string templ = std::string(base && *base ? base : "/tmp") + "/pellmoor-test-XXXXXX";
  if (!mkdtemp(&templ[0])) return;
  char real[8192];
  if (!realpath(templ.c_str(), real)) return;
  path_ = toWindows(real) + "\\";
}

ScopedTempDir::~ScopedTempDir() {
  if (!savedCwd_.empty()) {
    std::string back = toPosix(savedCwd_);
    if (!back.empty() && chdir(back.c_str()) != 0) perror("ScopedTempDir: chdir back");
  }
  if (!path_.empty()) removePosixTree(toPosix(path_));
}

std::string currentDirectory() {
  char cwd[8192];
  if (!getcwd(cwd, sizeof cwd)) return std::string();
  return toWindows(cwd);
}

bool makeDirectory(const std::string& path) {
  std::string posix = toPosix(path);
  if (posix.empty()) return false;
  mkdir(posix.c_str(), 0755);
  return isDirectory(path);
}

bool writeFile(const std::string& path, const std::string& bytes) {
  size_t slash = path.find_last_of("\\/");
  if (slash != std::string::npos && slash > 2) makeDirectories(path.substr(0, slash));
  std::string posix = toPosix(path);
  if (posix.empty()) return false;
  FILE* f = fopen(posix.c_str(), "wb");
  if (!f) return false;
  bool ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return fclose(f) == 0 && ok;
}

std::string readFile(const std::string& path) {
  std::string posix = toPosix(path);
  FILE* f = posix.empty() ? nullptr : fopen(posix.c_str(), "rb");
  if (!f) return std::string();
  std::string out;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, f)) > 0) out.append(buffer, n);
  fclose(f);
  return out;
}

bool pathExists(const std::string& path) {
  struct stat st;
  std::string posix = toPosix(path);
  return !posix.empty() && lstat(posix.c_str(), &st) == 0;
}

bool isDirectory(const std::string& path) {
  struct stat st;
  std::string posix = toPosix(path);
  return !posix.empty() && stat(posix.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool setReadOnly(const std::string& path, bool readOnly) {
  std::string posix = toPosix(path);
  struct stat st;
  if (posix.empty() || stat(posix.c_str(), &st) != 0) return false;
  mode_t mode = readOnly ? (st.st_mode & ~static_cast<mode_t>(0222)) : (st.st_mode | 0200);
  return chmod(posix.c_str(), mode) == 0;
}

bool makeDirectoryLink(const std::string& target, const std::string& link) {
  std::string from = toPosix(target), to = toPosix(link);
  return !from.empty() && !to.empty() && symlink(from.c_str(), to.c_str()) == 0;
}

namespace {

void listPosixTree(const std::string& posix, const std::string& relative, std::set<std::string>* out) {
  DIR* dir = opendir(posix.c_str());
  if (!dir) return;
  while (struct dirent* e = readdir(dir)) {
    if (strcmp(e->d_name, ".") == 0 || strcmp(e->d_name, "..") == 0) continue;
    const std::string child = posix + "/" + e->d_name;
    struct stat st, target;
    if (lstat(child.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
      out->insert(relative + e->d_name + "\\");
      listPosixTree(child, relative + e->d_name + "\\", out);
    } else {
      // A link to a directory is named as a directory, and not followed.
      const bool directoryLink = S_ISLNK(st.st_mode) && stat(child.c_str(), &target) == 0 && S_ISDIR(target.st_mode);
      out->insert(relative + e->d_name + (directoryLink ? "\\" : ""));
    }
  }
  closedir(dir);
}

}  // namespace

std::set<std::string> listTree(const std::string& root) {
  std::set<std::string> out;
  std::string posix = toPosix(root);
  if (!posix.empty()) listPosixTree(posix, "", &out);
  return out;
}

void removeTree(const std::string& path) {
  std::string posix = toPosix(path);
  if (!posix.empty()) removePosixTree(posix);
}
