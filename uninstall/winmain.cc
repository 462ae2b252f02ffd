// The entry point of the uninstaller. Its arguments are ignored; its result
// is the exit code.
#include "platform.h"
#include "sequence.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return runUninstall(); }
