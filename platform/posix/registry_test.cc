// The registry calls give Windows' results, reading HKEY_LOCAL_MACHINE from
// the file named by HKLM_REG_FILE.
#include <gtest/gtest.h>
#include <stdint.h>
#include <string.h>

#include <string>

#include "platform.h"
#include "registry.h"
#include "scoped_reg_file.h"

namespace {

// The product key as the uninstaller finds it, with values around the
// 128-byte buffer it queries into.
std::string productFile() {
  std::string big;
  for (int i = 0; i < 200; ++i) {
    char byte[4];
    snprintf(byte, sizeof byte, "%02x,", i);
    big += byte;
  }
  big.pop_back();
  return "Windows Registry Editor Version 5.00\r\n\r\n"
         "[HKEY_LOCAL_MACHINE\\Software\\Quendrix\\Pellmoor]\r\n"
         "\"Install Dir\"=\"C:\\\\Games\\\\Pellmoor\"\r\n"
         "\"S127\"=\"" + std::string(127, 'a') + "\"\r\n"
         "\"S128\"=\"" + std::string(128, 'b') + "\"\r\n"
         "\"Empty\"=\"\"\r\n"
         "\"Expand\"=hex(2):25,00,54,00,45,00,4d,00,50,00,25,00,5c,00,78,00,00,00\r\n"
         "\"Dword\"=dword:0000002a\r\n"
         "\"Big\"=hex:" + big + "\r\n"
         "@=\"default\"\r\n";
}

// Opens the product key one level at a time. Returns null on failure.
HKEY openProductKey() {
  HKEY software = nullptr, publisher = nullptr, product = nullptr;
  if (RegOpenKeyA(HKEY_LOCAL_MACHINE, "Software", &software) != 0) return nullptr;
  if (RegOpenKeyA(software, "Quendrix", &publisher) == 0) {
    RegOpenKeyA(publisher, "Pellmoor", &product);
    RegCloseKey(publisher);
  }
  RegCloseKey(software);
  return product;
}

// The text of REG_SZ value `name` of `key`, or "<error N>".
std::string queryText(HKEY key, const char* name) {
  char buffer[128];
  DWORD type = 0, size = sizeof buffer;
  LONG status = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
  if (status != 0) return "<error " + std::to_string(status) + ">";
  if (type != REG_SZ || size == 0) return "<type " + std::to_string(type) + ">";
  return std::string(buffer, size - 1);
}

HKEY madeUpHandle() { return reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x1234)); }

}  // namespace

TEST(Registry, QueriesIntoA128ByteBuffer) {
  ScopedRegFile file(productFile());
  HKEY key = openProductKey();
  ASSERT_NE(key, nullptr);
  struct Row {
    const char* name;
    LONG status;
    DWORD type;
    DWORD size;
    std::string data;  // "untouched": the buffer keeps its fill
  };
  const std::string untouched = "untouched";
  const Row rows[] = {
      {"Install Dir", 0, REG_SZ, 18, std::string("C:\\Games\\Pellmoor", 18)},
      {"S127", 0, REG_SZ, 128, std::string(127, 'a') + '\0'},
      {"s128", ERROR_MORE_DATA, REG_SZ, 129, untouched},
      {"EMPTY", 0, REG_SZ, 1, std::string(1, '\0')},
      {"Missing", ERROR_FILE_NOT_FOUND, REG_NONE, 128, untouched},
      {"Expand", 0, REG_EXPAND_SZ, 9, std::string("%TEMP%\\x", 9)},
      {"Dword", 0, REG_DWORD, 4, std::string("\x2a\0\0\0", 4)},
      {"Big", ERROR_MORE_DATA, REG_BINARY, 200, untouched},
      {nullptr, 0, REG_SZ, 8, std::string("default", 8)},
      {"", 0, REG_SZ, 8, std::string("default", 8)},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name ? row.name : "(null)");
    unsigned char buffer[128];
    memset(buffer, 0xCC, sizeof buffer);
    DWORD type = 0xEEEE, size = sizeof buffer;
    EXPECT_EQ(RegQueryValueExA(key, row.name, nullptr, &type, buffer, &size), row.status);
    EXPECT_EQ(type, row.type);
    EXPECT_EQ(size, row.size);
    std::string expected = row.data == untouched ? "" : row.data;
    expected.resize(sizeof buffer, '\xCC');
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), sizeof buffer), expected);
  }
  EXPECT_EQ(RegCloseKey(key), 0);
}

