// Prints the short (8.3) form of each path argument, one per line, as
// GetShortPathNameA gives it; an empty line when there is none. The
// end-to-end tests use it to register an installation under its short name.
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <stdio.h>

int main(int argc, char** argv) {
  _setmode(_fileno(stdout), _O_BINARY);
  for (int i = 1; i < argc; ++i) {
    char shortPath[MAX_PATH + 1];
    DWORD n = GetShortPathNameA(argv[i], shortPath, sizeof shortPath);
    printf("%s\n", n > 0 && n < sizeof shortPath ? shortPath : "");
  }
  return 0;
}
