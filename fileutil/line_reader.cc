// LineReader over zlib's gzopen, gzgets and gzclose.
#include "line_reader.h"

#include <errno.h>

#include "disk_name.h"

namespace {
constexpr int32_t kDiskPathSize = 1024;
}  // namespace

LineReader::~LineReader() { close(); }

bool LineReader::open(const char* path, int32_t value) {
  close();
  char encoded[kDiskPathSize];
  bool dropped = false;
  encodeDiskName(path, encoded, kDiskPathSize, &dropped);
  // A disk name cut at the size limit names another file: never open it.
  if (dropped) errno = ENAMETOOLONG;
  stream = dropped ? nullptr : openGzFile(encoded, "rb");
  isGzipStream = 1;
  openArgument = value;
  openCalled = 1;
  if (!stream) return false;
  diskPath.assign(encoded);
  return true;
}

char* LineReader::readLine(char* buffer, int32_t size) {
  if (!stream) {
    if (buffer && size > 0) buffer[0] = '\0';
    return nullptr;
  }
  return gzgets(stream, buffer, size);
}

bool LineReader::close() {
  if (!stream) return false;
  // zlib's gzclose reports a truncated stream but not a data error met while
  // reading; the stream's error state tells both.
  int streamError = Z_OK;
  gzerror(stream, &streamError);
  int closeResult = gzclose(stream);
  stream = nullptr;
  return closeResult == Z_OK && streamError == Z_OK;
}
