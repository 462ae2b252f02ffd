// The one system call per path that the floor program makes, chosen by the
// build: the bare POSIX calls, or the bare Win32 ones.
#pragma once

// Deletes the file `path`, or removes the empty directory `path` when
// `isDirectory`. Returns 0 when it was done, -1 otherwise.
int deleteOne(const char* path, bool isDirectory);
