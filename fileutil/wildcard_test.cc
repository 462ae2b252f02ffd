#include "wildcard.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Row {
  const char* pattern;
  const char* name;
  bool matches;
};

// The rule written out as plainly as possible: '*' takes any run, '?' one
// character, a letter either case, and a used-up name leaves a pattern of
// nothing but '.' and '*'. Exponential, for short strings only.
bool reference(const std::string& p, const std::string& n) {
  if (n.empty()) return p.find_first_not_of(".*") == std::string::npos;
  if (p.empty()) return false;
  if (p[0] == '*') return reference(p.substr(1), n) || reference(p, n.substr(1));
  auto up = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; };
  if (p[0] != '?' && up(p[0]) != up(n[0])) return false;
  return reference(p.substr(1), n.substr(1));
}

// Every string of `length` characters from `alphabet`, appended to `out`.
void allStrings(const std::string& alphabet, size_t length, std::string prefix, std::vector<std::string>& out) {
  out.push_back(prefix);
  if (prefix.size() == length) return;
  for (char c : alphabet) allStrings(alphabet, length, prefix + c, out);
}

}  // namespace

TEST(Wildcard, MatchesAsWindowsFileSearchDoes) {
  const Row rows[] = {
      // Letter case, ASCII only.
      {"*.rmp", "core.rmp", true},
      {"*.rmp", "CORE.RMP", true},
      {"*.RMP", "x.rmp", true},
      {"A_B", "a_b", true},
      {"\xe9", "\xe9", true},
      {"\xe9", "\xc9", false},
      {"[", "{", false},
      {"@", "`", false},
      // No short names: a longer extension is another name.
      {"*.rmp", "a.rmpx", false},
      {"*.rmp", "a.rmp.bak", false},
      {"*.rmp", "rmp", false},
      {"*.rmp", ".rmp", true},
      {"*.rmp", "a.b.rmp", true},
      // '*' takes any run, dots included.
      {"*", "a", true},
      {"*", ".hidden", true},
      {"**", "a.b", true},
      {"*a", "aZ", false},
      {"*z", "aZ", true},
      {"*aa", "aaa", true},
      {"*ab", "abab", true},
      {"a*a", "a", false},
      {"a*a", "aa", true},
      {"a*b*c", "aXbYbZc", true},
      {"a*b*c", "aXcYb", false},
      // '?' is exactly one character, a dot too.
      {"?", "a", true},
      {"?", ".", true},
      {"?", "ab", false},
      {"a?", "a", false},
      {"a?", "aZ", true},
      {"??", "..", true},
      {"a?rmp", "a.rmp", true},
      {"*?", "abc", true},
      {"*?", "", false},
      {"?*?", "ab", true},
      {"?*?", "a", false},
      {"*b?", "abab", false},
      {"*b?", "abba", true},
      // What is left once the name is used up: dots and stars only.
      {"*.*", "noext", true},
      {"*.*", "a.b", true},
      {"*.*", ".", true},
      {"a.*", "a", true},
      {"a.*", "a.rmp", true},
      {"a.*", "ab", false},
      {"x.y.*", "x.y.z", true},
      {"x.y.*", "x.y", true},
      {"x.*", "x.y.z", true},
      {"*.", "noext", true},
      {"*.", "a.rmp", true},
      {"a..", "a", true},
      {"a.**.", "a", true},
      {".*", "a", false},
      {".*", ".hdir", true},
      {"*.*.*", "a", true},
      {"a.x", "a", false},
      {"a?.*", "a", false},
      // Plain names, and nothing against something.
      {"noext", "noext", true},
      {"noext", "noext2", false},
      {"", "", true},
      {"", "a", false},
      {"a", "", false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string("pattern \"") + row.pattern + "\", name \"" + row.name + "\"");
    EXPECT_EQ(wildcardMatch(row.pattern, row.name), row.matches);
    EXPECT_EQ(reference(row.pattern, row.name), row.matches);
  }
}

TEST(Wildcard, NullNeverMatches) {
  EXPECT_FALSE(wildcardMatch(nullptr, "a"));
  EXPECT_FALSE(wildcardMatch("*", nullptr));
  EXPECT_FALSE(wildcardMatch(nullptr, nullptr));
}

TEST(Wildcard, AgreesWithTheRuleOnEveryShortPatternAndName) {
  std::vector<std::string> patterns, names;
  allStrings("aB*?.", 5, "", patterns);
  allStrings("Ab.", 5, "", names);
  for (const std::string& pattern : patterns) {
    for (const std::string& name : names) {
      ASSERT_EQ(wildcardMatch(pattern.c_str(), name.c_str()), reference(pattern, name))
          << "pattern \"" << pattern << "\", name \"" << name << "\"";
    }
  }
}
