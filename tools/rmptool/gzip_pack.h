// Bytes packed as one gzip member, as zlib's gzip reading layer reads them.
#pragma once

#include <string>

// Packs `plain` into `packed` (the gzip header's time left 0, so the same
// input always packs the same). Returns false when zlib fails.
bool gzipPack(const std::string& plain, std::string& packed);
