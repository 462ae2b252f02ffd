// The tool's host calls on Windows: the C runtime's own.
#include <errno.h>
#include <fcntl.h>
#include <io.h>
#include <string.h>

#include "host.h"

bool isTerminal(FILE* stream) { return _isatty(_fileno(stream)) != 0; }

void useBinaryStandardStreams() {
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
}

bool writeWholeFile(const std::string& path, const std::string& bytes, std::string& error) {
  FILE* file = fopen(path.c_str(), "wb");
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
