// The registry calls of Win32, read only: HKEY_LOCAL_MACHINE comes from the
// .reg file named by the environment variable HKLM_REG_FILE.
#pragma once

#include "win_types.h"

// A registry key handle. Only the values these calls hand out, and the
// predefined HKEY_LOCAL_MACHINE, are valid; nothing is ever read through it.
struct OpaqueRegistryKey;
typedef OpaqueRegistryKey* HKEY;

// The predefined handle, sign-extended to pointer width as on 64-bit Windows.
#define HKEY_LOCAL_MACHINE (reinterpret_cast<HKEY>(static_cast<intptr_t>(static_cast<LONG>(0x80000002u))))

#define REG_NONE 0
#define REG_SZ 1
#define REG_EXPAND_SZ 2
#define REG_BINARY 3
#define REG_DWORD 4
#define REG_MULTI_SZ 7

#define ERROR_BAD_PATHNAME 161L

// Opens `subKey` under `parent` into `*result`. `subKey` may hold several
// levels separated by backslashes (empty levels are skipped); names compare
// without regard to ASCII case. Opening under HKEY_LOCAL_MACHINE reads the
// file named by HKLM_REG_FILE afresh; the new key and every key opened under
// it keep that reading until they are closed. A null or empty `subKey` hands
// back `parent` itself, unchecked and not as a new handle, as Windows does.
// Returns 0; on failure sets `*result` to null and returns 2 when a level is
// missing (also when the variable is unset, the file unreadable or
// malformed), 161 when `subKey` starts with a backslash, 6 for an invalid
// `parent`, 87 for a null `result`, and 5 when the failure hook says so.
LONG RegOpenKeyA(HKEY parent, LPCSTR subKey, HKEY* result);

// Queries the value `valueName` of `key` (null or empty: the default value).
// Returns 0 with `*type` and `*size` set and the data copied to `data`; with
// a null `data` only the type and the size needed are set. String data comes
// as ANSI text with its terminating NUL counted in the size; REG_EXPAND_SZ
// is not expanded. Returns 234 with `*type` and the size needed in `*size`
// when the data does not fit in `*size` bytes, leaving `data` untouched; 2
// when the value is missing (then `*type` is 0, and `*size` is 0 if `data` is
// null); 6 for an invalid key; 87 for a non-null `reserved` or a `data`
// without `size`; 5, changing nothing, when the failure hook says so.
LONG RegQueryValueExA(HKEY key, LPCSTR valueName, LPDWORD reserved, LPDWORD type, LPBYTE data,
                      LPDWORD size);

// Closes a key from RegOpenKeyA. Returns 0 (also for HKEY_LOCAL_MACHINE,
// which stays usable), or 6 for a handle that is not open.
LONG RegCloseKey(HKEY key);
