// Windows-form paths to POSIX paths and back, as Wine maps drive Z:.
#include "winpath.h"

#include <string.h>

namespace {

bool isSeparator(char c) { return c == '\\' || c == '/'; }

bool isAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// Appends the components of `path` to `out` (which holds `*length` bytes and
// always starts with "/"), applying Windows' lexical rules.
bool appendComponents(const char* path, char* out, size_t size, size_t* length) {
  const char* p = path;
  while (*p) {
    while (isSeparator(*p)) ++p;
    if (!*p) break;
    const char* start = p;
    while (*p && !isSeparator(*p)) ++p;
    size_t n = static_cast<size_t>(p - start);
    if (n == 1 && start[0] == '.') continue;
    if (n == 2 && start[0] == '.' && start[1] == '.') {
      // Remove the last component, never the root.
      while (*length > 1 && out[*length - 1] != '/') --*length;
      if (*length > 1) --*length;
      out[*length] = '\0';
      continue;
    }
    // Windows strips trailing dots and spaces from every component.
    while (n > 0 && (start[n - 1] == '.' || start[n - 1] == ' ')) --n;
    if (n == 0) continue;
    size_t needSlash = out[*length - 1] == '/' ? 0 : 1;
    if (*length + needSlash + n + 1 > size) return false;
    if (needSlash) out[(*length)++] = '/';
    memcpy(out + *length, start, n);
    *length += n;
    out[*length] = '\0';
  }
  return true;
}

}  // namespace

bool windowsToPosixPath(const char* windowsPath, const char* posixCwd, char* out, size_t size) {
  if (!out || size < 2) return false;
  out[0] = '\0';
  if (!windowsPath || !*windowsPath) return false;
  for (const char* p = windowsPath; *p; ++p) {
    if (static_cast<unsigned char>(*p) < 0x20) return false;
  }
  // UNC, "\\?\" and "\\.\" paths have no POSIX form here.
  if (isSeparator(windowsPath[0]) && isSeparator(windowsPath[1])) return false;

  const char* rest = windowsPath;
  if (isAsciiLetter(windowsPath[0]) && windowsPath[1] == ':') {
    if (windowsPath[0] != 'z' && windowsPath[0] != 'Z') return false;
    rest = windowsPath + 2;
  }
  const bool rooted = isRootedWindowsPath(windowsPath);
  // Any other colon would name a stream or a device.
  if (strchr(rest, ':')) return false;

  size_t length = 1;
  out[0] = '/';
  out[1] = '\0';
  if (!rooted) {
    if (!posixCwd || posixCwd[0] != '/') {
      out[0] = '\0';
      return false;
    }
    if (!appendComponents(posixCwd, out, size, &length)) {
      out[0] = '\0';
      return false;
    }
  }
  if (!appendComponents(rest, out, size, &length)) {
    out[0] = '\0';
    return false;
  }
  size_t inLength = strlen(windowsPath);
  if (isSeparator(windowsPath[inLength - 1]) && length > 1) {
    if (length + 2 > size) {
      out[0] = '\0';
      return false;
    }
    out[length++] = '/';
    out[length] = '\0';
  }
  return true;
}

bool isRootedWindowsPath(const char* windowsPath) {
  if (!windowsPath) return false;
  const char* rest = windowsPath;
  if (isAsciiLetter(windowsPath[0]) && windowsPath[1] == ':') rest += 2;
  return isSeparator(*rest);
}

bool posixToWindowsPath(const char* posixPath, char* out, size_t size) {
  if (!out || size == 0) return false;
  out[0] = '\0';
  if (!posixPath || posixPath[0] != '/') return false;
  size_t n = strlen(posixPath);
  // "Z:" and the path with its slashes turned round.
  if (n + 3 > size) return false;
  out[0] = 'Z';
  out[1] = ':';
  for (size_t i = 0; i < n; ++i) out[2 + i] = posixPath[i] == '/' ? '\\' : posixPath[i];
  out[2 + n] = '\0';
  return true;
}
