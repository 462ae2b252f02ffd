// gzip packing with zlib's deflate and its gzip wrapper.
#include "gzip_pack.h"

#include <string.h>
#include <zlib.h>

bool gzipPack(const std::string& plain, std::string& packed) {
  z_stream stream;
  memset(&stream, 0, sizeof stream);
  // 15 window bits plus 16 ask for the gzip wrapper.
  if (deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) != Z_OK) return false;
  packed.assign(deflateBound(&stream, static_cast<uLong>(plain.size())) + 32, '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(plain.data()));
  stream.avail_in = static_cast<uInt>(plain.size());
  stream.next_out = reinterpret_cast<Bytef*>(&packed[0]);
  stream.avail_out = static_cast<uInt>(packed.size());
  int result = deflate(&stream, Z_FINISH);
  packed.resize(stream.total_out);
  deflateEnd(&stream);
  return result == Z_STREAM_END;
}
