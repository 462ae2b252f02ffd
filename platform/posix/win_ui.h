// The few user-interface and shell calls of the program, and its entry point.
#pragma once

#include "win_types.h"

typedef struct HWND__* HWND;
typedef struct HINSTANCE__* HINSTANCE;
typedef unsigned int UINT;

#define MB_OK 0x00000000L
#define IDOK 1

// Writes `caption` and `text` to standard output, one line each, and returns
// IDOK as if the user had pressed the button.
int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);

// Writes the long form of the existing path `shortPath` into `longPath`
// (`size` bytes). There are no short names here, so the long form is the path
// as given. Returns its length without the NUL; the size needed, NUL
// included, when it does not fit; 0 when the path does not exist.
DWORD GetLongPathNameA(LPCSTR shortPath, LPSTR longPath, DWORD size);

// The program's entry point, which the build's start-up calls; its result is
// the exit code.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand);
