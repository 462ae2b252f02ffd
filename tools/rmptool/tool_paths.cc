// Full Windows-form paths from command-line arguments.
#include "tool_paths.h"

#include "containment.h"
#include "platform.h"

namespace {

bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

}  // namespace

bool fullWindowsPath(const std::string& path, std::string& out) {
  std::string given = path;
  for (char& c : given) {
    if (c == '/') c = '\\';
  }
  if (given.empty()) return false;
  bool hasDrive = given.size() >= 2 && isLetter(given[0]) && given[1] == ':';
  if (hasDrive) {
    if (given.size() < 3 || given[2] != '\\') return false;
    out = given;
    return true;
  }
  if (given.compare(0, 2, "\\\\") == 0) {
    out = given;
    return true;
  }
  char cwd[1024];
  if (!_getcwd(cwd, sizeof cwd)) return false;
  std::string current = cwd;
  std::string joined;
  if (given[0] == '\\') {
    if (current.size() < 2 || !isLetter(current[0]) || current[1] != ':') return false;
    joined = current.substr(0, 2) + given;
  } else {
    if (current.empty() || current.back() != '\\') current.push_back('\\');
    joined = current + given;
  }
  // What was typed relative to here is resolved here: "." and ".." go.
  char normal[2048];
  if (!normaliseWindowsPath(joined.c_str(), normal, sizeof normal)) return false;
  out = normal;
  if (given.back() == '\\' && out.back() != '\\') out.push_back('\\');
  return true;
}

std::string directoryOf(const std::string& path) {
  size_t slash = path.rfind('\\');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string fileNameOf(const std::string& path) {
  size_t slash = path.rfind('\\');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

DWORD pathAttributes(const std::string& path) {
  std::string bare = path;
  while (bare.size() > 3 && (bare.back() == '\\' || bare.back() == '/')) bare.pop_back();
  return GetFileAttributesA(bare.c_str());
}
