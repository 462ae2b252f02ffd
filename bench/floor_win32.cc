// The floor's deletion on Windows: DeleteFileA and RemoveDirectoryA, nothing else.
#include <windows.h>

#include "floor.h"

int deleteOne(const char* path, bool isDirectory) {
  return (isDirectory ? RemoveDirectoryA(path) : DeleteFileA(path)) ? 0 : -1;
}
