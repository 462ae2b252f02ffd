// Test file helpers that need no platform of their own.
#include "test_fs.h"

#include <string.h>
#include <zlib.h>

bool makeDirectories(const std::string& path) {
  // Create each prefix that ends before a separator, then the path itself.
  for (size_t i = 3; i < path.size(); ++i) {
    if (path[i] == '\\' || path[i] == '/') makeDirectory(path.substr(0, i));
  }
  return makeDirectory(path);
}

std::string gzipBytes(const std::string& plain) {
  z_stream stream;
  memset(&stream, 0, sizeof stream);
  // 15 window bits plus 16 asks for the gzip wrapper.
  if (deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
    return std::string();
  }
  std::string out(deflateBound(&stream, static_cast<uLong>(plain.size())) + 32, '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(plain.data()));
  stream.avail_in = static_cast<uInt>(plain.size());
  stream.next_out = reinterpret_cast<Bytef*>(&out[0]);
  stream.avail_out = static_cast<uInt>(out.size());
  int result = deflate(&stream, Z_FINISH);
  out.resize(stream.total_out);
  deflateEnd(&stream);
  return result == Z_STREAM_END ? out : std::string();
}
