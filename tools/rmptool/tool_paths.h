// Paths given on the command line, made into the full Windows-form paths
// the uninstaller works with.
#pragma once

#include <string>

#include "platform.h"

// Writes the full Windows form of `path` into `out`: '/' becomes '\'; a path
// with a drive and a root ("C:\x") or a UNC path is then kept as it is, as
// a registry value would be; a path rooted without a drive ("\x") goes on
// the drive of the current directory, and a relative one below the current
// directory, and these two are normalised ("." and ".." resolved, a
// trailing separator kept). Returns false for an empty or drive-relative
// ("C:x") path, and when the current directory cannot be read.
bool fullWindowsPath(const std::string& path, std::string& out);

// The part of the Windows-form `path` up to and including its last
// backslash; empty when it has none.
std::string directoryOf(const std::string& path);

// The part of the Windows-form `path` after its last backslash.
std::string fileNameOf(const std::string& path);

// The attributes of `path` as GetFileAttributesA gives them, asked without
// trailing separators (Windows finds no file "x.dat\"; a directory is found
// either way). INVALID_FILE_ATTRIBUTES when there is nothing there.
DWORD pathAttributes(const std::string& path);
