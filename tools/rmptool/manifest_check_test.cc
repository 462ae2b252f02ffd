// The manifest check: what it finds in manifests read as the uninstaller
// reads them, gzip or plain, and what it cannot read.
#include "manifest_check.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_fs.h"

namespace {

// A finding expected: its line, whether it is an error, and a part of its
// message.
struct Expected {
  int line;
  bool error;
  std::string part;
};

std::string describe(const Finding& finding) {
  return std::to_string(finding.line) + (finding.severity == Severity::Error ? " error " : " warning ") +
         finding.message;
}

void expectFindings(const CheckReport& report, const std::vector<Expected>& expected) {
  std::string all;
  for (const Finding& finding : report.findings) all += "  " + describe(finding) + "\n";
  SCOPED_TRACE("found:\n" + all);
  ASSERT_EQ(report.findings.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    const Finding& finding = report.findings[i];
    EXPECT_EQ(finding.line, expected[i].line);
    EXPECT_EQ(finding.severity == Severity::Error, expected[i].error);
    EXPECT_NE(finding.message.find(expected[i].part), std::string::npos) << "wanted: " << expected[i].part;
  }
}

CheckReport check(const std::string& path, bool tree = false) {
  CheckOptions options;
  options.tree = tree;
  CheckReport report;
  checkManifest(path, options, report);
  return report;
}

}  // namespace

