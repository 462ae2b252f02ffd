// The tool's host calls on Windows: the C runtime's own.
#include <fcntl.h>
#include <io.h>

#include "host.h"

bool isTerminal(FILE* stream) { return _isatty(_fileno(stream)) != 0; }

void useBinaryStandardStreams() {
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
}

bool hostFilePath(const std::string& path, std::string& hostPath, std::string&) {
  hostPath = path;
  return true;
}
