#include "disk_name.h"

#include <gtest/gtest.h>
#include <string.h>

#include <string>

namespace {

std::string encode(const std::string& source, int32_t size = 1024, bool* dropped = nullptr) {
  std::string out(static_cast<size_t>(size) + 8, '#');
  EXPECT_TRUE(encodeDiskName(source.c_str(), &out[0], size, dropped));
  // Nothing is written past the size given.
  for (size_t i = static_cast<size_t>(size); i < out.size(); ++i) EXPECT_EQ(out[i], '#') << "overrun at " << i;
  return std::string(out.c_str());
}

struct Row {
  std::string source;
  std::string expected;
};

}  // namespace

TEST(DiskName, EncodesAsTheTableSays) {
  const Row rows[] = {
      {"", ""},
      {"C:\\Games\\core.rmp", "C:\\Games\\core.rmp"},
      {"Z:/tmp/a b/!#$%&'()-.,;=@[]^_`{}~", "Z:/tmp/a b/!#$%&'()-.,;=@[]^_`{}~"},
      // Reserved device names, at any position and in any case.
      {"ICON", "I+~43ON"},
      {"Icon", "I+~63on"},
      {"Silicon.dat", "Sili+~63on.dat"},
      {"Con.txt", "+~43on.txt"},
      {"CON.CON", "+~43ON.+~43ON"},
      {"aux.txt", "+~61ux.txt"},
      {"LPT1.log", "+~4cPT1.log"},
      {"CLOCK$", "+~43LOCK$"},
      {"XCOM1", "X+~43OM1"},
      {"COM1COM1", "COM1+~43OM1"},
      {"Annul", "An+~6eul"},
      {"prn:x", "+~70rn:x"},
      {"dir\\nul\\f", "dir\\+~6eul\\f"},
      {"CONSOLE", "CONSOLE"},
      {"COM0", "COM0"},
      {"COM10", "COM10"},
      {"LPT", "LPT"},
      {"C:\\Games\\Pellmoor\\Icon\\a.rmp", "C:\\Games\\Pellmoor\\I+~63on\\a.rmp"},
      // Characters that may not stand in names, and bytes outside printable ASCII.
      {"a*b", "a+~2ab"},
      {"\"*<>?|", "+~22+~2a+~3c+~3e+~3f+~7c"},
      {"\tx", "+~09x"},
      {"\x7f", "+~7f"},
      {"\xe9t\xe9", "+~e9t+~e9"},
      {"\x01\x1f", "+~01+~1f"},
      // Plus signs and escapes.
      {"a+b", "a+b"},
      {"+", "+"},
      {"+~2a", "+~2a"},
      {"+~2A", "+~2A"},
      {"+~2g", "+~2g"},
      {"+~4", "+~4"},
      {"+~CON", "+~+~43ON"},
      {"+~3CON", "+~3CON"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE("source: " + row.source);
    bool dropped = true;
    EXPECT_EQ(encode(row.source, 1024, &dropped), row.expected);
    EXPECT_FALSE(dropped);
    // Encoding is idempotent.
    EXPECT_EQ(encode(row.expected), row.expected);
  }
}

TEST(DiskName, DropsWholePiecesAtTheSizeLimitAndGoesOn) {
  bool dropped = false;
  EXPECT_EQ(encode("abcdef*g", 8, &dropped), "abcdefg");
  EXPECT_TRUE(dropped);
  EXPECT_EQ(encode("abcdef*g", 11, &dropped), "abcdef+~2a");
  EXPECT_TRUE(dropped);
  EXPECT_EQ(encode("abcdef*g", 12, &dropped), "abcdef+~2ag");
  EXPECT_FALSE(dropped);
  EXPECT_EQ(encode("abc", 1, &dropped), "");
  EXPECT_TRUE(dropped);
  // A kept escape is one piece of four characters too.
  EXPECT_EQ(encode("+~2ab", 4), "b");
}

TEST(DiskName, EveryByteIsPlainOrEscapedOrAPlus) {
  for (int c = 1; c < 256; ++c) {
    SCOPED_TRACE(c);
    char source[2] = {static_cast<char>(c), '\0'};
    std::string out = encode(source);
    bool plain = c >= 0x20 && c <= 0x7e && !strchr("\"*+<>?|", c);
    EXPECT_EQ(isPlainNameChar(static_cast<unsigned char>(c)), plain);
    if (plain || c == '+') {
      EXPECT_EQ(out, std::string(source));
    } else {
      char escape[8];
      snprintf(escape, sizeof escape, "+~%02x", c);
      EXPECT_EQ(out, escape);
    }
  }
}

TEST(DiskName, HelperPredicates) {
  EXPECT_TRUE(isEscapeSequence("+~0f rest"));
  EXPECT_TRUE(isEscapeSequence("+~Af"));
  EXPECT_FALSE(isEscapeSequence("+~0"));
  EXPECT_FALSE(isEscapeSequence("+~\xe0\xe0"));
  EXPECT_FALSE(isEscapeSequence("-~00"));
  EXPECT_TRUE(isReservedDeviceName("com9\\x"));
  EXPECT_TRUE(isReservedDeviceName("Nul"));
  EXPECT_FALSE(isReservedDeviceName("nulx"));
  EXPECT_FALSE(isReservedDeviceName(""));
}

TEST(DiskName, NullArgumentsFailAndWriteNothing) {
  char out[4] = "xyz";
  EXPECT_FALSE(encodeDiskName(nullptr, out, 4));
  EXPECT_STREQ(out, "xyz");
  EXPECT_FALSE(encodeDiskName("a", nullptr, 4));
  EXPECT_FALSE(encodeDiskName("a", out, 0));
  EXPECT_STREQ(out, "xyz");
}

TEST(DiskName, EncodingTwiceChangesNothingWhenNothingWasDropped) {
  // A deterministic sweep over short strings of the interesting bytes.
  const char alphabet[] = {'+', '~', '2', 'a', 'C', 'O', 'N', '.', '\\', '*', 'x', '\xe9'};
  const int n = sizeof alphabet;
  for (int a = 0; a < n; ++a)
    for (int b = 0; b < n; ++b)
      for (int c = 0; c < n; ++c)
        for (int d = 0; d < n; ++d) {
          const char source[] = {alphabet[a], alphabet[b], alphabet[c], alphabet[d], '\0'};
          std::string once = encode(source);
          ASSERT_EQ(encode(once), once) << "source: " << source;
        }
}