TEST(ManifestCheck, FindingsLineByLine) {
  struct Row {
    const char* name;
    std::string content;
    std::vector<Expected> expected;
  };
  const std::string x1022(1022, 'x');
  const Row rows[] = {
      {"a good manifest", "data\\\ndata\\cars\\\ndata\\cars\\a.car\r\nb.dat\n\n\r\nlast.dat", {}},
      {"CR-only line ends", "a.dat\rb.dat\rc.dat\r",
       {{1, true, "CR-only line ends: 2 entries after the CR at column 6 would be lost"}}},
      {"a line of exactly 1023 bytes", std::string(1023, 'a') + "\nb.dat\n",
       {{1, true, "1023 bytes long: too long to be joined to any directory"}}},
      {"a longer line becomes several entries", std::string(1100, 'a') + "\n",
       {{1, true, "1100 bytes long: read in pieces of at most 1023 bytes, it becomes 2 entries"}}},
      {"a line one byte short of the limit", x1022 + "\n",
       {{1, true, "with the manifest's directory it passes 1023 characters"}}},
      {"a NUL byte", std::string("a.dat\0rest\nb.dat\n", 17), {{1, true, "a NUL byte at column 6"}}},
      {"entries the safety rules refuse", "C:\\x\n..\\up.dat\nkeep.txt:s\nname.\n\\\\server\\x\nsub\\..\\..\\y\n.\n",
       {{1, true, "'C:\\x': not a plain relative path (it holds a colon"},
        {2, true, "'..\\up.dat': leaves the manifest's directory"},
        {3, true, "not a plain relative path (it holds a colon"},
        {4, true, "not a plain relative path (a name in it ends in a dot or a blank)"},
        {5, true, "not a plain relative path (it starts with two separators)"},
        {6, true, "leaves the manifest's directory"},
        {7, true, "names the manifest's own directory as a file"}}},
      {"a directory after one inside it", "a\\\na\\b\\\nc\\d\\e\\\nc\\\n.\\\n",
       {{4, true, "'c\\': listed after 'c\\d\\e\\' (line 3), which lies inside it"},
        {5, true, "'.\\': listed after 'a\\' (line 1), which lies inside it"}}},
      {"repeated entries, in any spelling", "x.dat\nX.DAT\n.\\x.dat\nd\\\nd/\n",
       {{2, false, "repeats line 1"}, {3, false, "repeats line 1"}}},
      {"bytes above 0x7F", "caf\xe9.dat\n", {{1, false, "bytes above 0x7F"}}},
      {"device names", "CON\nsub\\nul.txt\nCOM1\\\nconsole.txt\n",
       {{1, false, "'CON' is a device name"}, {2, false, "'nul' is a device name"},
        {3, false, "'COM1' is a device name"}}},
      {"entries naming manifests", "other.rmp\nm.rmp\n",
       {{1, false, "names another manifest"}, {2, false, "names this manifest itself"}}},
      {"a path longer than Windows takes", std::string(240, 'p') + "\n",
       {{1, false, "characters long here: Windows' ANSI file calls refuse paths longer than 259"}}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ScopedTempDir dir;
    ASSERT_TRUE(writeFile(dir / "m.rmp", row.content));
    expectFindings(check(dir / "m.rmp"), row.expected);
    // The same manifest gzip-compressed reads the same.
    ASSERT_TRUE(writeFile(dir / "m.rmp", gzipBytes(row.content)));
    expectFindings(check(dir / "m.rmp"), row.expected);
  }
}

TEST(ManifestCheck, CountsLinesAndEntries) {
  ScopedTempDir dir;
  ASSERT_TRUE(writeFile(dir / "m.rmp", "a\\\n\na.dat\r\nlast"));
  CheckReport report = check(dir / "m.rmp");
  EXPECT_EQ(report.lines, 4);
  EXPECT_EQ(report.entries, 3);
  EXPECT_TRUE(report.trouble.empty());
}

TEST(ManifestCheck, TheManifestsOwnPath) {
  ScopedTempDir dir;
  // The uninstaller opens I+~63on\m.rmp; the file itself is still checked.
  ASSERT_TRUE(writeFile(dir / "Icon\\m.rmp", "a.dat\rb.dat\n"));
  expectFindings(check(dir / "Icon\\m.rmp"),
                 {{0, true, "its path changes under the disk-name encoding: the uninstaller opens " + dir.path() +
                                "I+~63on\\m.rmp instead"},
                  {1, true, "CR-only line ends"}});
  ASSERT_TRUE(writeFile(dir / "list.txt", "a.dat\n"));
  expectFindings(check(dir / "list.txt"), {{0, true, "not named *.rmp"}});
}

TEST(ManifestCheck, WhatCannotBeReadThrough) {
  ScopedTempDir dir;
  EXPECT_EQ(check(dir / "none.rmp").trouble, "no such file");
  ASSERT_TRUE(makeDirectory(dir / "d.rmp"));
  EXPECT_EQ(check(dir / "d.rmp").trouble, "is a directory");

  std::string body = "d\\\n";
  for (int i = 0; i < 3000; ++i) body += "d\\f" + std::to_string(i) + ".dat\n";
  std::string packed = gzipBytes(body);
  ASSERT_TRUE(writeFile(dir / "cut.rmp", packed.substr(0, packed.size() * 3 / 4)));
  CheckReport report = check(dir / "cut.rmp");
  // Reading stops in the line after the last whole one, or in a line cut
  // short, which counts as read.
  const std::string inNext = "damaged gzip data in line " + std::to_string(report.lines + 1) + ": ";
  const std::string inLast = "damaged gzip data in line " + std::to_string(report.lines) + ": ";
  EXPECT_TRUE(report.trouble.find(inNext) == 0 || report.trouble.find(inLast) == 0) << report.trouble;
  EXPECT_GT(report.lines, 0);
  EXPECT_LT(report.lines, 3001);
}

TEST(ManifestCheck, TreeLooksBesideTheManifest) {
  ScopedTempDir dir;
  ASSERT_TRUE(writeFile(dir / "here.dat", "h"));
  ASSERT_TRUE(writeFile(dir / "file.dat", "f"));
  ASSERT_TRUE(makeDirectory(dir / "sub"));
  const bool haveLink = makeDirectoryLink(dir / "sub", dir / "link");
  ASSERT_TRUE(writeFile(dir / "m.rmp", "here.dat\nmissing.dat\nsub\nfile.dat\\\nsub\\\n" +
                                           std::string(haveLink ? "link\\\n" : "")));
  std::vector<Expected> expected = {{2, false, "not found beside the manifest"},
                                    {3, true, "is a directory, listed as a file"},
                                    {4, true, "is a file, listed as a directory"}};
  if (haveLink) expected.push_back({6, true, "is a link"});
  expectFindings(check(dir / "m.rmp", true), expected);
  // Without --tree nothing is looked at.
  expectFindings(check(dir / "m.rmp"), {});
}
