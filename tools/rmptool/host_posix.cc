// The tool's host calls on Linux: drive Z: is the POSIX root, as in the
// platform layer.
#include <errno.h>
#include <string.h>
#include <unistd.h>

#include "host.h"
#include "winpath.h"

bool isTerminal(FILE* stream) { return isatty(fileno(stream)) == 1; }

void useBinaryStandardStreams() {}

bool writeWholeFile(const std::string& path, const std::string& bytes, std::string& error) {
  char cwd[4096];
  char posix[4096];
  if (!getcwd(cwd, sizeof cwd) || !windowsToPosixPath(path.c_str(), cwd, posix, sizeof posix)) {
    error = "no such place on this machine";
    return false;
  }
  FILE* file = fopen(posix, "wb");
  if (!file) {
    error = strerror(errno);
    return false;
  }
  bool written = fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  int writeError = errno;
  if (fclose(file) != 0 && written) {
    written = false;
    writeError = errno;
  }
  if (!written) error = strerror(writeError);
  return written;
}
