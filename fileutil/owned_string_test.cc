#include "owned_string.h"

#include <gtest/gtest.h>
#include <string.h>

TEST(OwnedString, FreshStringHasNoBufferAndReadsEmpty) {
  OwnedString s;
  EXPECT_EQ(s.text, nullptr);
  EXPECT_EQ(s.capacity, -1);
  EXPECT_STREQ(s.c_str(), "");
}

TEST(OwnedString, GrowsOnlyWhenTooSmallAndNeverShrinks) {
  OwnedString s;
  ASSERT_EQ(s.assign("abc"), 0);
  EXPECT_STREQ(s.text, "abc");
  EXPECT_EQ(s.capacity, 3);

  char* first = s.text;
  ASSERT_EQ(s.assign("xy"), 0);  // fits: same buffer, capacity kept
  EXPECT_EQ(s.text, first);
  EXPECT_EQ(s.capacity, 3);
  EXPECT_STREQ(s.text, "xy");

  ASSERT_EQ(s.assign("wxyz"), 0);  // longer: a buffer of exactly 5 bytes
  EXPECT_EQ(s.capacity, 4);
  EXPECT_STREQ(s.text, "wxyz");

  ASSERT_EQ(s.assign(""), 0);
  EXPECT_EQ(s.capacity, 4);
  EXPECT_STREQ(s.c_str(), "");
}

TEST(OwnedString, EmptyFirstAssignmentAllocatesOneByte) {
  OwnedString s;
  ASSERT_EQ(s.assign(""), 0);
  ASSERT_NE(s.text, nullptr);
  EXPECT_EQ(s.capacity, 0);
}

TEST(OwnedString, NullAssignmentFailsAndChangesNothing) {
  OwnedString s;
  EXPECT_EQ(s.assign(nullptr), -1);
  EXPECT_EQ(s.text, nullptr);
  EXPECT_EQ(s.capacity, -1);
  ASSERT_EQ(s.assign("keep"), 0);
  EXPECT_EQ(s.assign(nullptr), -1);
  EXPECT_STREQ(s.text, "keep");
  EXPECT_EQ(s.capacity, 4);
}
