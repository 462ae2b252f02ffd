// The registry calls on POSIX: HKEY_LOCAL_MACHINE read from the .reg file
// named by HKLM_REG_FILE, and a table of the keys that are open. One thread
// only, as the program has.
#include <errno.h>
#include <fcntl.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <map>
#include <memory>
#include <string>

#include "fault.h"
#include "reg_file.h"
#include "registry.h"
#include "win_registry.h"

namespace {

// An open key: the reading of the file it came from, kept alive while the
// key is open, and the key in it.
struct OpenKey {
  std::shared_ptr<const RegKey> snapshot;
  const RegKey* key = nullptr;
};

// The open keys by handle value. Values are never reused, so a closed or a
// made-up handle finds nothing and nothing is ever reached through a handle.
// Keys still open at process exit are freed then; a call after that finds
// no open key.
class OpenKeys {
 public:
  constexpr OpenKeys() = default;
  ~OpenKeys() {
    delete table_;
    table_ = nullptr;
  }
  OpenKeys(const OpenKeys&) = delete;
  OpenKeys& operator=(const OpenKeys&) = delete;

  // Records `key` and returns its new handle.
  HKEY add(OpenKey key) {
    if (!table_) table_ = new std::map<uintptr_t, OpenKey>;
    uintptr_t value = next_;
    next_ += 4;
    table_->emplace(value, std::move(key));
    return reinterpret_cast<HKEY>(value);
  }

  // The open key behind `handle`; null when it is not open.
  const OpenKey* find(HKEY handle) const {
    if (!table_) return nullptr;
    auto it = table_->find(reinterpret_cast<uintptr_t>(handle));
    return it == table_->end() ? nullptr : &it->second;
  }

  // Forgets `handle`. Returns false when it was not open.
  bool remove(HKEY handle) {
    return table_ && table_->erase(reinterpret_cast<uintptr_t>(handle)) == 1;
  }

  size_t count() const { return table_ ? table_->size() : 0; }

 private:
  std::map<uintptr_t, OpenKey>* table_ = nullptr;
  // Handle values look like Windows' own: small multiples of four.
  uintptr_t next_ = 0x100;
};

OpenKeys openKeys;

// Appends the whole content of the regular file `path` to `text`. Returns
// false when it cannot be read.
bool readWholeFile(const char* path, std::string* text) {
  int fd = open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st;
  bool ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  while (ok) {
    size_t used = text->size();
    text->resize(used + 65536);
    ssize_t got = read(fd, &(*text)[used], 65536);
    text->resize(used + (got > 0 ? static_cast<size_t>(got) : 0));
    if (got == 0) break;
    if (got < 0 && errno != EINTR) ok = false;
  }
  close(fd);
  return ok;
}

// HKEY_LOCAL_MACHINE as the file named by HKLM_REG_FILE holds it now: empty
// when the variable is unset or empty, or the file unreadable or malformed.
std::shared_ptr<const RegKey> readMachineKey() {
  auto root = std::make_shared<RegKey>();
  std::string text;
  const char* path = getenv("HKLM_REG_FILE");
  if (path && *path && readWholeFile(path, &text)) parseRegFile(text, root.get());
  return root;
}

// The key behind `handle`, with the reading that holds it. False when
// `handle` is neither HKEY_LOCAL_MACHINE nor open.
bool resolve(HKEY handle, OpenKey* out) {
  if (handle == HKEY_LOCAL_MACHINE) {
    out->snapshot = readMachineKey();
    out->key = out->snapshot.get();
    return true;
  }
  const OpenKey* open = openKeys.find(handle);
  if (!open) return false;
  *out = *open;
  return true;
}

// Follows `path`, levels separated by backslashes, down from `key` into
// `found`. Returns 0, 161 when the path starts with a backslash, or 2 when a
// level is missing.
LONG walk(const RegKey* key, const char* path, const RegKey** found) {
  if (*path == '\\') return ERROR_BAD_PATHNAME;
  while (*path) {
    size_t n = strcspn(path, "\\");
    if (n > 0) {
      key = findSubkey(*key, std::string_view(path, n));
      if (!key) return ERROR_FILE_NOT_FOUND;
    }
    path += n;
    if (*path) ++path;
  }
  *found = key;
  return ERROR_SUCCESS;
}

}  // namespace

LONG RegOpenKeyA(HKEY parent, LPCSTR subKey, HKEY* result) {
  if (faultShouldFail(FaultCall::RegOpenKey)) {
    if (result) *result = nullptr;
    return ERROR_ACCESS_DENIED;
  }
  if (!result) return ERROR_INVALID_PARAMETER;
  if (!subKey || !*subKey) {
    *result = parent;
    return ERROR_SUCCESS;
  }
  *result = nullptr;
  OpenKey from;
  if (!resolve(parent, &from)) return ERROR_INVALID_HANDLE;
  const RegKey* key = nullptr;
  LONG status = walk(from.key, subKey, &key);
  if (status != ERROR_SUCCESS) return status;
  *result = openKeys.add(OpenKey{std::move(from.snapshot), key});
  return ERROR_SUCCESS;
}

LONG RegQueryValueExA(HKEY key, LPCSTR valueName, LPDWORD reserved, LPDWORD type, LPBYTE data,
                      LPDWORD size) {
  if (faultShouldFail(FaultCall::RegQueryValue)) return ERROR_ACCESS_DENIED;
  if ((data && !size) || reserved) return ERROR_INVALID_PARAMETER;
  OpenKey from;
  if (!resolve(key, &from)) return ERROR_INVALID_HANDLE;
  DWORD room = size ? *size : 0;
  // What Windows reports for a missing value.
  if (!data && size) *size = 0;
  if (type) *type = REG_NONE;
  const RegValue* value = findValue(*from.key, valueName ? valueName : "");
  if (!value) return ERROR_FILE_NOT_FOUND;
  DWORD needed = static_cast<DWORD>(value->data.size());
  LONG status = ERROR_SUCCESS;
  if (data) {
    if (needed > room) {
      status = ERROR_MORE_DATA;
    } else {
      memcpy(data, value->data.data(), needed);
    }
  }
  if (type) *type = value->type;
  if (size) *size = needed;
  return status;
}

LONG RegCloseKey(HKEY key) {
  if (key == HKEY_LOCAL_MACHINE) return ERROR_SUCCESS;
  return openKeys.remove(key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

size_t registryOpenKeyCount() { return openKeys.count(); }
