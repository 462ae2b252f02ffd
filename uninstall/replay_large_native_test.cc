// The replay on large input: two manifests of 100 MB each, one plain and
// one gzip, are streamed in flat memory, and a directory of 20,000 entries
// is searched and cleaned. Natively only: the first reads the process's peak
// memory from /proc, and Wine takes minutes over either.
#include <gtest/gtest.h>
#include <stdio.h>
#include <string.h>
#include <zlib.h>

#include <set>
#include <string>

#include "replay.h"
#include "test_fs.h"

namespace {

constexpr size_t kManifestBytes = 100u << 20;

// The POSIX form of a Z: path.
std::string posixOf(const std::string& windowsPath) {
  std::string out = windowsPath.substr(2);
  for (char& c : out) c = c == '\\' ? '/' : c;
  return out;
}

// A field of /proc/self/status in kB ("VmHWM", "VmRSS"); -1 when unknown.
long statusKilobytes(const char* field) {
  FILE* status = fopen("/proc/self/status", "r");
  if (!status) return -1;
  char line[256];
  long value = -1;
  const size_t length = strlen(field);
  while (fgets(line, sizeof line, status)) {
    if (strncmp(line, field, length) == 0 && line[length] == ':') value = strtol(line + length + 1, nullptr, 10);
  }
  fclose(status);
  return value;
}

// Starts the peak (VmHWM) afresh at the present resident size.
bool resetPeak() {
  FILE* refs = fopen("/proc/self/clear_refs", "w");
  if (!refs) return false;
  const bool ok = fputs("5", refs) >= 0;
  return fclose(refs) == 0 && ok;
}

// Writes a manifest of about kManifestBytes, a line at a time: its directory
// first, a file that exists, lines naming files that do not, and last a file
// that exists, so that its deletion shows the whole manifest was read.
template <typename Write>
void writeManifest(Write write) {
  write("data\\\r\ndata\\first.dat\r\n");
  std::string line = "data\\" + std::string(880, 'x');
  for (size_t written = 0, n = 0; written < kManifestBytes; ++n) {
    const std::string text = line + std::to_string(n) + ".dat\r\n";
    write(text.c_str());
    written += text.size();
  }
  write("data\\last.dat\r\n");
}

}  // namespace

TEST(ReplayStream, HundredMegabyteManifestsInFlatMemory) {
  ScopedTempDir dir;
  for (const char* kind : {"plain", "gzip"}) {
    ASSERT_TRUE(writeFile(dir / (std::string("Game\\") + kind + "\\data\\first.dat"), "first"));
    ASSERT_TRUE(writeFile(dir / (std::string("Game\\") + kind + "\\data\\last.dat"), "last"));
  }
  FILE* plain = fopen(posixOf(dir / "Game\\plain\\m.rmp").c_str(), "wb");
  ASSERT_NE(plain, nullptr);
  writeManifest([plain](const char* text) { fputs(text, plain); });
  ASSERT_EQ(fclose(plain), 0);
  gzFile packed = gzopen(posixOf(dir / "Game\\gzip\\m.rmp").c_str(), "wb1");
  ASSERT_NE(packed, nullptr);
  writeManifest([packed](const char* text) { gzputs(packed, text); });
  ASSERT_EQ(gzclose(packed), Z_OK);

  ASSERT_TRUE(resetPeak());
  const long before = statusKilobytes("VmRSS");
  replayManifests((dir / "Game\\").c_str(), "*.rmp");
  const long peak = statusKilobytes("VmHWM");
  printf("peak memory: %ld kB resident before the replay, %ld kB at the peak while replaying two manifests of "
         "%zu MB (one plain, one gzip)\n",
         before, peak, kManifestBytes >> 20);

  // Read to the end, applied, and gone with their folders.
  EXPECT_EQ(listTree(dir / "Game\\"), (std::set<std::string>{"gzip\\", "plain\\"}));
  // Streaming: the peak stays far below the size of one manifest.
  ASSERT_GT(before, 0);
  EXPECT_LT(peak - before, 32 * 1024);
}

// A directory of 20,000 files, every other one listed by the manifest.
TEST(HostileTree, TwentyThousandEntries) {
  ScopedTempDir dir;
  std::string manifest;
  for (int i = 0; i < 20000; ++i) {
    const std::string name = "f" + std::to_string(100000 + i) + ".dat";
    ASSERT_TRUE(writeFile(dir / ("Game\\many\\" + name), ""));
    if (i % 2 == 0) manifest += "many\\" + name + "\r\n";
  }
  ASSERT_TRUE(writeFile(dir / "Game\\m.rmp", gzipBytes("many\\\r\n" + manifest)));
  replayManifests((dir / "Game\\").c_str(), "*.rmp");
  const std::set<std::string> left = listTree(dir / "Game\\many\\");
  EXPECT_EQ(left.size(), 10000u);
  for (const std::string& name : left) EXPECT_EQ((name[6] - '0') % 2, 1) << name;
  EXPECT_FALSE(pathExists(dir / "Game\\m.rmp"));
}
