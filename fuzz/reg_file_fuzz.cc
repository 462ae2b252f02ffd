// libFuzzer target for the .reg reader: any bytes parse without a crash, a
// malformed text leaves no keys, and the result does not depend on the tree
// handed in.
#include <stdint.h>
#include <stdlib.h>

#include <string_view>

#include "reg_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  RegKey root;
  bool ok = parseRegFile(text, &root);
  if (!ok && (!root.values.empty() || !root.subkeys.empty())) abort();
  RegKey filled;
  filled.values[""] = RegValue{1, std::string("x", 2)};
  filled.subkeys["Left"] = std::make_unique<RegKey>();
  if (parseRegFile(text, &filled) != ok) abort();
  if (filled.values.size() != root.values.size() || filled.subkeys.size() != root.subkeys.size()) abort();
  return 0;
}
