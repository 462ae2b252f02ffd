// Heap allocation for the core: the process heap, reached through the
// platform so that tests can make an allocation fail.
#pragma once

#include <new>
#include <stddef.h>
#include <utility>

#include "platform.h"

// Allocates `bytes` bytes. Returns null when memory runs short.
inline void* heapAllocate(size_t bytes) { return HeapAlloc(GetProcessHeap(), 0, bytes); }

// Frees a block from heapAllocate; null is accepted.
inline void heapRelease(void* block) {
  if (block) HeapFree(GetProcessHeap(), 0, block);
}

// Constructs a T on the heap. Returns null when memory runs short.
template <typename T, typename... Args>
T* heapNew(Args&&... args) {
  void* block = heapAllocate(sizeof(T));
  return block ? new (block) T(std::forward<Args>(args)...) : nullptr;
}

// Destroys and frees a T from heapNew; null is accepted.
template <typename T>
void heapDelete(T* object) {
  if (!object) return;
  object->~T();
  heapRelease(object);
}
