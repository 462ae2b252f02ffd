// Test file helpers on Windows, through the wide Win32 calls with the "\\?\"
// prefix so that tests can build trees deeper than the ANSI calls reach.
#include <windows.h>

#include <direct.h>
#include <stdio.h>

#include "test_fs.h"

namespace {

// The "\\?\" form of an absolute path, or the path as it is when relative.
std::wstring longForm(const std::string& path) {
  std::wstring wide;
  for (char c : path) wide.push_back(c == '/' ? L'\\' : static_cast<unsigned char>(c));
  if (wide.size() >= 3 && wide[1] == L':' && wide[2] == L'\\') return L"\\\\?\\" + wide;
  return wide;
}

DWORD attributesOf(const std::string& path) { return GetFileAttributesW(longForm(path).c_str()); }

void removeLongTree(const std::wstring& path) {
  DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  SetFileAttributesW(path.c_str(), attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    DeleteFileW(path.c_str());
    return;
  }
  if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((path + L"\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
      do {
        std::wstring name = data.cFileName;
        if (name != L"." && name != L"..") removeLongTree(path + L"\\" + name);
      } while (FindNextFileW(find, &data));
      FindClose(find);
    }
  }
  RemoveDirectoryW(path.c_str());
}

}  // namespace

ScopedTempDir::ScopedTempDir() {
  savedCwd_ = currentDirectory();
  char base[MAX_PATH + 1];
  DWORD n = GetTempPathA(sizeof base, base);
  if (n == 0 || n > MAX_PATH) return;
  static unsigned counter = 0;
  for (int attempt = 0; attempt < 100; ++attempt) {
    char name[MAX_PATH + 64];
    snprintf(name, sizeof name, "%spellmoor-test-%lu-%u", base, GetCurrentProcessId(), ++counter);
    if (CreateDirectoryA(name, nullptr)) {
      char full[MAX_PATH + 64];
      DWORD m = GetLongPathNameA(name, full, sizeof full);
      path_ = std::string(m > 0 && m < sizeof full ? full : name) + "\\";
      return;
    }
  }
}

ScopedTempDir::~ScopedTempDir() {
  if (!savedCwd_.empty() && _chdir(savedCwd_.c_str()) != 0) perror("ScopedTempDir: chdir back");
  if (!path_.empty()) removeTree(path_.substr(0, path_.size() - 1));
}

std::string currentDirectory() {
  char buffer[4096];
  DWORD n = GetCurrentDirectoryA(sizeof buffer, buffer);
  return n > 0 && n < sizeof buffer ? std::string(buffer) : std::string();
}

bool makeDirectory(const std::string& path) {
  CreateDirectoryW(longForm(path).c_str(), nullptr);
  return isDirectory(path);
}

bool writeFile(const std::string& path, const std::string& bytes) {
  size_t slash = path.find_last_of("\\/");
  if (slash != std::string::npos && slash > 2) makeDirectories(path.substr(0, slash));
  HANDLE file = CreateFileW(longForm(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  BOOL ok = bytes.empty() || WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  return ok && written == bytes.size();
}

std::string readFile(const std::string& path) {
  HANDLE file = CreateFileW(longForm(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::string();
  std::string out;
  char buffer[4096];
  DWORD n = 0;
  while (ReadFile(file, buffer, sizeof buffer, &n, nullptr) && n > 0) out.append(buffer, n);
  CloseHandle(file);
  return out;
}

bool pathExists(const std::string& path) { return attributesOf(path) != INVALID_FILE_ATTRIBUTES; }

bool isDirectory(const std::string& path) {
  DWORD attributes = attributesOf(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool setReadOnly(const std::string& path, bool readOnly) {
  DWORD attributes = attributesOf(path);
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  attributes = readOnly ? (attributes | FILE_ATTRIBUTE_READONLY) : (attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
  return SetFileAttributesW(longForm(path).c_str(), attributes) != 0;
}

bool makeDirectoryLink(const std::string& target, const std::string& link) {
  if (CreateSymbolicLinkW(longForm(link).c_str(), longForm(target).c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY) &&
      isDirectory(link)) {
    return true;
  }
  // Wine 8 reports success and makes nothing: there the host's ln makes it.
  using UnixName = char* (*)(const wchar_t*);
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  FARPROC proc = kernel ? GetProcAddress(kernel, "wine_get_unix_file_name") : nullptr;
  if (!proc) return false;
  UnixName unixName = reinterpret_cast<UnixName>(reinterpret_cast<void*>(proc));
  std::wstring wideTarget(target.begin(), target.end()), wideLink(link.begin(), link.end());
  char* from = unixName(wideTarget.c_str());
  char* to = unixName(wideLink.c_str());
  std::string command;
  if (from && to) command = std::string("ln -s \"") + from + "\" \"" + to + "\"";
  HeapFree(GetProcessHeap(), 0, from);
  HeapFree(GetProcessHeap(), 0, to);
  if (command.empty()) return false;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA("Z:\\bin\\ln", &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    return false;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  // Wine does not wait for a host process: look for the link instead.
  for (int i = 0; i < 500 && !isDirectory(link); ++i) Sleep(10);
  return isDirectory(link);
}

void removeTree(const std::string& path) { removeLongTree(longForm(path)); }

namespace {

void listLongTree(const std::wstring& path, const std::string& relative, std::set<std::string>* out) {
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((path + L"\\*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    std::wstring wide = data.cFileName;
    if (wide == L"." || wide == L"..") continue;
    std::string name;
    for (wchar_t c : wide) name.push_back(static_cast<char>(c));
    if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
      out->insert(relative + name + "\\");
      listLongTree(path + L"\\" + wide, relative + name + "\\", out);
    } else {
      out->insert(relative + name + ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? "\\" : ""));
    }
  } while (FindNextFileW(find, &data));
  FindClose(find);
}

}  // namespace

std::set<std::string> listTree(const std::string& root) {
  std::set<std::string> out;
  std::string trimmed = root;
  while (trimmed.size() > 3 && (trimmed.back() == '\\' || trimmed.back() == '/')) trimmed.pop_back();
  listLongTree(longForm(trimmed), "", &out);
  return out;
}
