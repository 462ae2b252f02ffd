// The Microsoft C runtime's current-directory, directory-removal and
// upper-casing calls, taking and giving Windows-form paths.
#pragma once

#include "win_types.h"

// Writes the current directory in Windows form ("Z:\..." ) into `buffer`
// (`size` bytes) and returns it. As on Windows, it is the path the directory
// was entered by, so a directory entered through a link shows the link.
// Returns null (errno ERANGE) when the path with its NUL needs more than
// `size` bytes, or when it cannot be read.
char* _getcwd(char* buffer, int size);

// Makes `path` (absolute, or relative to the current directory) the current
// directory. As in Wine, the full path of the directory may be of any
// length; only `path` itself is held to the ANSI limit. Returns 0, or -1
// with the current directory unchanged.
int _chdir(const char* path);

// Removes the empty directory `path`; a trailing separator is fine. Returns
// 0, or -1 when it is missing, not a directory or not empty.
int _rmdir(const char* path);

// Upper-cases the ASCII letters of `text` in place and returns `text`.
char* _strupr(char* text);
