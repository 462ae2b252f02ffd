// Writing a whole file, in both builds: the host gives the name to open.
#include <errno.h>
#include <stdio.h>
#include <string.h>

#include "host.h"

bool writeWholeFile(const std::string& path, const std::string& bytes, std::string& error) {
  std::string hostPath;
  if (!hostFilePath(path, hostPath, error)) return false;
  FILE* file = fopen(hostPath.c_str(), "wb");
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
