// Reading the installation from the registry.
#include "installation.h"

#include <string.h>

#include "platform.h"

namespace {

// Queries the REG_SZ value `name` of `key` into `out` (at least
// kRegistryValueSize bytes). Returns false, leaving `out` untouched, for any
// other outcome.
bool queryString(HKEY key, const char* name, char* out) {
  char value[kRegistryValueSize];
  DWORD type = 0;
  DWORD size = kRegistryValueSize;
  if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) != ERROR_SUCCESS ||
      type != REG_SZ) {
    return false;
  }
  // Data stored without its NUL gets one; data that fills the whole buffer
  // without one is a value of 128 characters, which is too long.
  if (size >= kRegistryValueSize && value[kRegistryValueSize - 1] != '\0') return false;
  value[size < kRegistryValueSize ? size : kRegistryValueSize - 1] = '\0';
  strcpy(out, value);
  return true;
}

}  // namespace

void readInstallation(Installation& installation) {
  installation.installDir[0] = '\0';
  installation.startMenuFolder[0] = '\0';

  HKEY software = nullptr, publisher = nullptr, product = nullptr;
  if (RegOpenKeyA(HKEY_LOCAL_MACHINE, "Software", &software) == ERROR_SUCCESS &&
      RegOpenKeyA(software, "Quendrix", &publisher) == ERROR_SUCCESS &&
      RegOpenKeyA(publisher, "Pellmoor", &product) == ERROR_SUCCESS) {
    if (queryString(product, "Install Dir", installation.installDir)) {
      size_t length = strlen(installation.installDir);
      if (length > 0 && installation.installDir[length - 1] != '\\') strcat(installation.installDir, "\\");
    }
    queryString(product, "Folder", installation.startMenuFolder);
  }
  // Innermost first.
  if (product) RegCloseKey(product);
  if (publisher) RegCloseKey(publisher);
  if (software) RegCloseKey(software);
}
