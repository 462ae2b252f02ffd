// Test helper: a .reg file in a scoped temporary directory, named in
// HKLM_REG_FILE for as long as the helper lives.
#pragma once

#include <stdlib.h>

#include <string>

#include "test_fs.h"
#include "winpath.h"

class ScopedRegFile {
 public:
  // Writes `text` as the file and points HKLM_REG_FILE at it.
  explicit ScopedRegFile(const std::string& text) {
    const char* old = getenv(kVariable);
    hadOld_ = old != nullptr;
    if (old) old_ = old;
    rewrite(text);
    setenv(kVariable, posixPath().c_str(), 1);
  }
  // Puts HKLM_REG_FILE back as it was.
  ~ScopedRegFile() {
    if (hadOld_) {
      setenv(kVariable, old_.c_str(), 1);
    } else {
      unsetenv(kVariable);
    }
  }
  ScopedRegFile(const ScopedRegFile&) = delete;
  ScopedRegFile& operator=(const ScopedRegFile&) = delete;

  // Replaces the file's content. Returns false when it cannot be written.
  bool rewrite(const std::string& text) { return writeFile(dir_ / "hklm.reg", text); }

  // The directory's Windows-form path, for more files beside the first.
  const ScopedTempDir& dir() const { return dir_; }

  // The POSIX path of `relative` in the directory ("hklm.reg" by default).
  std::string posixPath(const std::string& relative = "hklm.reg") const {
    char out[4096];
    return windowsToPosixPath((dir_ / relative).c_str(), "/", out, sizeof out) ? out : "";
  }

  static constexpr const char* kVariable = "HKLM_REG_FILE";

 private:
  ScopedTempDir dir_;
  bool hadOld_ = false;
  std::string old_;
};
