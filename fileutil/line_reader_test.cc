#include "line_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_fs.h"

namespace {

// Reads the whole file through a reader with a buffer of `size` bytes.
std::vector<std::string> readAll(LineReader& reader, int32_t size = 1024) {
  std::vector<std::string> lines;
  std::vector<char> buffer(static_cast<size_t>(size));
  while (reader.readLine(buffer.data(), size)) lines.emplace_back(buffer.data());
  return lines;
}

std::vector<std::string> readFileLines(const std::string& path, int32_t size = 1024) {
  LineReader reader;
  EXPECT_TRUE(reader.open(path.c_str(), 1)) << path;
  std::vector<std::string> lines = readAll(reader, size);
  EXPECT_TRUE(reader.close());
  return lines;
}

}  // namespace

TEST(LineReader, FreshReaderHoldsNothing) {
  LineReader reader;
  EXPECT_EQ(reader.stream, nullptr);
  EXPECT_EQ(reader.diskPath.text, nullptr);
  EXPECT_EQ(reader.diskPath.capacity, -1);
  EXPECT_EQ(reader.openArgument, 0);
  EXPECT_EQ(reader.isGzipStream, 0);
  EXPECT_EQ(reader.openCalled, 0);
}

TEST(LineReader, GzipPlainAndTwoMembersGiveTheSameLines) {
  ScopedTempDir dir;
  ASSERT_TRUE(dir.valid());
  const std::string first = "data\\a.dat\r\nsub\\\n";
  const std::string second = "\nlast line";
  ASSERT_TRUE(writeFile(dir / "plain.rmp", first + second));
  ASSERT_TRUE(writeFile(dir / "gzip.rmp", gzipBytes(first + second)));
  ASSERT_TRUE(writeFile(dir / "members.rmp", gzipBytes(first) + gzipBytes(second)));

  const std::vector<std::string> expected = {"data\\a.dat\r\n", "sub\\\n", "\n", "last line"};
  EXPECT_EQ(readFileLines(dir / "plain.rmp"), expected);
  EXPECT_EQ(readFileLines(dir / "gzip.rmp"), expected);
  EXPECT_EQ(readFileLines(dir / "members.rmp"), expected);
}

TEST(LineReader, LongLinesArriveInPiecesOfSizeMinusOne) {
  ScopedTempDir dir;
  const std::string a1022(1022, 'a'), b1023(1023, 'b'), c1500(1500, 'c');
  ASSERT_TRUE(writeFile(dir / "long.rmp", a1022 + "\n" + b1023 + "\n" + c1500 + "\n"));
  const std::vector<std::string> expected = {
      a1022 + "\n",                       // 1022 bytes and the LF fit whole
      b1023, "\n",                        // 1023 bytes, then the LF alone
      c1500.substr(0, 1023), c1500.substr(1023) + "\n",
  };
  EXPECT_EQ(readFileLines(dir / "long.rmp"), expected);
}

TEST(LineReader, EmptyFileOpensAndYieldsNothing) {
  ScopedTempDir dir;
  ASSERT_TRUE(writeFile(dir / "empty.rmp", ""));
  ASSERT_TRUE(writeFile(dir / "empty-gz.rmp", gzipBytes("")));
  EXPECT_TRUE(readFileLines(dir / "empty.rmp").empty());
  EXPECT_TRUE(readFileLines(dir / "empty-gz.rmp").empty());
}

TEST(LineReader, DamagedGzipEndsReadingAndCloseReportsIt) {
  ScopedTempDir dir;
  std::string body;
  for (int i = 0; i < 2000; ++i) body += "file" + std::to_string(i) + ".dat\n";
  std::string packed = gzipBytes(body);

  struct Case {
    const char* name;
    std::string bytes;
  };
  std::string badCrc = packed;
  badCrc[badCrc.size() - 8] ^= 0x55;  // the CRC-32 of the trailer
  std::string badData = packed;
  for (size_t i = 20; i < 40; ++i) badData[i] = static_cast<char>(0xFF);
  const Case cases[] = {
      {"truncated", packed.substr(0, packed.size() / 2)},
      {"bad-crc", badCrc},
      {"bad-data", badData},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string path = dir / (std::string(c.name) + ".rmp");
    ASSERT_TRUE(writeFile(path, c.bytes));
    LineReader reader;
    ASSERT_TRUE(reader.open(path.c_str(), 1));
    std::vector<std::string> lines = readAll(reader);
    ASSERT_FALSE(lines.empty() && std::string(c.name) == "bad-crc");
    // Whatever arrived is the start of the body, and only the last line may
    // be cut short (without its LF).
    std::string joined;
    for (const std::string& line : lines) joined += line;
    EXPECT_EQ(body.compare(0, joined.size(), joined), 0);
    for (size_t i = 0; i + 1 < lines.size(); ++i) EXPECT_EQ(lines[i].back(), '\n');
    char buffer[16];
    EXPECT_EQ(reader.readLine(buffer, sizeof buffer), nullptr);
    EXPECT_FALSE(reader.close());
  }
}

