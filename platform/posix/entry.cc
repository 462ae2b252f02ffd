// The start-up of a program of the Linux build: calls WinMain and exits with
// its result, as the C runtime's start-up does on Windows.
#include <stdlib.h>

#include "win_ui.h"

int main(int, char**) {
  char commandLine[] = "";
  exit(WinMain(nullptr, nullptr, commandLine, 1));
}
