// The last error of the Win32 calls that set one. One thread only, as the
// program has.
#include "win_types.h"

namespace {
DWORD lastError = ERROR_SUCCESS;
}  // namespace

DWORD GetLastError(void) { return lastError; }

void SetLastError(DWORD error) { lastError = error; }
