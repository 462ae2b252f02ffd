// Making a manifest by walking a tree through the platform's file search.
#include "manifest_make.h"

#include <string.h>

#include <algorithm>

#include "containment.h"
#include "disk_name.h"
#include "platform.h"
#include "text_escape.h"
#include "tool_paths.h"
#include "wildcard.h"

namespace {

// The longest path the ANSI file calls accept (MAX_PATH less the NUL).
constexpr size_t kAnsiPathLimit = 259;
constexpr size_t kNormalSize = 2048;

struct FoundName {
  std::string name;
  bool directory;
  bool link;
};

char foldChar(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string folded(std::string text) {
  for (char& c : text) c = foldChar(c);
  return text;
}

std::string normalised(const std::string& path) {
  char normal[kNormalSize];
  return normaliseWindowsPath(path.c_str(), normal, sizeof normal) ? std::string(normal) : std::string();
}

// Names without regard to ASCII case, then byte by byte: the same order on
// every machine and file system.
bool orderedBefore(const FoundName& a, const FoundName& b) {
  std::string foldedA = folded(a.name);
  std::string foldedB = folded(b.name);
  return foldedA != foldedB ? foldedA < foldedB : a.name < b.name;
}

// Reads the names in `directory` (ending in a backslash), "." and ".."
// left out. Returns false when it cannot be read.
bool listDirectory(const std::string& directory, std::vector<FoundName>& names) {
  std::string pattern = directory + "*";
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(pattern.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  do {
    if (strcmp(found.cFileName, ".") == 0 || strcmp(found.cFileName, "..") == 0) continue;
    names.push_back(FoundName{found.cFileName, (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                              (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0});
  } while (FindNextFileA(search, &found));
  FindClose(search);
  std::sort(names.begin(), names.end(), orderedBefore);
  return true;
}

// Why `name` cannot stand in a manifest entry; null when it can.
const char* whyRefused(const std::string& name) {
  for (char c : name) {
    unsigned char byte = static_cast<unsigned char>(c);
    if (c == '\r' || c == '\n') return "holds a line end (CR or LF), which would cut its line";
    if (byte < 0x20 || byte == 0x7F) return "holds a control character";
    if (byte > 0x7F) return "holds bytes above 0x7F, whose meaning depends on the ANSI code page";
    if (c == ':') return "holds a colon, which the uninstaller reads as a drive or a stream";
    if (c == '\\') return "holds a backslash, which separates names on Windows";
    if (strchr("\"*<>?|", c)) return "holds a character that Windows does not allow in names";
  }
  if (!name.empty() && (name.back() == '.' || name.back() == ' ')) {
    return "ends in a dot or a blank, which Windows strips, so another name would be deleted";
  }
  if (isReservedDeviceName(name.c_str())) return "is a reserved device name, which Windows does not open as a file";
  return nullptr;
}

class Maker {
 public:
  // `prefixLength`: the length of the tree's own entry, before every other.
  Maker(const MakeOptions& options, MakeResult& result, const std::string& manifestDirectory, size_t prefixLength)
      : options_(options), result_(result), manifestDirectory_(manifestDirectory), prefixLength_(prefixLength) {
    if (!options.manifestPath.empty()) manifestKey_ = folded(normalised(options.manifestPath));
  }

  // Lists the directory `directory` (a full path ending in a backslash)
  // whose entry prefix is `relative` (empty, or ending in a backslash):
  // its files, then each directory followed by what lies inside it.
  void walk(const std::string& directory, const std::string& relative) {
    std::vector<FoundName> names;
    if (!listDirectory(directory, names)) {
      refuse(relative.empty() ? "." : relative, "cannot be read");
      return;
    }
    for (const FoundName& found : names) {
      if (found.directory) continue;
      std::string entry = relative + found.name;
      if (excluded(found.name, entry)) continue;
      if (!manifestKey_.empty() && folded(normalised(directory + found.name)) == manifestKey_) continue;
      // Another manifest: the uninstaller replays it, and it deletes itself.
      if (!found.link && wildcardMatch("*.rmp", found.name.c_str())) continue;
      if (!accepts(found, entry)) continue;
      result_.text += entry + "\n";
      ++result_.files;
    }
    for (const FoundName& found : names) {
      if (!found.directory) continue;
      std::string entry = relative + found.name + "\\";
      if (excluded(found.name, entry.substr(0, entry.size() - 1))) continue;
      if (!accepts(found, entry)) continue;
      result_.text += entry + "\n";
      ++result_.directories;
      walk(directory + found.name + "\\", entry);
    }
  }

  // Whether the entry `entry` for `found` can be written; refuses it when not.
  bool accepts(const FoundName& found, const std::string& entry) {
    if (found.link) return refuse(entry, "is a link: the uninstaller never deletes a link or anything through one");
    if (const char* why = whyRefused(found.name)) return refuse(entry, why);
    std::string joined = manifestDirectory_ + entry;
    if (joined.size() > kAnsiPathLimit) {
      return refuse(entry, "its path is " + std::to_string(joined.size()) +
                               " characters long: Windows' ANSI file calls refuse more than 259");
    }
    if (!isPlainRelativeEntry(entry.c_str())) return refuse(entry, "the uninstaller would refuse it");
    return true;
  }

  bool refuse(const std::string& entry, const std::string& why) {
    result_.refused.push_back(visibleText(entry) + ": " + why);
    return false;
  }

 private:
  // Whether `name`, whose entry is `entry` (no trailing backslash), is left
  // out: patterns with a separator see the path relative to the tree.
  bool excluded(const std::string& name, const std::string& entry) const {
    std::string relative = entry.substr(prefixLength_);
    for (const std::string& pattern : options_.excludes) {
      std::string wanted = pattern;
      std::replace(wanted.begin(), wanted.end(), '/', '\\');
      bool wholePath = wanted.find('\\') != std::string::npos;
      if (wildcardMatch(wanted.c_str(), wholePath ? relative.c_str() : name.c_str())) return true;
    }
    return false;
  }

  const MakeOptions& options_;
  MakeResult& result_;
  std::string manifestDirectory_;
  size_t prefixLength_;
  std::string manifestKey_;
};

}  // namespace

void makeManifest(const MakeOptions& options, MakeResult& result) {
  result = MakeResult();
  std::string tree = options.tree;
  if (tree.empty() || tree.back() != '\\') tree.push_back('\\');
  DWORD attributes = pathAttributes(tree);
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    result.trouble = "no such directory";
    return;
  }
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    result.trouble = "not a directory";
    return;
  }
  std::string manifestDirectory = options.manifestPath.empty() ? tree : directoryOf(options.manifestPath);
  std::string normalTree = normalised(tree);
  std::string normalDirectory = normalised(manifestDirectory);
  if (normalTree.empty() || normalDirectory.empty() ||
      !isInsideNormalisedRoot(folded(normalDirectory).c_str(), folded(normalTree).c_str(), true)) {
    result.trouble = "the manifest must lie in the tree or in a directory above it";
    return;
  }

  // A tree below the manifest's directory is listed itself, first.
  std::string prefix;
  if (normalTree.size() > normalDirectory.size()) {
    size_t start = normalDirectory.size();
    if (normalDirectory.back() != '\\') ++start;
    prefix = normalTree.substr(start) + "\\";
  }
  Maker maker(options, result, manifestDirectory, prefix.size());
  if (!prefix.empty()) {
    size_t begin = 0;
    for (size_t end = prefix.find('\\'); end != std::string::npos; begin = end + 1, end = prefix.find('\\', begin)) {
      if (const char* why = whyRefused(prefix.substr(begin, end - begin))) {
        maker.refuse(prefix, why);
        return;
      }
    }
    result.text += prefix + "\n";
    ++result.directories;
  }
  maker.walk(tree, prefix);
}
