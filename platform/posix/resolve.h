// Turns a Windows-form path handed to a platform call into the POSIX path to
// use, as Wine does: the ANSI length limit, drive Z:, the current directory
// (under the name it was entered by) for relative paths, and letters
// compared without regard to case.
#pragma once

#include <stddef.h>
#include <sys/stat.h>

// The longest Windows-form path the ANSI file calls accept.
constexpr size_t kMaxAnsiPathLength = 259;

// Size of the buffers that hold a resolved POSIX path.
constexpr size_t kPosixPathSize = 4096;

// Writes the POSIX path for `windowsPath` into `out` (kPosixPathSize bytes),
// lexically normalised as Windows does it and with letters as they were
// given. Returns false (errno set) when the path is too long for the ANSI
// calls or has no POSIX form. Looks at nothing on disk, but for a path that
// is not rooted, which needs the current directory.
bool mapWindowsPath(const char* windowsPath, char* out);

// Writes the POSIX path for `windowsPath` into `out` (kPosixPathSize bytes).
// When a component does not exist under its own spelling but exists under
// another letter case, the existing spelling is used, so lookups are
// case-insensitive as on Windows. Returns false (errno set) when the path is
// too long for the ANSI calls or has no POSIX form. Allocates nothing, unless
// a letter-case lookup has to read a directory.
bool resolveWindowsPath(const char* windowsPath, char* out);

// Resolves `windowsPath` into `out` as resolveWindowsPath does, drops a
// trailing slash when `dropTrailingSlash` (the root keeps its own), and puts
// what lstat says of the result in `status`: one look at the disk serves the
// letter case and the caller. Returns false (errno set) when the path cannot
// be resolved or nothing is there.
bool resolveExistingPath(const char* windowsPath, char* out, bool dropTrailingSlash, struct stat* status);

// Gives the components of `posixPath` (absolute and normalised, as
// mapWindowsPath writes it), in place, the letter case they have on
// disk, when the path is not there as spelt: the second half of
// resolveWindowsPath. Allocates nothing, unless it has to read a directory.
void matchLetterCase(char* posixPath);
