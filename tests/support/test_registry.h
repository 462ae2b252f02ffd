// The registry as tests need it in both builds: HKLM\Software\Quendrix
// made to hold given values for the life of one object, and removed after.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

struct TestRegistryValue {
  std::string name;
  uint32_t type;      // 1 REG_SZ, 2 REG_EXPAND_SZ, 4 REG_DWORD
  std::string data;   // the text (REG_SZ, REG_EXPAND_SZ) or 4 bytes (REG_DWORD)
};

class ScopedTestRegistry {
 public:
  // Makes HKLM\Software\Quendrix hold exactly the key path `keys` below it
  // (e.g. {"Pellmoor"}; empty: Quendrix alone; `present` false: no Quendrix
  // key at all) with `values` in the innermost key.
  ScopedTestRegistry(bool present, const std::vector<std::string>& keys,
                     const std::vector<TestRegistryValue>& values);
  // Removes HKLM\Software\Quendrix again.
  ~ScopedTestRegistry();
  ScopedTestRegistry(const ScopedTestRegistry&) = delete;
  ScopedTestRegistry& operator=(const ScopedTestRegistry&) = delete;

  bool valid() const { return valid_; }

 private:
  bool valid_ = false;
  std::string file_;
};

inline TestRegistryValue regString(const std::string& name, const std::string& text) { return {name, 1, text}; }
inline TestRegistryValue regExpand(const std::string& name, const std::string& text) { return {name, 2, text}; }
inline TestRegistryValue regDword(const std::string& name, uint32_t value) {
  return {name, 4, std::string(reinterpret_cast<const char*>(&value), 4)};
}
