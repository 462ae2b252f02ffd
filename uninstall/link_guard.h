// The guard against deleting through a link: before an entry is applied,
// every directory between the installation directory and the target must be
// a plain directory, and the target itself must not be a link (a reparse
// point). Directories found plain are remembered, so that each is looked at
// once per manifest, not once per entry.
#pragma once

#include <stddef.h>
#include <stdint.h>

class LinkGuard {
 public:
  LinkGuard() = default;
  ~LinkGuard();
  LinkGuard(const LinkGuard&) = delete;
  LinkGuard& operator=(const LinkGuard&) = delete;

  // True when nothing on the way from `normalRoot` to `normalTarget` is a
  // link: every directory strictly between them is plain (or missing, when
  // the effect will simply fail), and the target is not a reparse point.
  // Both paths are normalised (normaliseWindowsPath) and the target lies
  // inside the root. The root itself and what lies above it are not looked at.
  bool allows(const char* normalRoot, const char* normalTarget);

  // Forgets every directory found plain.
  void clear();

 private:
  bool known(const char* path, size_t length) const;
  // Remembers a plain directory; when memory runs short it is simply looked
  // at again next time.
  void remember(const char* path, size_t length);
  bool grow();

  char** slots_ = nullptr;
  uint32_t capacity_ = 0;  // a power of two, or 0
  uint32_t count_ = 0;
};
