// libFuzzer target for manifest lines: any line as the reader delivers it
// (at most 1023 bytes and a NUL, in a 1024-byte buffer) is cut at its first
// LF, then at its first CR, within the buffer, and classified by what is
// left: empty, a directory (last character a backslash) or a file.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "manifest_line.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  constexpr size_t kLineSize = 1024;
  if (size >= kLineSize) return 0;
  // A buffer of exactly the line's bytes and its NUL, so that a read past
  // the terminator is seen.
  char* line = static_cast<char*>(malloc(size + 1));
  memcpy(line, data, size);
  line[size] = '\0';

  // Where the entry must end: the first LF, CR or NUL.
  size_t end = 0;
  while (end < size && data[end] != '\n' && data[end] != '\r' && data[end] != '\0') ++end;

  char* entry = cutManifestLine(line);
  if (entry != line) abort();
  if (strlen(entry) != end || memcmp(entry, data, end) != 0) abort();

  EntryKind expected = end == 0 ? EntryKind::Empty : data[end - 1] == '\\' ? EntryKind::Directory : EntryKind::File;
  if (classifyEntry(entry) != expected) abort();

  // Cutting again changes nothing.
  if (cutManifestLine(line) != line || strlen(line) != end) abort();
  free(line);
  return 0;
}
