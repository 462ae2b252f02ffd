// The platform layer of the Windows build: the system's own headers, and
// thin wrappers for the two calls whose names clash with the C library on
// the other build. Core code includes "platform.h" and nothing else of the OS.
#pragma once

#include <windows.h>
#include <direct.h>
#include <stdio.h>
#include <string.h>
#include <zlib.h>

// Deletes one file with the C runtime's remove(). Returns 0 on success, -1
// otherwise; a directory or a read-only file is never deleted.
inline int removeFile(const char* path) { return remove(path); }

// Opens a file for zlib's gzip reading layer. Returns null when the file
// cannot be opened.
inline gzFile openGzFile(const char* path, const char* mode) { return gzopen(path, mode); }
