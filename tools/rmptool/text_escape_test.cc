// Visible control bytes and JSON string literals.
#include "text_escape.h"

#include <gtest/gtest.h>

#include <string>

TEST(TextEscape, VisibleTextAndJson) {
  struct Row {
    std::string text;
    std::string visible;
    std::string json;
  };
  const Row rows[] = {
      {"", "", "\"\""},
      {"Z:\\Games\\a b.dat", "Z:\\Games\\a b.dat", "\"Z:\\\\Games\\\\a b.dat\""},
      {"tab\there", "tab^Ihere", "\"tab\\there\""},
      {"cr\rlf\n", "cr^Mlf^J", "\"cr\\rlf\\n\""},
      {std::string("nul\0x", 5), "nul^@x", "\"nul\\u0000x\""},
      {"\x01\x1f\x7f", "^A^_^?", "\"\\u0001\\u001f\\u007f\""},
      {"quote\" caret^", "quote\" caret^", "\"quote\\\" caret^\""},
      {"caf\xe9\xff", "caf\xe9\xff", "\"caf\\u00e9\\u00ff\""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.visible);
    EXPECT_EQ(visibleText(row.text), row.visible);
    EXPECT_EQ(jsonString(row.text), row.json);
  }
}
