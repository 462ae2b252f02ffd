// Disk name encoding: the form under which a name or a whole path is stored
// on disk. Characters that may not stand in file names, bytes outside
// printable ASCII and the first character of reserved DOS device names become
// "+~" and two lowercase hexadecimal digits; separators and the drive colon
// pass through, and escapes already present are kept, so encoding is
// idempotent. No state, no allocation.
#pragma once

#include <stdint.h>

// Encodes `source` into `destination` (`size` bytes, counting the NUL). A
// piece (one character or one escape) that would not fit is dropped whole
// and the walk goes on, so a later, shorter piece may still be written; the
// result is always NUL-terminated and at most size-1 characters long.
// Returns false only when `source` or `destination` is null (or `size` is
// below 1), and then writes nothing. When `dropped` is not null it is set to
// whether any piece had to be dropped.
bool encodeDiskName(const char* source, char* destination, int32_t size, bool* dropped = nullptr);

// True when `c` is copied as it is: printable ASCII other than the double
// quote, '*', '+', '<', '>', '?' and '|'.
bool isPlainNameChar(unsigned char c);

// True when `text` begins with a recognised escape: '+', '~' and two ASCII
// hexadecimal digits of either case.
bool isEscapeSequence(const char* text);

// True when a reserved device name (CON, PRN, AUX, CLOCK$, COM1-9, LPT1-9,
// NUL; any letter case) stands at `text`, ending at '.', '/', ':', '\' or
// the end of the string.
bool isReservedDeviceName(const char* text);
