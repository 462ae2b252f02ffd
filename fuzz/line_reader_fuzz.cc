// libFuzzer target for the line reader on arbitrary bytes: the bytes as a
// file of their own, then gzip-wrapped, then that gzip member cut short,
// each read to the end with a 1024-byte buffer as the replay reads. The
// file lives in memory (memfd), reached through /proc/self/fd.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/mman.h>
#include <unistd.h>
#include <zlib.h>

#include <string>
#include <vector>

#include "line_reader.h"

namespace {

constexpr int32_t kLineSize = 1024;

// The memory file, made once, and its Windows-form path.
int memoryFile() {
  static int fd = memfd_create("line_reader_fuzz", MFD_CLOEXEC);
  if (fd < 0) abort();
  return fd;
}

std::string memoryFilePath() { return "Z:\\proc\\self\\fd\\" + std::to_string(memoryFile()); }

void setContent(const std::string& bytes) {
  int fd = memoryFile();
  if (ftruncate(fd, 0) != 0) abort();
  if (!bytes.empty() && pwrite(fd, bytes.data(), bytes.size(), 0) != static_cast<ssize_t>(bytes.size())) abort();
}

std::string gzipped(const std::string& plain) {
  z_stream stream;
  memset(&stream, 0, sizeof stream);
  if (deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) != Z_OK) abort();
  std::string out(deflateBound(&stream, static_cast<uLong>(plain.size())) + 32, '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(plain.data()));
  stream.avail_in = static_cast<uInt>(plain.size());
  stream.next_out = reinterpret_cast<Bytef*>(&out[0]);
  stream.avail_out = static_cast<uInt>(out.size());
  if (deflate(&stream, Z_FINISH) != Z_STREAM_END) abort();
  out.resize(stream.total_out);
  deflateEnd(&stream);
  return out;
}

struct Reading {
  std::vector<std::string> buffers;  // each call's whole buffer, NULs and all
  std::string text;                  // the lines as C strings, joined
  bool closed = false;
};

// Opens the memory file and reads it to the end. Each call's buffer is
// checked: the same buffer comes back, a NUL within size-1 bytes, nothing
// after a line feed, and what follows the string is what it was before.
Reading readToEnd(const std::string& bytes) {
  setContent(bytes);
  Reading reading;
  LineReader reader;
  if (!reader.open(memoryFilePath().c_str(), 1)) abort();
  char* buffer = static_cast<char*>(malloc(kLineSize));
  for (;;) {
    memset(buffer, 0x5A, kLineSize);
    char* line = reader.readLine(buffer, kLineSize);
    if (!line) break;
    if (line != buffer) abort();
    const void* nul = memchr(buffer, '\0', kLineSize);
    if (!nul) abort();
    const size_t length = strlen(buffer);
    const char* lf = static_cast<const char*>(memchr(buffer, '\n', length));
    if (lf && lf != buffer + length - 1) abort();
    reading.buffers.emplace_back(buffer, kLineSize);
    reading.text.append(buffer, length);
  }
  free(buffer);
  reading.closed = reader.close();
  return reading;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const bool looksGzip = size >= 2 && data[0] == 0x1F && data[1] == 0x8B;

  // As a file of its own: gzip data is decompressed (and may be damaged),
  // anything else comes back byte for byte.
  const Reading raw = readToEnd(bytes);
  const bool hasNul = memchr(data, '\0', size) != nullptr;
  if (!looksGzip) {
    if (!raw.closed) abort();
    if (!hasNul && raw.text != bytes) abort();
  }

  // Wrapped in gzip, the same bytes give the same lines, buffer for buffer,
  // as the plain file gave (when it was not gzip data itself).
  const std::string packed = gzipped(bytes);
  const Reading wrapped = readToEnd(packed);
  if (!wrapped.closed) abort();
  if (!looksGzip && wrapped.buffers != raw.buffers) abort();
  if (!hasNul && wrapped.text != bytes) abort();

  // The member cut short, past its magic: what arrives is the start of the
  // bytes, and the close reports the damage.
  if (size > 0) {
    const size_t cut = 2 + static_cast<size_t>(data[0]) * 7919 % (packed.size() - 2);
    const Reading truncated = readToEnd(packed.substr(0, cut));
    if (truncated.closed) abort();
    if (!hasNul && bytes.compare(0, truncated.text.size(), truncated.text) != 0) abort();
  }
  return 0;
}
