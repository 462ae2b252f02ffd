// Windows file attributes as Wine derives them from a POSIX file mode.
#pragma once

#include <sys/stat.h>

// True when the file counts as read-only: nobody has write permission.
inline bool isReadOnlyMode(mode_t mode) { return (mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0; }
