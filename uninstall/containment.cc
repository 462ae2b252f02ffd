// Containment of manifest entries in the installation directory.
#include "containment.h"

#include <string.h>

namespace {

constexpr size_t kNormalisedSize = 2048;

bool isSeparator(char c) { return c == '\\' || c == '/'; }

char asciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool isAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

}  // namespace

bool isPlainRelativeEntry(const char* entry) {
  if (isSeparator(entry[0]) && isSeparator(entry[1])) return false;
  const char* start = entry;
  for (const char* p = entry;; ++p) {
    unsigned char c = static_cast<unsigned char>(*p);
    if (c == ':' || (c != 0 && (c < 0x20 || c == 0x7F))) return false;
    if (c == 0 || isSeparator(static_cast<char>(c))) {
      size_t n = static_cast<size_t>(p - start);
      bool dots = (n == 1 && start[0] == '.') || (n == 2 && start[0] == '.' && start[1] == '.');
      if (n > 0 && !dots && (start[n - 1] == '.' || start[n - 1] == ' ')) return false;
      if (c == 0) return true;
      start = p + 1;
    }
  }
}

bool normaliseWindowsPath(const char* path, char* out, size_t size) {
  if (size == 0) return false;
  out[0] = '\0';
  size_t prefix = 0;
  const char* p = path;
  if (isSeparator(p[0]) && isSeparator(p[1])) {
    if (size < 3) return false;
    memcpy(out, "\\\\", 2);
    prefix = 2;
    p += 2;
  } else if (isAsciiLetter(p[0]) && p[1] == ':') {
    bool rooted = isSeparator(p[2]);
    prefix = rooted ? 3 : 2;
    if (size < prefix + 1) return false;
    out[0] = p[0];
    out[1] = ':';
    if (rooted) out[2] = '\\';
    p += prefix;
  } else if (isSeparator(p[0])) {
    if (size < 2) return false;
    out[0] = '\\';
    prefix = 1;
    p += 1;
  }
  // A rooted path never climbs above its root; a relative one keeps the
  // ".." components it cannot resolve.
  bool rooted = prefix > 0 && out[prefix - 1] == '\\';
  size_t length = prefix;
  size_t keptDotDots = 0;  // leading ".." components of a relative path
  out[length] = '\0';
  while (*p) {
    while (isSeparator(*p)) ++p;
    if (!*p) break;
    const char* start = p;
    while (*p && !isSeparator(*p)) ++p;
    size_t n = static_cast<size_t>(p - start);
    if (n == 1 && start[0] == '.') continue;
    if (n == 2 && start[0] == '.' && start[1] == '.') {
      size_t components = 0;
      for (size_t i = prefix; i < length; ++i) components += out[i] == '\\';
      components += length > prefix ? 1 : 0;
      if (components > keptDotDots) {
        // Remove the last component and the separator before it.
        while (length > prefix && out[length - 1] != '\\') --length;
        if (length > prefix) --length;
        out[length] = '\0';
        continue;
      }
      if (rooted) continue;
      ++keptDotDots;
    } else {
      while (n > 0 && (start[n - 1] == '.' || start[n - 1] == ' ')) --n;
      if (n == 0) continue;
    }
    bool separator = length > prefix;
    if (length + (separator ? 1 : 0) + n + 1 > size) {
      out[0] = '\0';
      return false;
    }
    if (separator) out[length++] = '\\';
    memcpy(out + length, start, n);
    length += n;
    out[length] = '\0';
  }
  return true;
}

bool isInsideNormalisedRoot(const char* root, const char* path, bool allowRoot) {
  size_t n = strlen(root);
  for (size_t i = 0; i < n; ++i) {
    if (asciiLower(root[i]) != asciiLower(path[i])) return false;
  }
  if (path[n] == '\0') return allowRoot;
  // The root is a whole component of the path: "...\Pellmoor2" is not inside
  // "...\Pellmoor". A root that is itself a bare prefix ("Z:\") ends in one.
  return path[n] == '\\' || (n > 0 && root[n - 1] == '\\');
}

bool isInsideRoot(const char* root, const char* path, bool allowRoot) {
  char normalRoot[kNormalisedSize];
  char normalPath[kNormalisedSize];
  return normaliseWindowsPath(root, normalRoot, sizeof normalRoot) &&
         normaliseWindowsPath(path, normalPath, sizeof normalPath) &&
         isInsideNormalisedRoot(normalRoot, normalPath, allowRoot);
}
