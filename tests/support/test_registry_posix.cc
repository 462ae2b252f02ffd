// The test registry on POSIX: a .reg file named by HKLM_REG_FILE.
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include "test_registry.h"

namespace {

std::string quoted(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '\\' || c == '"') out.push_back('\\');
    out.push_back(c);
  }
  return out + "\"";
}

std::string hexList(const std::string& bytes) {
  std::string out;
  char digits[4];
  for (size_t i = 0; i < bytes.size(); ++i) {
    snprintf(digits, sizeof digits, "%02x", static_cast<unsigned char>(bytes[i]));
    if (i) out += ",";
    out += digits;
  }
  return out;
}

}  // namespace

ScopedTestRegistry::ScopedTestRegistry(bool present, const std::vector<std::string>& keys,
                                       const std::vector<TestRegistryValue>& values) {
  char path[] = "/tmp/pellmoor-test-reg-XXXXXX";
  int fd = mkstemp(path);
  if (fd < 0) return;
  file_ = path;
  std::string text = "Windows Registry Editor Version 5.00\r\n\r\n";
  if (present) {
    std::string key = "HKEY_LOCAL_MACHINE\\Software\\Quendrix";
    for (const std::string& k : keys) key += "\\" + k;
    text += "[" + key + "]\r\n";
    for (const TestRegistryValue& value : values) {
      text += quoted(value.name) + "=";
      if (value.type == 1) {
        text += quoted(value.data);
      } else if (value.type == 4) {
        char digits[16];
        unsigned number = static_cast<unsigned char>(value.data[0]) | static_cast<unsigned char>(value.data[1]) << 8 |
                          static_cast<unsigned char>(value.data[2]) << 16 |
                          static_cast<unsigned>(static_cast<unsigned char>(value.data[3])) << 24;
        snprintf(digits, sizeof digits, "dword:%08x", number);
        text += digits;
      } else {
        // Version 5 files hold REG_EXPAND_SZ as UTF-16LE with its NUL.
        std::string wide;
        for (char c : value.data + std::string(1, '\0')) {
          wide.push_back(c);
          wide.push_back('\0');
        }
        text += "hex(" + std::to_string(value.type) + "):" + hexList(wide);
      }
      text += "\r\n";
    }
  }
  bool written = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
  close(fd);
  valid_ = written && setenv("HKLM_REG_FILE", file_.c_str(), 1) == 0;
}

ScopedTestRegistry::~ScopedTestRegistry() {
  unsetenv("HKLM_REG_FILE");
  if (!file_.empty()) unlink(file_.c_str());
}
