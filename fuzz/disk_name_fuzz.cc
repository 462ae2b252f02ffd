// libFuzzer target for the disk name encoding: no overrun at any destination
// size, the result never longer than size-1, encoding twice the same as
// encoding once when nothing was dropped, and a string of plain characters
// in which no reserved device name stands comes back unchanged.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "disk_name.h"

namespace {

const char* const kReservedNames[] = {"CON",  "PRN",  "AUX",  "CLOCK$", "COM1", "COM2", "COM3", "COM4",
                                      "COM5", "COM6", "COM7", "COM8",   "COM9", "LPT1", "LPT2", "LPT3",
                                      "LPT4", "LPT5", "LPT6", "LPT7",   "LPT8", "LPT9", "NUL"};

char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }

// Whether a reserved name stands at `p`: the run up to the next '.', '/',
// ':', '\' or the end is one of them, letters in either case.
bool reservedAt(const char* p) {
  size_t n = strcspn(p, "./:\\");
  for (const char* name : kReservedNames) {
    if (strlen(name) != n) continue;
    size_t i = 0;
    while (i < n && upper(p[i]) == name[i]) ++i;
    if (i == n) return true;
  }
  return false;
}

// Printable ASCII but the double quote, '*', '+', '<', '>', '?' and '|'.
bool plain(unsigned char c) { return c >= 0x20 && c <= 0x7E && !strchr("\"*+<>?|", c); }

// Encodes `source` into a heap buffer of exactly `size` bytes, so that
// AddressSanitizer sees a write one byte past it; checks the length.
std::string encode(const char* source, int32_t size, bool* dropped) {
  char* out = static_cast<char*>(malloc(static_cast<size_t>(size)));
  memset(out, 0x55, static_cast<size_t>(size));
  if (!encodeDiskName(source, out, size, dropped)) abort();
  size_t length = strnlen(out, static_cast<size_t>(size));
  if (length >= static_cast<size_t>(size)) abort();  // no terminator inside the buffer
  std::string result(out, length);
  free(out);
  return result;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  // The first two bytes pick a destination size, the rest is the source.
  const size_t pick = static_cast<size_t>(data[0]) | static_cast<size_t>(data[1]) << 8;
  const std::string text(reinterpret_cast<const char*>(data + 2), size - 2);
  const char* source = text.c_str();  // ends at the first NUL, as a C string does
  const size_t length = strlen(source);

  // Every piece is at most four characters: 4n+1 bytes always hold it all.
  const int32_t roomy = static_cast<int32_t>(4 * length + 1);
  bool dropped = true;
  const std::string whole = encode(source, roomy, &dropped);
  if (dropped) abort();

  // Encoding twice gives the same string.
  bool droppedAgain = true;
  const std::string again = encode(whole.c_str(), static_cast<int32_t>(4 * whole.size() + 1), &droppedAgain);
  if (droppedAgain || again != whole) abort();

  // Plain characters with no reserved name anywhere pass through.
  bool allPlain = true;
  for (size_t i = 0; i < length && allPlain; ++i) {
    allPlain = plain(static_cast<unsigned char>(source[i])) && !reservedAt(source + i);
  }
  if (allPlain && whole != text.substr(0, length)) abort();

  // Any destination size: never longer than size-1, and the same result as
  // the roomy one whenever nothing was dropped, shorter when something was.
  const int32_t small = static_cast<int32_t>(pick % (4 * length + 2)) + 1;
  for (int32_t room : {1, small}) {
    bool cut = false;
    const std::string result = encode(source, room, &cut);
    if (result.size() > static_cast<size_t>(room - 1)) abort();
    if (!cut && result != whole) abort();
    if (cut && result.size() >= whole.size()) abort();
  }

  // A null source or destination, or no room at all, writes nothing.
  char guard = 'g';
  if (encodeDiskName(nullptr, &guard, 1) || encodeDiskName(source, nullptr, 1) || encodeDiskName(source, &guard, 0) ||
      guard != 'g') {
    abort();
  }
  return 0;
}
