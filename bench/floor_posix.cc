// The floor's deletion on POSIX: unlink and rmdir, nothing else.
#include <unistd.h>

#include "floor.h"

int deleteOne(const char* path, bool isDirectory) { return isDirectory ? rmdir(path) : unlink(path); }
