// The replay on damaged and hostile manifests and trees: whatever the input,
// no crash, nothing deleted that is not listed, and a clean, predictable
// result. Big inputs are made here, at test time; the largest, too slow
// under Wine, are in replay_large_native_test.cc.
#include <gtest/gtest.h>
#include <stdint.h>
#include <zlib.h>

#include <set>
#include <string>
#include <vector>

#include "platform.h"
#include "replay.h"
#include "test_fs.h"

namespace {

// The body of the damaged manifests: a directory, two files in it and one
// beside, then a file whose name begins with another file's name.
const char kBody[] = "sub\\\nsub\\a.dat\nb.dat\nPellmoor.exe.old\n";

void putLittleEndian(std::string& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// `plain` as one gzip member holding a single stored (uncompressed) block, so
// that a cut at a byte of the data cuts the text at that byte.
std::string storedGzip(const std::string& plain) {
  std::string out("\x1f\x8b\x08\x00\x00\x00\x00\x00\x00\xff", 10);
  out.push_back('\x01');  // the last block, stored
  putLittleEndian(out, static_cast<uint32_t>(plain.size()), 2);
  putLittleEndian(out, static_cast<uint32_t>(~plain.size()) & 0xFFFF, 2);
  out += plain;
  const uLong crc = crc32(crc32(0, nullptr, 0), reinterpret_cast<const Bytef*>(plain.data()),
                          static_cast<uInt>(plain.size()));
  putLittleEndian(out, static_cast<uint32_t>(crc), 4);
  putLittleEndian(out, static_cast<uint32_t>(plain.size()), 4);
  return out;
}

// Bytes from a fixed sequence, never starting with the gzip magic.
std::string garbage(size_t size, uint32_t seed) {
  std::string out;
  for (size_t i = 0; i < size; ++i) {
    seed = seed * 1103515245u + 12345u;
    out.push_back(static_cast<char>(seed >> 16));
  }
  if (!out.empty() && out[0] == '\x1f') out[0] = 'g';
  return out;
}

// A game folder with the files the body names, a file that only a cut line
// would name, and a canary outside.
class HostileManifest : public ::testing::Test {
 protected:
  void layOut(const std::string& manifest) {
    removeTree(dir / "Game");
    ASSERT_TRUE(writeFile(dir / "Game\\sub\\a.dat", "a"));
    ASSERT_TRUE(writeFile(dir / "Game\\b.dat", "b"));
    ASSERT_TRUE(writeFile(dir / "Game\\Pellmoor.exe", "not listed"));
    ASSERT_TRUE(writeFile(dir / "Game\\Pellmoor.exe.old", "listed"));
    ASSERT_TRUE(writeFile(dir / "Game\\m.rmp", manifest));
    ASSERT_TRUE(writeFile(dir / "canary.txt", "canary"));
  }
  // What is left after one replay of the game folder.
  std::set<std::string> replayed() {
    replayManifests((dir / "Game\\").c_str(), "*.rmp");
    return listTree(dir.path());
  }
  ScopedTempDir dir;
};

const std::set<std::string> kAll = {"Game\\", "Game\\sub\\", "Game\\sub\\a.dat", "Game\\b.dat",
                                    "Game\\Pellmoor.exe", "Game\\Pellmoor.exe.old", "canary.txt"};

}  // namespace

TEST_F(HostileManifest, DamagedGzipAppliesOnlyWholeLines) {
  const std::string whole = storedGzip(kBody);
  const size_t data = 15;  // the header and the stored block's five bytes
  const size_t cutAt = std::string(kBody).find("Pellmoor.exe") + 12;
  std::string badCrc = whole;
  badCrc[whole.size() - 8] ^= 0x01;
  std::string badLength = whole;
  badLength[whole.size() - 4] ^= 0x01;
  struct Row {
    const char* what;
    std::string manifest;
    std::set<std::string> left;
  };
  const Row rows[] = {
      {"whole", whole, {"Game\\", "Game\\Pellmoor.exe", "canary.txt"}},
      // Cut inside the last line: the lines before it apply, the piece of it
      // that arrived ("Pellmoor.exe") is not applied.
      {"truncated in a line", whole.substr(0, data + cutAt), {"Game\\", "Game\\Pellmoor.exe", "Game\\Pellmoor.exe.old", "canary.txt"}},
      {"truncated before the trailer", whole.substr(0, whole.size() - 8), {"Game\\", "Game\\Pellmoor.exe", "canary.txt"}},
      // Damage found at the end loses what the same read decoded: nothing
      // is applied, and only the manifest, read to its end, is deleted.
      {"bad CRC", badCrc, kAll},
      {"bad length in the trailer", badLength, kAll},
      {"gzip header alone", whole.substr(0, 10), kAll},
      {"magic byte alone", std::string("\x1f", 1), kAll},
      {"gzip magic then garbage", "\x1f\x8b" + garbage(4096, 7), kAll},
      {"binary garbage", garbage(64 * 1024, 1), kAll},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    layOut(row.manifest);
    EXPECT_EQ(replayed(), row.left);
  }
}

// Lines of a megabyte arrive in 1023-byte pieces, each an entry of its own:
// pieces too long to join are passed over, pieces that climb out are
// refused, and the short lines around them still apply.
TEST_F(HostileManifest, MegabyteLines) {
  const std::string letters(1 << 20, 'x');
  std::string climb;
  while (climb.size() < (1u << 20)) climb += "..\\";
  layOut("b.dat\n" + letters + "\n" + climb + "canary.txt\n" + climb + "\nsub\\a.dat\n");
  EXPECT_EQ(replayed(), (std::set<std::string>{"Game\\", "Game\\sub\\", "Game\\Pellmoor.exe",
                                               "Game\\Pellmoor.exe.old", "canary.txt"}));
}

// A tree 60 levels deep with a manifest on every level that lists its own
// file. The finder cannot save a current directory longer than 254
// characters, so the levels below such a directory list nothing; a path
// longer than 259 characters cannot be opened or deleted. Every other level
// is cleaned, the rest stays, and the run goes on to the shallow levels.
TEST(HostileTree, SixtyLevelsDeep) {
  ScopedTempDir dir;
  std::vector<std::string> levels;  // each level's directory, ending in a backslash
  std::string path = dir / "Game\\";
  for (int i = 0; i < 60; ++i) {
    levels.push_back(path);
    ASSERT_TRUE(writeFile(path + "m.rmp", "f.dat\n"));
    ASSERT_TRUE(writeFile(path + "f.dat", "f"));
    path += "level" + std::to_string(100 + i) + "\\";
  }
  const std::string start = currentDirectory();
  replayManifests(levels[0].c_str(), "*.rmp");
  EXPECT_EQ(currentDirectory(), start);
  int cleaned = 0;
  for (size_t i = 0; i < levels.size(); ++i) {
    SCOPED_TRACE(levels[i]);
    const std::string& level = levels[i];
    // The level is scanned when its parent's path (without the backslash)
    // fits the finder's 254 characters; its files open when their paths fit
    // the ANSI limit of 259.
    const size_t parentLength = i == 0 ? 0 : levels[i - 1].size() - 1;
    const bool reached = parentLength <= 254 && (level + "m.rmp").size() <= 259;
    EXPECT_EQ(pathExists(level + "m.rmp"), !reached);
    EXPECT_EQ(pathExists(level + "f.dat"), !reached);
    cleaned += reached;
  }
  EXPECT_GE(cleaned, 15);
  EXPECT_LT(cleaned, 60);
}