// Stubs of gzip data and bytes that merely look like it: what is read, and
// whether closing finds the data damaged.
TEST(LineReader, GzipStubsAndLookAlikes) {
  ScopedTempDir dir;
  std::string packed = gzipBytes("a.dat\n");
  std::string badLength = packed;
  badLength[badLength.size() - 4] ^= 0x01;  // the length in the trailer
  std::string garbage;
  for (unsigned i = 0, x = 1; i < 300; ++i) garbage.push_back(static_cast<char>((x = x * 1103515245u + 12345u) >> 16));
  struct Row {
    const char* what;
    std::string bytes;
    std::vector<std::string> lines;
    bool whole;
  };
  const Row rows[] = {
      {"bad length", badLength, {}, false},
      {"header alone", packed.substr(0, 10), {}, false},
      {"magic alone", packed.substr(0, 2), {}, false},
      // One byte cannot be the magic: it is read as it is.
      {"first magic byte alone", packed.substr(0, 1), {"\x1f"}, true},
      {"magic, then garbage", packed.substr(0, 2) + garbage, {}, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    ASSERT_TRUE(writeFile(dir / "m.rmp", row.bytes));
    LineReader reader;
    ASSERT_TRUE(reader.open((dir / "m.rmp").c_str(), 1));
    EXPECT_EQ(readAll(reader), row.lines);
    EXPECT_EQ(reader.close(), row.whole);
  }
}

TEST(LineReader, CutLineAtDamageComesBackWithoutLineFeed) {
  ScopedTempDir dir;
  // A plain gzip member whose data is stored uncompressed, cut inside a line.
  std::string packed = gzipBytes("alpha\nbeta-gamma\n");
  std::string cut = packed.substr(0, packed.size() - 8 - 4);
  ASSERT_TRUE(writeFile(dir / "cut.rmp", cut));
  LineReader reader;
  ASSERT_TRUE(reader.open((dir / "cut.rmp").c_str(), 1));
  std::vector<std::string> lines = readAll(reader);
  ASSERT_FALSE(lines.empty());
  EXPECT_NE(lines.back().back(), '\n');
  EXPECT_FALSE(reader.close());
}

TEST(LineReader, LastLineWithoutLineFeedAndCrLfKept) {
  ScopedTempDir dir;
  ASSERT_TRUE(writeFile(dir / "m.rmp", "one\r\ntwo\r\rx\nthree"));
  const std::vector<std::string> expected = {"one\r\n", "two\r\rx\n", "three"};
  EXPECT_EQ(readFileLines(dir / "m.rmp"), expected);
}

TEST(LineReader, OpenRecordsStateAndReopenClosesTheFirstFile) {
  ScopedTempDir dir;
  ASSERT_TRUE(writeFile(dir / "first.rmp", "1\n"));
  ASSERT_TRUE(writeFile(dir / "second.rmp", "2\n"));
  LineReader reader;
  ASSERT_TRUE(reader.open((dir / "first.rmp").c_str(), 1));
  EXPECT_EQ(reader.openArgument, 1);
  EXPECT_EQ(reader.isGzipStream, 1);
  EXPECT_EQ(reader.openCalled, 1);
  EXPECT_STREQ(reader.diskPath.text, (dir / "first.rmp").c_str());

  ASSERT_TRUE(reader.open((dir / "second.rmp").c_str(), 7));
  EXPECT_EQ(reader.openArgument, 7);
  EXPECT_STREQ(reader.diskPath.text, (dir / "second.rmp").c_str());
  EXPECT_EQ(readAll(reader), std::vector<std::string>{"2\n"});

  // A failed open leaves diskPath as it was and holds no stream.
  EXPECT_FALSE(reader.open((dir / "missing.rmp").c_str(), 3));
  EXPECT_EQ(reader.stream, nullptr);
  EXPECT_EQ(reader.openArgument, 3);
  EXPECT_STREQ(reader.diskPath.text, (dir / "second.rmp").c_str());
}

TEST(LineReader, CloseTwiceAndReadWithoutFile) {
  ScopedTempDir dir;
  ASSERT_TRUE(writeFile(dir / "a.rmp", "x\n"));
  LineReader reader;
  ASSERT_TRUE(reader.open((dir / "a.rmp").c_str(), 1));
  EXPECT_TRUE(reader.close());
  EXPECT_FALSE(reader.close());
  char buffer[8] = "garbage";
  EXPECT_EQ(reader.readLine(buffer, sizeof buffer), nullptr);
  EXPECT_STREQ(buffer, "");
}

TEST(LineReader, OpensUnderTheDiskName) {
  ScopedTempDir dir;
  ASSERT_TRUE(writeFile(dir / "I+~63on\\a.rmp", "encoded\n"));
  LineReader reader;
  ASSERT_TRUE(reader.open((dir / "Icon\\a.rmp").c_str(), 1));
  EXPECT_STREQ(reader.diskPath.text, (dir / "I+~63on\\a.rmp").c_str());
  EXPECT_EQ(readAll(reader), std::vector<std::string>{"encoded\n"});
  reader.close();

  // A real directory named Icon is not what gets opened.
  ASSERT_TRUE(writeFile(dir / "x\\Icon\\b.rmp", "plain\n"));
  EXPECT_FALSE(reader.open((dir / "x\\Icon\\b.rmp").c_str(), 1));
}

TEST(LineReader, DiskNameCutAtTheLimitIsNeverOpened) {
  // Escapes push the disk name past 1023 characters; the shortened name
  // would be another file. (No ANSI path that long can exist, so the native
  // fault test also checks that no open is even attempted.)
  ScopedTempDir dir;
  std::string path = dir.path() + std::string(300, '*');
  LineReader reader;
  EXPECT_FALSE(reader.open(path.c_str(), 1));
  EXPECT_EQ(reader.stream, nullptr);
  EXPECT_EQ(reader.diskPath.text, nullptr);
  EXPECT_EQ(reader.openCalled, 1);
}
