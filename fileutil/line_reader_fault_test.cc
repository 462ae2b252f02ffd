// LineReader against the Linux layer's failure hook.
#include <gtest/gtest.h>

#include <string>

#include "fault.h"
#include "line_reader.h"
#include "test_fs.h"

TEST(LineReaderFault, CutDiskNameNeverReachesTheOpenCall) {
  ScopedTempDir dir;
  faultArm(FaultCall::GzOpen, 1);
  LineReader reader;
  EXPECT_FALSE(reader.open((dir.path() + std::string(300, '*')).c_str(), 1));
  EXPECT_FALSE(faultTriggered());
  faultDisarm();
}

TEST(LineReaderFault, FailedOpenHoldsNoStream) {
  ScopedTempDir dir;
  ASSERT_TRUE(writeFile(dir / "a.rmp", "x\n"));
  faultArm(FaultCall::GzOpen, 1);
  LineReader reader;
  EXPECT_FALSE(reader.open((dir / "a.rmp").c_str(), 1));
  EXPECT_TRUE(faultTriggered());
  EXPECT_EQ(reader.stream, nullptr);
  EXPECT_EQ(reader.diskPath.text, nullptr);
  faultDisarm();
  EXPECT_TRUE(reader.open((dir / "a.rmp").c_str(), 1));
}
