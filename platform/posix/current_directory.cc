// The current directory under the name it was entered by.
#include "current_directory.h"

#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include "resolve.h"
#include "winpath.h"

namespace {

// The path last entered, and the identity of the directory it led to, so
// that a move by any other means (a plain chdir) is noticed.
struct Remembered {
  char path[kPosixPathSize];
  char drive;
  dev_t device;
  ino_t inode;
  bool valid;
};

Remembered remembered;

// True when the remembered path still names the current directory.
bool rememberedIsCurrent() {
  struct stat st;
  return remembered.valid && stat(".", &st) == 0 && st.st_dev == remembered.device &&
         st.st_ino == remembered.inode;
}

}  // namespace

void rememberCurrentDirectory(const char* posixPath, char drive) {
  remembered.valid = false;
  struct stat st;
  size_t length = strlen(posixPath);
  if (posixPath[0] != '/' || length >= sizeof remembered.path || stat(".", &st) != 0) return;
  memcpy(remembered.path, posixPath, length + 1);
  remembered.drive = drive;
  remembered.device = st.st_dev;
  remembered.inode = st.st_ino;
  remembered.valid = true;
}

bool currentPosixDirectory(char* out, size_t size) {
  if (!out || size == 0) return false;
  if (rememberedIsCurrent()) {
    size_t length = strlen(remembered.path);
    if (length >= size) return false;
    memcpy(out, remembered.path, length + 1);
    return true;
  }
  return getcwd(out, size) != nullptr;
}

bool currentWindowsDirectory(char* out, size_t size) {
  char posix[kPosixPathSize];
  if (!currentPosixDirectory(posix, sizeof posix)) return false;
  if (!posixToWindowsPath(posix, out, size)) return false;
  out[0] = currentDriveLetter();
  return true;
}

char currentDriveLetter() { return rememberedIsCurrent() ? remembered.drive : 'Z'; }
