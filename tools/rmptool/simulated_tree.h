// The tree as a plan sees it: the real tree, only ever read, less what the
// plan has deleted and removed so far. It answers each effect the way the
// real call would answer it at that point of the run, and says why one
// would fail.
#pragma once

#include <string>
#include <unordered_set>

class SimulatedTree {
 public:
  // Deletes the file `path` in the simulation. Returns the empty string
  // when the real deletion would succeed now, else why it would fail:
  // "path too long", "missing", "a device name" (Windows reads "CON" or
  // "nul.txt" as a device), "is a directory" or "read-only".
  std::string deleteFile(const char* path);

  // Removes the directory `path` (a trailing separator is fine) in the
  // simulation. Returns the empty string when the real removal would
  // succeed now, because everything in it is gone by then; else why it
  // would fail: "path too long", "missing", "a device name", "not a
  // directory", "not empty" or "cannot be listed".
  std::string removeDirectory(const char* path);

  // True when `path`, or a directory above it, has been deleted or removed.
  bool isGone(const char* path) const;

 private:
  // The identity of `path`: normalised as Windows reads it, in its long
  // form when it exists, ASCII letters folded. Empty when it does not fit.
  std::string keyOf(const char* path) const;
  bool isGoneKey(const std::string& key) const;

  std::unordered_set<std::string> gone_;
};