TEST(Registry, SizeOnlyAndExactFit) {
  ScopedRegFile file(productFile());
  HKEY key = openProductKey();
  ASSERT_NE(key, nullptr);
  DWORD type = 0xEEEE, size = 0xDDDD;
  EXPECT_EQ(RegQueryValueExA(key, "S128", nullptr, &type, nullptr, &size), 0);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(size, 129u);
  size = 0xDDDD;
  EXPECT_EQ(RegQueryValueExA(key, "Missing", nullptr, &type, nullptr, &size), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(type, static_cast<DWORD>(REG_NONE));
  EXPECT_EQ(size, 0u);
  EXPECT_EQ(RegQueryValueExA(key, "Dword", nullptr, nullptr, nullptr, nullptr), 0);

  unsigned char buffer[4];
  memset(buffer, 0xCC, sizeof buffer);
  size = 3;
  EXPECT_EQ(RegQueryValueExA(key, "Dword", nullptr, &type, buffer, &size), ERROR_MORE_DATA);
  EXPECT_EQ(size, 4u);
  EXPECT_EQ(buffer[0], 0xCC);
  size = 4;
  EXPECT_EQ(RegQueryValueExA(key, "Dword", nullptr, &type, buffer, &size), 0);
  EXPECT_EQ(buffer[0], 0x2A);
  size = 0;
  EXPECT_EQ(RegQueryValueExA(key, "Empty", nullptr, &type, buffer, &size), ERROR_MORE_DATA);
  EXPECT_EQ(size, 1u);
  RegCloseKey(key);
}

TEST(Registry, OpensPathsAsWindowsDoes) {
  ScopedRegFile file(productFile() + "[HKEY_LOCAL_MACHINE\\Software\\Quendrix\\Pellmoor\\Sub]\r\n");
  size_t openBefore = registryOpenKeyCount();
  struct Row {
    const char* path;
    LONG status;
  };
  const Row rows[] = {
      {"Software\\Quendrix\\Pellmoor", 0},
      {"SOFTWARE\\quendrix\\PELLMOOR", 0},
      {"Software\\Quendrix\\Pellmoor\\", 0},
      {"Software\\\\Quendrix\\\\\\Pellmoor", 0},
      {"\\Software\\Quendrix\\Pellmoor", ERROR_BAD_PATHNAME},
      {"Software/Quendrix/Pellmoor", ERROR_FILE_NOT_FOUND},
      {"Software\\Quendrix\\Missing", ERROR_FILE_NOT_FOUND},
      {"Software\\Quendrix\\Pellmoor\\Sub\\Deeper", ERROR_FILE_NOT_FOUND},
      {"Software\\Quendri", ERROR_FILE_NOT_FOUND},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.path);
    HKEY key = madeUpHandle();
    ASSERT_EQ(RegOpenKeyA(HKEY_LOCAL_MACHINE, row.path, &key), row.status);
    if (row.status != 0) {
      EXPECT_EQ(key, nullptr);
      continue;
    }
    EXPECT_EQ(queryText(key, "Install Dir"), "C:\\Games\\Pellmoor");
    HKEY sub = nullptr;
    EXPECT_EQ(RegOpenKeyA(key, "sub", &sub), 0);
    EXPECT_EQ(RegCloseKey(sub), 0);
    EXPECT_EQ(RegCloseKey(key), 0);
  }
  EXPECT_EQ(registryOpenKeyCount(), openBefore);
}

TEST(Registry, EmptySubkeyHandsBackTheSameHandle) {
  ScopedRegFile file(productFile());
  HKEY key = openProductKey();
  ASSERT_NE(key, nullptr);
  HKEY again = nullptr;
  EXPECT_EQ(RegOpenKeyA(key, "", &again), 0);
  EXPECT_EQ(again, key);
  again = nullptr;
  EXPECT_EQ(RegOpenKeyA(key, nullptr, &again), 0);
  EXPECT_EQ(again, key);
  EXPECT_EQ(RegOpenKeyA(HKEY_LOCAL_MACHINE, "", &again), 0);
  EXPECT_EQ(again, HKEY_LOCAL_MACHINE);
  // Not a new handle: it is closed once only.
  EXPECT_EQ(RegCloseKey(key), 0);
  EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);
}

TEST(Registry, InvalidHandlesAndArguments) {
  ScopedRegFile file(productFile());
  HKEY key = openProductKey();
  ASSERT_NE(key, nullptr);
  ASSERT_EQ(RegCloseKey(key), 0);
  char buffer[128];
  for (HKEY bad : {key, static_cast<HKEY>(nullptr), madeUpHandle()}) {
    SCOPED_TRACE(reinterpret_cast<uintptr_t>(bad));
    HKEY out = madeUpHandle();
    EXPECT_EQ(RegOpenKeyA(bad, "Sub", &out), ERROR_INVALID_HANDLE);
    EXPECT_EQ(out, nullptr);
    DWORD type = 0xEEEE, size = sizeof buffer;
    EXPECT_EQ(RegQueryValueExA(bad, "Install Dir", nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size),
              ERROR_INVALID_HANDLE);
    EXPECT_EQ(type, 0xEEEEu);
    EXPECT_EQ(RegCloseKey(bad), ERROR_INVALID_HANDLE);
  }
  // The predefined key closes without harm, as often as asked.
  EXPECT_EQ(RegCloseKey(HKEY_LOCAL_MACHINE), 0);
  EXPECT_EQ(RegCloseKey(HKEY_LOCAL_MACHINE), 0);
  key = openProductKey();
  ASSERT_NE(key, nullptr);

  EXPECT_EQ(RegOpenKeyA(key, "Sub", nullptr), ERROR_INVALID_PARAMETER);
  DWORD reserved = 0, size = sizeof buffer;
  EXPECT_EQ(RegQueryValueExA(key, "Install Dir", &reserved, nullptr, reinterpret_cast<BYTE*>(buffer), &size),
            ERROR_INVALID_PARAMETER);
  EXPECT_EQ(RegQueryValueExA(key, "Install Dir", nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), nullptr),
            ERROR_INVALID_PARAMETER);
  EXPECT_EQ(RegCloseKey(key), 0);
}

