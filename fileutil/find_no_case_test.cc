#include "find_no_case.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Row {
  const char* text;
  const char* needle;
  int position;  // -1: not found
};

}  // namespace

TEST(FindNoCase, FindsTheFirstOccurrence) {
  const Row rows[] = {
      {"aaab", "aab", 1},
      {"aaab", "AAB", 1},
      {"abcabc", "cab", 2},
      {"Z:\\Games\\Pellmoor\\", "z:\\GAMES\\", 0},
      {"C:\\X\\games\\y\\GAMES\\", "GAMES", 5},
      {"abc", "abc", 0},
      {"abc", "abcd", -1},
      {"ab", "b", 1},
      {"abababc", "ababc", 2},
      {"a", "", -1},
      {"", "a", -1},
      {"", "", -1},
      // Only ASCII letters have another case.
      {"[x]", "{X}", -1},
      {"@", "`", -1},
      {"caf\xc9", "CAF\xe9", -1},
      {"caf\xe9", "CAF\xe9", 0},
      {"\xe9\xc9", "\xc9", 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string("text \"") + row.text + "\", needle \"" + row.needle + "\"");
    const char* found = findNoCase(row.text, row.needle);
    if (row.position < 0) {
      EXPECT_EQ(found, nullptr);
    } else {
      EXPECT_EQ(found, row.text + row.position);
    }
  }
}

TEST(FindNoCase, NullFindsNothing) {
  EXPECT_EQ(findNoCase(nullptr, "a"), nullptr);
  EXPECT_EQ(findNoCase("a", nullptr), nullptr);
}
