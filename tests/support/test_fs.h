// File helpers for tests, taking Windows-form paths in both builds: a scoped
// temporary directory that puts the current directory back, and small calls
// to lay out and inspect a tree. An absolute path is taken as it stands, as
// Windows takes the "\\?\" form: no length limit, and a name may end in a
// dot or a space.
#pragma once

#include <set>
#include <string>

// A fresh, empty directory for one test. Its destructor changes back to the
// directory that was current when it was made and deletes the whole tree.
class ScopedTempDir {
 public:
  ScopedTempDir();
  ~ScopedTempDir();
  ScopedTempDir(const ScopedTempDir&) = delete;
  ScopedTempDir& operator=(const ScopedTempDir&) = delete;

  // The directory's full Windows-form path, ending in a backslash.
  const std::string& path() const { return path_; }
  // The path of `relative` (backslash-separated) inside the directory.
  std::string operator/(const std::string& relative) const { return path_ + relative; }
  bool valid() const { return !path_.empty(); }

 private:
  std::string path_;
  std::string savedCwd_;
};

// The current directory, in Windows form; empty when it cannot be read.
std::string currentDirectory();
// Creates one directory. Returns true when it exists afterwards.
bool makeDirectory(const std::string& path);
// Creates every missing directory on the way to `path`, and `path`.
bool makeDirectories(const std::string& path);
// Writes `bytes` to the file `path`, creating its directories.
bool writeFile(const std::string& path, const std::string& bytes);
// The whole content of the file `path`; empty when it cannot be read.
std::string readFile(const std::string& path);
bool pathExists(const std::string& path);
bool isDirectory(const std::string& path);
// Sets or clears the read-only attribute (on POSIX: clears every write
// permission, or gives the owner write permission back).
bool setReadOnly(const std::string& path, bool readOnly);
// Makes `link` a symbolic link to the directory `target`. Returns false when
// the platform cannot make one here.
bool makeDirectoryLink(const std::string& target, const std::string& link);
// Deletes `path` and everything under it, never following a link.
void removeTree(const std::string& path);
// Everything under the directory `root` (ending in a backslash), relative to
// it with backslashes, each directory ending in one; sorted. Links are
// listed, never followed.
std::set<std::string> listTree(const std::string& root);

// `plain` compressed as one gzip member.
std::string gzipBytes(const std::string& plain);
