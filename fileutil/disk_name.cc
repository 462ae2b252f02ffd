// Disk name encoding.
#include "disk_name.h"

#include <stdio.h>
#include <string.h>

namespace {

const char* const kReservedNames[] = {
    "CON",  "PRN",  "AUX",  "CLOCK$", "COM1", "COM2", "COM3", "COM4",
    "COM5", "COM6", "COM7", "COM8",   "COM9", "LPT1", "LPT2", "LPT3",
    "LPT4", "LPT5", "LPT6", "LPT7",   "LPT8", "LPT9", "NUL",
};

char asciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool equalNoCase(const char* a, const char* b) {
  for (; *a && *b; ++a, ++b) {
    if (asciiUpper(*a) != asciiUpper(*b)) return false;
  }
  return *a == *b;
}

bool isHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// Writes the escape of `c` into `piece` (at least 5 bytes).
void escapeOf(unsigned char c, char* piece) {
  snprintf(piece, 5, "%c%c%x%x", 43, 126, c >> 4, c & 0x0F);
}

}  // namespace

bool isPlainNameChar(unsigned char c) {
  if (c < 0x20 || c > 0x7E) return false;
  switch (c) {
    case '"':
    case '*':
    case '+':
    case '<':
    case '>':
    case '?':
    case '|':
      return false;
    default:
      return true;
  }
}

bool isEscapeSequence(const char* text) {
  // Each test stops at the terminator, so fewer than four characters fail.
  return text[0] == '+' && text[1] == '~' && isHexDigit(text[2]) && isHexDigit(text[3]);
}

bool isReservedDeviceName(const char* text) {
  char word[8] = {};
  strncpy(word, text, 7);
  for (int i = 0; i < 7; ++i) {
    if (word[i] == '.' || word[i] == '/' || word[i] == ':' || word[i] == '\\') {
      word[i] = '\0';
      break;
    }
  }
  for (const char* name : kReservedNames) {
    if (equalNoCase(word, name)) return true;
  }
  return false;
}

bool encodeDiskName(const char* source, char* destination, int32_t size, bool* dropped) {
  if (dropped) *dropped = false;
  if (!source || !destination || size < 1) return false;
  destination[0] = '\0';
  int32_t length = 0;
  const char* p = source;
  while (*p) {
    char piece[5];
    int32_t pieceLength;
    unsigned char c = static_cast<unsigned char>(*p);
    if (isReservedDeviceName(p)) {
      escapeOf(c, piece);
      pieceLength = 4;
      p += 1;
    } else if (isPlainNameChar(c)) {
      piece[0] = static_cast<char>(c);
      pieceLength = 1;
      p += 1;
    } else if (c != '+') {
      escapeOf(c, piece);
      pieceLength = 4;
      p += 1;
    } else if (isEscapeSequence(p)) {
      memcpy(piece, p, 4);
      pieceLength = 4;
      p += 4;
    } else {
      piece[0] = '+';
      pieceLength = 1;
      p += 1;
    }
    if (length + pieceLength < size) {
      memcpy(destination + length, piece, static_cast<size_t>(pieceLength));
      length += pieceLength;
      destination[length] = '\0';
    } else if (dropped) {
      *dropped = true;
    }
  }
  return true;
}
