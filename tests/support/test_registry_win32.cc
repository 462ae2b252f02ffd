// The test registry on Windows: the real HKEY_LOCAL_MACHINE.
#include <windows.h>

#include "test_registry.h"

ScopedTestRegistry::ScopedTestRegistry(bool present, const std::vector<std::string>& keys,
                                       const std::vector<TestRegistryValue>& values) {
  RegDeleteTreeA(HKEY_LOCAL_MACHINE, "Software\\Quendrix");
  if (!present) {
    valid_ = true;
    return;
  }
  std::string path = "Software\\Quendrix";
  for (const std::string& key : keys) path += "\\" + key;
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
      ERROR_SUCCESS) {
    return;
  }
  valid_ = true;
  for (const TestRegistryValue& value : values) {
    std::string data = value.data;
    if (value.type != REG_DWORD) data.push_back('\0');
    if (RegSetValueExA(key, value.name.c_str(), 0, value.type, reinterpret_cast<const BYTE*>(data.data()),
                       static_cast<DWORD>(data.size())) != ERROR_SUCCESS) {
      valid_ = false;
    }
  }
  RegCloseKey(key);
}

ScopedTestRegistry::~ScopedTestRegistry() { RegDeleteTreeA(HKEY_LOCAL_MACHINE, "Software\\Quendrix"); }
