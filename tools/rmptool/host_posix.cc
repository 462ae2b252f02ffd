// The tool's host calls on Linux: drive Z: is the POSIX root, as in the
// platform layer.
#include <unistd.h>

#include "host.h"
#include "winpath.h"

bool isTerminal(FILE* stream) { return isatty(fileno(stream)) == 1; }

void useBinaryStandardStreams() {}

bool hostFilePath(const std::string& path, std::string& hostPath, std::string& error) {
  char cwd[4096];
  char posix[4096];
  if (!getcwd(cwd, sizeof cwd) || !windowsToPosixPath(path.c_str(), cwd, posix, sizeof posix)) {
    error = "no such place on this machine";
    return false;
  }
  hostPath = posix;
  return true;
}
