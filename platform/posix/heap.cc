// The process heap on POSIX: malloc and free, with the failure hook.
#include <stdlib.h>

#include "fault.h"
#include "win_memory.h"

namespace {
// Any non-null value serves: there is one heap.
char processHeapToken;
}  // namespace

HANDLE GetProcessHeap(void) { return &processHeapToken; }

LPVOID HeapAlloc(HANDLE heap, DWORD flags, SIZE_T bytes) {
  if (!heap || flags != 0) return nullptr;
  if (faultShouldFail(FaultCall::HeapAlloc)) return nullptr;
  return malloc(bytes == 0 ? 1 : bytes);
}

BOOL HeapFree(HANDLE heap, DWORD flags, LPVOID block) {
  (void)heap;
  (void)flags;
  free(block);
  return TRUE;
}
