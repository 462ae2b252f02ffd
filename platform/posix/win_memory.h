// The process heap, as Win32 spells it.
#pragma once

#include "win_types.h"

// The handle of the process heap (a fixed token here).
HANDLE GetProcessHeap(void);

// Allocates `bytes` bytes from `heap`. Returns null when memory runs short
// (or when the failure-injection hook says so); `flags` must be 0.
LPVOID HeapAlloc(HANDLE heap, DWORD flags, SIZE_T bytes);

// Frees a block from HeapAlloc. Returns TRUE; a null block is accepted.
BOOL HeapFree(HANDLE heap, DWORD flags, LPVOID block);
