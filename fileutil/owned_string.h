// OwnedString: a heap text with a recorded capacity that never shrinks.
#pragma once

#include <stdint.h>

class OwnedString {
 public:
  OwnedString() = default;
  ~OwnedString();
  OwnedString(const OwnedString&) = delete;
  OwnedString& operator=(const OwnedString&) = delete;

  // Copies `value` (with its terminating NUL) into the buffer, allocating
  // length+1 bytes when there is no buffer or it is too small. Returns 0 on
  // success; -1 for a null `value` or when memory runs short, and then the
  // string is unchanged.
  int assign(const char* value);

  // The text; the empty string when there is no buffer.
  const char* c_str() const { return text ? text : ""; }

  // The text, or null when there is no buffer.
  char* text = nullptr;
  // The longest length the buffer can hold (it has capacity+1 bytes); -1
  // when there is no buffer.
  int32_t capacity = -1;
};
