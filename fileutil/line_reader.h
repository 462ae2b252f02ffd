// LineReader: opens one file under its disk name through zlib's gzip file
// layer (compressed or plain) and hands out its lines into a caller's buffer.
#pragma once

#include <stdint.h>

#include "owned_string.h"
#include "platform.h"

class LineReader {
 public:
  LineReader() = default;
  // Closes a file that is still open and frees `diskPath`.
  ~LineReader();
  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;

  // Closes any open file, then opens `path` under its disk name. `value` is
  // stored and not used. Returns true when the file was opened; false when
  // it could not be, and also when the disk name would be longer than 1023
  // characters (a shortened name would be another file). On failure errno
  // says why: ENOENT when no file has the disk name, ENAMETOOLONG when the
  // name is too long, another value when the file is there but could not be
  // opened (in use, no access, memory short).
  bool open(const char* path, int32_t value);

  // Reads the next line, or the next size-1 bytes of a longer one, into
  // `buffer`, keeping the line feed that ended it. Returns `buffer`, or null
  // when not a byte could be read (end of data, damaged data, no open file);
  // with no open file the buffer is left holding the empty string.
  char* readLine(char* buffer, int32_t size);

  // Closes the open file. Returns true when a file was open and closed
  // without error; false when none was open or the data was found damaged.
  bool close();

  gzFile stream = nullptr;
  OwnedString diskPath;
  int32_t openArgument = 0;
  int32_t isGzipStream = 0;
  uint8_t openCalled = 0;
};