TEST(Registry, EachOpenOfTheRootReadsTheFileAgain) {
  ScopedRegFile file(productFile());
  HKEY software = nullptr, old = nullptr;
  ASSERT_EQ(RegOpenKeyA(HKEY_LOCAL_MACHINE, "Software", &software), 0);
  ASSERT_EQ(RegOpenKeyA(software, "Quendrix\\Pellmoor", &old), 0);

  ASSERT_TRUE(file.rewrite("REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\Software\\Quendrix\\Pellmoor]\r\n"
                           "\"Install Dir\"=\"D:\\\\New\"\r\n"));
  HKEY fresh = openProductKey();
  ASSERT_NE(fresh, nullptr);
  EXPECT_EQ(queryText(fresh, "Install Dir"), "D:\\New");
  // Keys opened before, and keys opened under them, keep their reading.
  EXPECT_EQ(queryText(old, "Install Dir"), "C:\\Games\\Pellmoor");
  HKEY fromOld = nullptr;
  ASSERT_EQ(RegOpenKeyA(software, "Quendrix\\Pellmoor", &fromOld), 0);
  EXPECT_EQ(queryText(fromOld, "Install Dir"), "C:\\Games\\Pellmoor");
  RegCloseKey(software);
  EXPECT_EQ(queryText(fromOld, "S127"), std::string(127, 'a'));

  // Another file named by the variable, then none.
  ASSERT_TRUE(writeFile(file.dir() / "other.reg", "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\Other]\r\n"));
  setenv(ScopedRegFile::kVariable, file.posixPath("other.reg").c_str(), 1);
  HKEY other = nullptr;
  EXPECT_EQ(RegOpenKeyA(HKEY_LOCAL_MACHINE, "Other", &other), 0);
  EXPECT_EQ(RegOpenKeyA(HKEY_LOCAL_MACHINE, "Software", &software), ERROR_FILE_NOT_FOUND);
  unsetenv(ScopedRegFile::kVariable);
  EXPECT_EQ(queryText(fresh, "Install Dir"), "D:\\New");
  for (HKEY key : {old, fresh, fromOld, other}) EXPECT_EQ(RegCloseKey(key), 0);
}

TEST(Registry, NoKeysWithoutAReadableWellFormedFile) {
  ScopedRegFile file(productFile());
  ASSERT_TRUE(makeDirectory(file.dir() / "dir.reg"));
  ASSERT_TRUE(writeFile(file.dir() / "bad.reg", productFile() + "\"Broken\"=\"\r\n"));
  ASSERT_TRUE(writeFile(file.dir() / "empty.reg", ""));
  struct Row {
    const char* what;
    const char* file;  // null: the variable unset
  };
  const Row rows[] = {
      {"unset", nullptr}, {"empty variable", ""},   {"missing file", "missing.reg"},
      {"directory", "dir.reg"}, {"malformed", "bad.reg"}, {"empty file", "empty.reg"},
  };
  size_t openBefore = registryOpenKeyCount();
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    if (!row.file) {
      unsetenv(ScopedRegFile::kVariable);
    } else {
      setenv(ScopedRegFile::kVariable, *row.file ? file.posixPath(row.file).c_str() : "", 1);
    }
    HKEY key = madeUpHandle();
    EXPECT_EQ(RegOpenKeyA(HKEY_LOCAL_MACHINE, "Software", &key), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(key, nullptr);
    EXPECT_EQ(RegQueryValueExA(HKEY_LOCAL_MACHINE, nullptr, nullptr, nullptr, nullptr, nullptr),
              ERROR_FILE_NOT_FOUND);
  }
  EXPECT_EQ(registryOpenKeyCount(), openBefore);
}

TEST(Registry, ValuesOfTheRootKey) {
  ScopedRegFile file("REGEDIT4\n[HKEY_LOCAL_MACHINE]\n\"Root\"=\"r\"\n");
  EXPECT_EQ(queryText(HKEY_LOCAL_MACHINE, "root"), "r");
}
