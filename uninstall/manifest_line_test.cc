#include "manifest_line.h"

#include <gtest/gtest.h>

#include <string>

TEST(ManifestLine, CutsAndClassifies) {
  struct Row {
    std::string line;
    std::string entry;
    EntryKind kind;
  };
  const Row rows[] = {
      {"data\\car.dat\n", "data\\car.dat", EntryKind::File},
      {"data\\car.dat\r\n", "data\\car.dat", EntryKind::File},
      {"data\\\n", "data\\", EntryKind::Directory},
      {"data\\\r\n", "data\\", EntryKind::Directory},
      {"last", "last", EntryKind::File},
      {"\n", "", EntryKind::Empty},
      {"\r\n", "", EntryKind::Empty},
      {"\r", "", EntryKind::Empty},
      {"", "", EntryKind::Empty},
      // Whatever follows a CR within a line is ignored.
      {"a.dat\rb.dat\rc\\\n", "a.dat", EntryKind::File},
      {"dir\\\rfile\n", "dir\\", EntryKind::Directory},
      // An LF ends the line before a CR that follows it.
      {"x\ny\r", "x", EntryKind::File},
      {std::string("a\0b\\\n", 5), "a", EntryKind::File},
      {" \n", " ", EntryKind::File},
      {"\\", "\\", EntryKind::Directory},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.line);
    std::string buffer = row.line;
    buffer.push_back('\0');
    char* cut = cutManifestLine(&buffer[0]);
    EXPECT_EQ(cut, &buffer[0]);
    EXPECT_EQ(std::string(cut), row.entry);
    EXPECT_EQ(classifyEntry(cut), row.kind);
  }
}
