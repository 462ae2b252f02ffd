// OwnedString: assignment that grows the buffer only when it must.
#include "owned_string.h"

#include <string.h>

#include "heap.h"

OwnedString::~OwnedString() { heapRelease(text); }

int OwnedString::assign(const char* value) {
  if (!value) return -1;
  size_t length = strlen(value);
  if (length > static_cast<size_t>(INT32_MAX - 1)) return -1;
  int32_t wanted = static_cast<int32_t>(length);
  if (!text || capacity < wanted) {
    // The new buffer is obtained before the old one goes, so that a failed
    // allocation leaves the string as it was.
    char* buffer = static_cast<char*>(heapAllocate(length + 1));
    if (!buffer) return -1;
    heapRelease(text);
    text = buffer;
    capacity = wanted;
  }
  memcpy(text, value, length + 1);
  return 0;
}
