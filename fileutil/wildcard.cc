// Wildcard matching of file names.
#include "wildcard.h"

namespace {

char asciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

bool wildcardMatch(const char* pattern, const char* name) {
  if (!pattern || !name) return false;
  const char* p = pattern;
  const char* n = name;
  // Where to go on after a mismatch: the pattern just after the last '*'
  // seen, and the name one character further than that '*' took last time.
  const char* starPattern = nullptr;
  const char* starName = nullptr;
  while (*n) {
    if (*p == '*') {
      while (*p == '*') ++p;
      starPattern = p;
      starName = n;
    } else if (*p && (*p == '?' || asciiUpper(*p) == asciiUpper(*n))) {
      ++p;
      ++n;
    } else if (starPattern) {
      p = starPattern;
      n = ++starName;
    } else {
      return false;
    }
  }
  while (*p == '*' || *p == '.') ++p;
  return *p == '\0';
}
