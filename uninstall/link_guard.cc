// The link guard and its table of directories known to be plain.
#include "link_guard.h"

#include <string.h>

#include "heap.h"
#include "platform.h"

namespace {

constexpr size_t kPathSize = 1024;

char asciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// FNV-1a over the bytes with ASCII letters folded, as paths compare.
uint32_t hashOf(const char* path, size_t length) {
  uint32_t hash = 2166136261u;
  for (size_t i = 0; i < length; ++i) {
    hash ^= static_cast<unsigned char>(asciiLower(path[i]));
    hash *= 16777619u;
  }
  return hash;
}

bool sameNoCase(const char* stored, const char* path, size_t length) {
  for (size_t i = 0; i < length; ++i) {
    if (asciiLower(stored[i]) != asciiLower(path[i])) return false;
  }
  return stored[length] == '\0';
}

bool isReparsePoint(const char* path) {
  DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

}  // namespace

LinkGuard::~LinkGuard() {
  clear();
  heapRelease(slots_);
}

void LinkGuard::clear() {
  for (uint32_t i = 0; i < capacity_; ++i) {
    heapRelease(slots_[i]);
    slots_[i] = nullptr;
  }
  count_ = 0;
}

bool LinkGuard::known(const char* path, size_t length) const {
  if (capacity_ == 0) return false;
  for (uint32_t i = hashOf(path, length) & (capacity_ - 1);; i = (i + 1) & (capacity_ - 1)) {
    if (!slots_[i]) return false;
    if (sameNoCase(slots_[i], path, length)) return true;
  }
}

bool LinkGuard::grow() {
  uint32_t capacity = capacity_ ? capacity_ * 2 : 64;
  char** slots = static_cast<char**>(heapAllocate(capacity * sizeof(char*)));
  if (!slots) return false;
  memset(slots, 0, capacity * sizeof(char*));
  for (uint32_t i = 0; i < capacity_; ++i) {
    if (!slots_[i]) continue;
    uint32_t j = hashOf(slots_[i], strlen(slots_[i])) & (capacity - 1);
    while (slots[j]) j = (j + 1) & (capacity - 1);
    slots[j] = slots_[i];
  }
  heapRelease(slots_);
  slots_ = slots;
  capacity_ = capacity;
  return true;
}

void LinkGuard::remember(const char* path, size_t length) {
  // Kept at most half full, so that every probe ends at an empty slot.
  if ((count_ + 1) * 2 > capacity_ && !grow()) return;
  char* copy = static_cast<char*>(heapAllocate(length + 1));
  if (!copy) return;
  memcpy(copy, path, length);
  copy[length] = '\0';
  uint32_t i = hashOf(path, length) & (capacity_ - 1);
  while (slots_[i]) i = (i + 1) & (capacity_ - 1);
  slots_[i] = copy;
  ++count_;
}

bool LinkGuard::allows(const char* normalRoot, const char* normalTarget) {
  size_t rootLength = strlen(normalRoot);
  size_t targetLength = strlen(normalTarget);
  if (targetLength >= kPathSize) return false;
  if (targetLength > rootLength && isReparsePoint(normalTarget)) return false;

  // The directory that holds the target, if it lies below the root.
  const char* lastSeparator = strrchr(normalTarget, '\\');
  size_t parentLength = lastSeparator ? static_cast<size_t>(lastSeparator - normalTarget) : 0;
  if (parentLength <= rootLength) return true;
  // A parent known plain means all of its ancestors were found plain too.
  if (known(normalTarget, parentLength)) return true;

  char prefix[kPathSize];
  memcpy(prefix, normalTarget, parentLength);
  prefix[parentLength] = '\0';
  // Each directory below the root, outermost first.
  size_t start = rootLength == 0 || normalRoot[rootLength - 1] == '\\' ? rootLength : rootLength + 1;
  for (size_t end = start; end <= parentLength; ++end) {
    if (end != parentLength && prefix[end] != '\\') continue;
    if (known(prefix, end)) continue;
    char saved = prefix[end];
    prefix[end] = '\0';
    DWORD attributes = GetFileAttributesA(prefix);
    prefix[end] = saved;
    if (attributes == INVALID_FILE_ATTRIBUTES) return true;  // missing: the effect will fail
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return false;
    remember(prefix, end);
  }
  return true;
}
