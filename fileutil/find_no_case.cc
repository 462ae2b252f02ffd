// Case-insensitive substring search.
#include "find_no_case.h"

namespace {

char asciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
char asciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

const char* findNoCase(const char* text, const char* needle) {
  if (!text || !needle || !*text || !*needle) return nullptr;
  // Each start is tried in turn, so after a failed partial match the search
  // resumes one character after that match's start.
  for (const char* start = text; *start; ++start) {
    const char* t = start;
    const char* n = needle;
    while (*n && *t && (*t == asciiUpper(*n) || *t == asciiLower(*n))) {
      ++t;
      ++n;
    }
    if (!*n) return start;
    if (!*t) return nullptr;
  }
  return nullptr;
}
