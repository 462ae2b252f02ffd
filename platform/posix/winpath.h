// Windows-form paths to POSIX paths, the way Wine maps them. Pure functions:
// they look at strings only, never at the file system.
#pragma once

#include <stddef.h>

// Maps `windowsPath` to an absolute, lexically normalised POSIX path in `out`.
// Drive Z: (either case) is the POSIX root; a path rooted without a drive
// ("\x") is on Z: too, and so is a drive-relative "Z:x". A relative path is
// joined to `posixCwd` (an absolute POSIX path) first. As in Windows, both
// slashes separate components, runs of separators collapse, "." drops, ".."
// removes the component before it (never climbing above the root), trailing
// dots and spaces of a component are stripped, and a trailing separator stays.
// Returns false, leaving `out` empty when it has room, for a path that has no
// POSIX form (another drive, UNC and device paths, a colon that is not a
// drive's, a control character), for a null or empty path, and when the
// result would not fit in `size` bytes.
bool windowsToPosixPath(const char* windowsPath, const char* posixCwd, char* out, size_t size);

// True when `windowsPath` is rooted: after an optional drive letter and colon
// it starts with a separator, so windowsToPosixPath does not read the
// current directory for it. A null path is not rooted.
bool isRootedWindowsPath(const char* windowsPath);

// Writes the Windows form of the absolute POSIX path `posixPath` ("/a/b" is
// "Z:\a\b", "/" is "Z:\") into `out`. Returns false when it does not fit in
// `size` bytes or when `posixPath` is not absolute.
bool posixToWindowsPath(const char* posixPath, char* out, size_t size);
