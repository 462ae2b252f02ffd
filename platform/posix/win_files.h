// Files: the Microsoft C runtime's file calls and zlib's file opening, taking
// Windows-form paths. Paths whose Windows form is longer than 259 characters
// fail, as they do in the ANSI calls of Windows.
#pragma once

#include <stdio.h>
#include <string.h>
#include <zlib.h>

#include "win_types.h"

// Deletes one file with the semantics of the C runtime's remove() on Windows:
// never a directory, never a read-only file (nobody has write permission).
// Returns 0 on success, -1 otherwise.
int removeFile(const char* path);

// Opens a regular file for zlib's gzip reading layer. Returns null when the
// path cannot be mapped, names no regular file, or cannot be opened.
gzFile openGzFile(const char* path, const char* mode);
