// The current directory under the name it was entered by. Windows keeps the
// current directory as a path, spelt as it was given: entered through a
// link, it shows the link, and ".." leads back to where the link lies;
// entered as "SUB", it shows "SUB" whatever the name's case on disk. The
// kernel keeps only the directory itself. This keeps Windows' view.
#pragma once

#include <stddef.h>

// Writes the current directory as an absolute POSIX path into `out` (`size`
// bytes): the path it was entered by, in the letter case it was given, or
// the kernel's own path when the process has moved since by other means.
// Returns false when it cannot be read or does not fit.
bool currentPosixDirectory(char* out, size_t size);

// Writes the same directory in Windows form ("Z:\..."), with the drive
// letter as it was given, into `out` (`size` bytes). Returns false when it
// cannot be read or does not fit.
bool currentWindowsDirectory(char* out, size_t size);

// The drive letter of the current directory, as it was given ('Z' or 'z').
char currentDriveLetter();

// Records `posixPath` (absolute and normalised, no trailing slash, letters
// as given) and `drive` as the name of the directory that the process has
// just made current. A path that cannot be recorded is forgotten, and the
// kernel's path is used instead.
void rememberCurrentDirectory(const char* posixPath, char drive);
