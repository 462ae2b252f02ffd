// The message box and the long-path query on POSIX.
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>

#include "resolve.h"
#include "win_ui.h"

int MessageBoxA(HWND, LPCSTR text, LPCSTR caption, UINT) {
  printf("%s\n%s\n", caption ? caption : "", text ? text : "");
  fflush(stdout);
  return IDOK;
}

DWORD GetLongPathNameA(LPCSTR shortPath, LPSTR longPath, DWORD size) {
  char posix[kPosixPathSize];
  struct stat st;
  if (!shortPath || !resolveWindowsPath(shortPath, posix) || stat(posix, &st) != 0) return 0;
  size_t length = strlen(shortPath);
  if (!longPath || length + 1 > size) return static_cast<DWORD>(length + 1);
  memmove(longPath, shortPath, length + 1);
  return static_cast<DWORD>(length);
}
