// libFuzzer target for the name matching of the search: wildcardMatch and
// findNoCase against slow references written out plainly here.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "find_no_case.h"
#include "wildcard.h"

namespace {

char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }

// Whether name[n..] matches pattern[p..]: '*' takes any run, '?' one
// character, letters match either case; at the end of the name the rest of
// the pattern must be only '.' and '*'. Every (p, n) pair is decided once.
bool referenceMatch(const std::string& pattern, const std::string& name) {
  const size_t P = pattern.size(), N = name.size();
  // match[p][n], filled from the ends backwards.
  std::vector<std::vector<char>> match(P + 1, std::vector<char>(N + 1, 0));
  for (size_t p = P + 1; p-- > 0;) {
    for (size_t n = N + 1; n-- > 0;) {
      bool result;
      if (n == N) {
        result = pattern.find_first_not_of(".*", p) == std::string::npos;
      } else if (p == P) {
        result = false;
      } else if (pattern[p] == '*') {
        result = match[p + 1][n] || match[p][n + 1];
      } else {
        result = (pattern[p] == '?' || upper(pattern[p]) == upper(name[n])) && match[p + 1][n + 1];
      }
      match[p][n] = result;
    }
  }
  return match[0][0];
}

// The first place where `needle` stands in `text`, letters in either case;
// null when there is none or either is empty.
const char* referenceFind(const char* text, const char* needle) {
  const size_t T = strlen(text), N = strlen(needle);
  if (T == 0 || N == 0) return nullptr;
  for (size_t start = 0; start + N <= T; ++start) {
    size_t i = 0;
    while (i < N && upper(text[start + i]) == upper(needle[i])) ++i;
    if (i == N) return text + start;
  }
  return nullptr;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  // The first byte says where the first string ends; each string stops at
  // its first NUL, as a C string does.
  const size_t split = data[0] % size;
  const std::string first(reinterpret_cast<const char*>(data + 1), split);
  const std::string second(reinterpret_cast<const char*>(data + 1 + split), size - 1 - split);
  const std::string a = first.c_str(), b = second.c_str();

  if (wildcardMatch(a.c_str(), b.c_str()) != referenceMatch(a, b)) abort();
  if (wildcardMatch(nullptr, b.c_str()) || wildcardMatch(a.c_str(), nullptr)) abort();

  if (findNoCase(a.c_str(), b.c_str()) != referenceFind(a.c_str(), b.c_str())) abort();
  if (findNoCase(b.c_str(), a.c_str()) != referenceFind(b.c_str(), a.c_str())) abort();
  if (findNoCase(nullptr, b.c_str()) || findNoCase(a.c_str(), nullptr)) abort();
  return 0;
}
