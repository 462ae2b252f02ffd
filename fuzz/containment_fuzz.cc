// libFuzzer target for the containment check: whatever isPlainRelativeEntry
// and isInsideRoot accept, joined to its manifest's directory, must lie
// inside the installation directory when the path is resolved the way the
// Linux layer resolves it for the deletion (its own, separate Windows path
// mapping, winpath), compared component by component without regard to
// ASCII case.
#include <fuzzer/FuzzedDataProvider.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "containment.h"
#include "winpath.h"

namespace {

constexpr size_t kPosixSize = 4096;

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

// Maps the fuzzer's bytes onto what a directory path from the registry or
// the finder holds: letters, digits, dots, blanks and both separators.
std::string directoryText(const std::string& bytes) {
  static const char kAlphabet[] = "abcXYZ019. \\/\\";
  std::string out;
  for (char c : bytes) out.push_back(kAlphabet[static_cast<unsigned char>(c) % (sizeof kAlphabet - 1)]);
  return out;
}

// The POSIX path the Linux layer would delete for `windowsPath` (absolute,
// on Z:); false when it has none.
bool resolved(const std::string& windowsPath, std::string* out) {
  char posix[kPosixSize];
  if (!windowsToPosixPath(windowsPath.c_str(), "/", posix, sizeof posix)) return false;
  *out = posix;
  // A trailing separator stays in the mapping; the directory is the same.
  while (out->size() > 1 && out->back() == '/') out->pop_back();
  return true;
}

// Whether the POSIX path `path` is `root` or lies below it, ASCII case aside.
bool under(const std::string& root, const std::string& path, bool allowRoot) {
  if (path.size() < root.size()) return false;
  for (size_t i = 0; i < root.size(); ++i) {
    if (lower(root[i]) != lower(path[i])) return false;
  }
  if (path.size() == root.size()) return allowRoot;
  return root == "/" || path[root.size()] == '/';
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider provider(data, size);
  const bool allowRoot = provider.ConsumeBool();
  const std::string root = "Z:\\" + directoryText(provider.ConsumeRandomLengthString(64));
  const std::string manifestDirectory = root + "\\" + directoryText(provider.ConsumeRandomLengthString(64)) + "\\";
  const std::string entryBytes = provider.ConsumeRemainingBytesAsString();
  const std::string entry = entryBytes.c_str();  // a C string ends at its first NUL

  const std::string joined = manifestDirectory + entry;
  if (!isPlainRelativeEntry(entry.c_str()) || !isInsideRoot(root.c_str(), joined.c_str(), allowRoot)) return 0;

  std::string posixRoot, posixPath;
  // Accepted, so the path must be one the layer can delete, inside the root.
  if (!resolved(root, &posixRoot)) return 0;  // a root with no POSIX form admits nothing real
  if (!resolved(joined, &posixPath)) abort();
  if (!under(posixRoot, posixPath, allowRoot)) abort();
  return 0;
}
