// File search as Win32 spells it: FindFirstFileA, FindNextFileA, FindClose
// and the WIN32_FIND_DATAA record, over POSIX directories, giving the names,
// attributes and order that Wine gives.
#pragma once

#include <stdint.h>

#include "win_types.h"

// A point in time: 100-nanosecond intervals since 1601-01-01 UTC.
struct FILETIME {
  DWORD dwLowDateTime;
  DWORD dwHighDateTime;
};

// What a search reports about one name.
struct WIN32_FIND_DATAA {
  DWORD dwFileAttributes;
  FILETIME ftCreationTime;
  FILETIME ftLastAccessTime;
  FILETIME ftLastWriteTime;
  DWORD nFileSizeHigh;
  DWORD nFileSizeLow;
  DWORD dwReserved0;
  DWORD dwReserved1;
  CHAR cFileName[MAX_PATH];
  CHAR cAlternateFileName[14];
};
typedef WIN32_FIND_DATAA* LPWIN32_FIND_DATAA;

#define INVALID_HANDLE_VALUE (reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1)))

#define FILE_ATTRIBUTE_READONLY 0x00000001
#define FILE_ATTRIBUTE_HIDDEN 0x00000002
#define FILE_ATTRIBUTE_DIRECTORY 0x00000010
#define FILE_ATTRIBUTE_ARCHIVE 0x00000020
#define FILE_ATTRIBUTE_REPARSE_POINT 0x00000400
#define INVALID_FILE_ATTRIBUTES 0xFFFFFFFFU

// Starts a search for `pattern`: a name with wildcards (see wildcardMatch),
// after an optional directory part, absolute or relative to the current
// directory. The pattern is normalised as a Windows path first, so trailing
// dots and spaces drop ("*." searches "*") and "dir\." names dir itself.
// Names come back "." and ".." first (never in Z:\), then sorted without
// regard to letter case, upper-case fold, with ties in byte order; a pattern
// without wildcards finds at most one name. Each record carries:
//   DIRECTORY for a directory, ARCHIVE for anything else;
//   READONLY when nobody may write; HIDDEN for a name that starts with a
//   dot, other than "." and "..";
//   REPARSE_POINT for a symbolic link, with the rest taken from its target
//   (a link whose target is missing is not listed);
//   creation and last-write times from the modification time, last access
//   from the access time; the size (0 for a directory); no short name.
// Fills `data` with the first match and returns a handle for FindNextFileA
// and FindClose. Returns INVALID_HANDLE_VALUE when nothing matches (last
// error ERROR_FILE_NOT_FOUND), when the directory is missing or the pattern
// is longer than 259 characters or has no POSIX form (ERROR_PATH_NOT_FOUND),
// when the directory cannot be read (ERROR_ACCESS_DENIED), and when memory
// runs short (ERROR_NOT_ENOUGH_MEMORY).
HANDLE FindFirstFileA(LPCSTR pattern, LPWIN32_FIND_DATAA data);

// Fills `data` with the next match. Returns FALSE when there is none left
// (last error ERROR_NO_MORE_FILES) or the listing failed (another error).
BOOL FindNextFileA(HANDLE find, LPWIN32_FIND_DATAA data);

// Ends a search and frees what it holds. Returns FALSE for a handle that is
// not a search.
BOOL FindClose(HANDLE find);

// The attributes of the file or directory `path`, as a search would report
// them (a link keeps its reparse bit even when its target is missing).
// Returns INVALID_FILE_ATTRIBUTES when it does not exist or the path is
// longer than 259 characters or has no POSIX form.
DWORD GetFileAttributesA(LPCSTR path);
