// A stand-in GUI program for testing note_reader and the Wine harness: it
// shows the message boxes its command line asks for, then ends as asked.
//
//   note_probe.exe END [TEXT CAPTION STYLE]...
//
// Each TEXT CAPTION STYLE triple is one MessageBoxA call, in order, with no
// owner window; STYLE is a number in C notation (0 is MB_OK, 0x10 adds
// MB_ICONHAND). END is the exit code (a decimal number, -1 allowed),
// "crash" to write through a null pointer, or "hang" to never return.
#include <windows.h>

#include <stdlib.h>
#include <string.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // The C runtime has split the command line already; WinMain's own
  // argument is one unsplit string.
  if (__argc < 2 || (__argc - 2) % 3 != 0) return 2;
  for (int i = 2; i + 2 < __argc; i += 3) {
    UINT style = static_cast<UINT>(strtoul(__argv[i + 2], nullptr, 0));
    MessageBoxA(nullptr, __argv[i], __argv[i + 1], style);
  }
  const char* end = __argv[1];
  if (strcmp(end, "crash") == 0) {
    // volatile keeps the compiler from proving the write away.
    volatile int* nowhere = nullptr;
    *nowhere = 1;
  }
  if (strcmp(end, "hang") == 0) Sleep(INFINITE);
  return atoi(end);
}
