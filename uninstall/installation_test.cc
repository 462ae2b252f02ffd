// Reading the installation from the registry, in both builds.
#include "installation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_registry.h"

TEST(Installation, RegistryValuesAndTheirLimits) {
  const std::string dir127 = "C:\\" + std::string(124, 'g');  // 127 characters
  const std::string dir128 = dir127 + "h";
  const std::string withBackslash127 = std::string("C:\\") + std::string(123, 'g') + "\\";
  struct Row {
    const char* name;
    bool present;
    std::vector<std::string> keys;
    std::vector<TestRegistryValue> values;
    std::string installDir;
    std::string folder;
  };
  const std::vector<std::string> product = {"Pellmoor"};
  const Row rows[] = {
      {"both values", true, product, {regString("Install Dir", "C:\\G"), regString("Folder", "C:\\M")}, "C:\\G\\",
       "C:\\M"},
      {"trailing backslashes kept", true, product,
       {regString("Install Dir", "C:\\G\\"), regString("Folder", "C:\\M\\")}, "C:\\G\\", "C:\\M\\"},
      {"names without regard to case", true, {"PELLMOOR"}, {regString("install dir", "C:\\G")}, "C:\\G\\", ""},
      {"127 characters get a backslash", true, product, {regString("Install Dir", dir127)}, dir127 + "\\", ""},
      {"127 ending in a backslash", true, product, {regString("Install Dir", withBackslash127)}, withBackslash127,
       ""},
      {"128 characters are too long", true, product,
       {regString("Install Dir", dir128), regString("Folder", dir128)}, "", ""},
      {"127-character folder", true, product, {regString("Install Dir", "C:\\G"), regString("Folder", dir127)},
       "C:\\G\\", dir127},
      {"empty", true, product, {regString("Install Dir", ""), regString("Folder", "")}, "", ""},
      {"expand strings are not REG_SZ", true, product,
       {regExpand("Install Dir", "C:\\G"), regExpand("Folder", "C:\\M")}, "", ""},
      {"dwords are not REG_SZ", true, product, {regDword("Install Dir", 5), regDword("Folder", 5)}, "", ""},
      {"folder without install dir", true, product, {regString("Folder", "C:\\M")}, "", "C:\\M"},
      {"no product key", true, {}, {regString("Install Dir", "C:\\G")}, "", ""},
      {"another product", true, {"Other"}, {regString("Install Dir", "C:\\G")}, "", ""},
      {"no publisher key", false, {}, {}, "", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ScopedTestRegistry registry(row.present, row.keys, row.values);
    ASSERT_TRUE(registry.valid());
    Installation installation;
    installation.installDir[0] = 'x';
    readInstallation(installation);
    EXPECT_EQ(std::string(installation.installDir), row.installDir);
    EXPECT_EQ(std::string(installation.startMenuFolder), row.folder);
  }
}
