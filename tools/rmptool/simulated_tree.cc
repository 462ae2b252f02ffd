// The simulated tree of a plan, read through the platform's own calls.
#include "simulated_tree.h"

#include <string.h>

#include "containment.h"
#include "disk_name.h"
#include "platform.h"
#include "tool_paths.h"

namespace {

// The longest path the ANSI file calls accept (MAX_PATH less the NUL).
constexpr size_t kAnsiPathLimit = 259;
constexpr size_t kKeySize = 2048;

void foldCase(std::string& text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
}

bool isDotName(const char* name) {
  return strcmp(name, ".") == 0 || strcmp(name, "..") == 0;
}

// Windows reads a last name such as "CON" or "nul.txt" as a device, whose
// attributes it reports although nothing deletes it. It is a file only when
// its directory lists a name so spelled (a search for the name itself would
// find the device too).
bool isDeviceOnly(const char* path) {
  std::string bare = path;
  while (!bare.empty() && (bare.back() == '\\' || bare.back() == '/')) bare.pop_back();
  size_t slash = bare.find_last_of("\\/");
  if (slash == std::string::npos) return false;
  std::string name = bare.substr(slash + 1);
  if (!isReservedDeviceName(name.c_str())) return false;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((bare.substr(0, slash + 1) + "*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return true;
  foldCase(name);
  bool listed = false;
  do {
    std::string listedName = found.cFileName;
    foldCase(listedName);
    listed = listedName == name;
  } while (!listed && FindNextFileA(search, &found));
  FindClose(search);
  return !listed;
}

}  // namespace

std::string SimulatedTree::keyOf(const char* path) const {
  char normal[kKeySize];
  if (!normaliseWindowsPath(path, normal, sizeof normal)) return std::string();
  // Wine and Windows know files under their short (8.3) names too; the long
  // form is the one a directory listing shows.
  char longForm[kKeySize];
  char normalLong[kKeySize];
  DWORD length = GetLongPathNameA(normal, longForm, sizeof longForm);
  bool haveLong = length != 0 && length < sizeof longForm &&
                  normaliseWindowsPath(longForm, normalLong, sizeof normalLong);
  std::string key = haveLong ? normalLong : normal;
  foldCase(key);
  return key;
}

bool SimulatedTree::isGoneKey(const std::string& key) const {
  if (key.empty() || gone_.empty()) return false;
  if (gone_.count(key)) return true;
  // A directory above it that was removed takes it along.
  for (size_t i = key.size(); i-- > 0;) {
    if (key[i] == '\\' && gone_.count(key.substr(0, i))) return true;
  }
  return false;
}

bool SimulatedTree::isGone(const char* path) const { return isGoneKey(keyOf(path)); }

std::string SimulatedTree::deleteFile(const char* path) {
  if (strlen(path) > kAnsiPathLimit) return "path too long";
  std::string key = keyOf(path);
  if (isGoneKey(key)) return "missing";
  DWORD attributes = GetFileAttributesA(path);
  if (attributes == INVALID_FILE_ATTRIBUTES) return "missing";
  if (isDeviceOnly(path)) return "a device name";
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return "is a directory";
  // A link to a file goes itself, whatever its target's attributes.
  if ((attributes & FILE_ATTRIBUTE_READONLY) && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return "read-only";
  gone_.insert(key);
  return std::string();
}

std::string SimulatedTree::removeDirectory(const char* path) {
  if (strlen(path) > kAnsiPathLimit) return "path too long";
  std::string key = keyOf(path);
  if (isGoneKey(key)) return "missing";
  DWORD attributes = pathAttributes(path);
  if (attributes == INVALID_FILE_ATTRIBUTES) return "missing";
  if (isDeviceOnly(path)) return "a device name";
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) return "not a directory";

  std::string pattern = path;
  while (!pattern.empty() && (pattern.back() == '\\' || pattern.back() == '/')) pattern.pop_back();
  pattern += "\\*";
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(pattern.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return "cannot be listed";
  std::string prefix = key;
  if (prefix.empty() || prefix.back() != '\\') prefix.push_back('\\');
  bool empty = true;
  do {
    if (isDotName(found.cFileName)) continue;
    std::string child = prefix + found.cFileName;
    foldCase(child);
    if (!gone_.count(child)) empty = false;
  } while (empty && FindNextFileA(search, &found));
  FindClose(search);
  if (!empty) return "not empty";
  gone_.insert(key);
  return std::string();
}
