// The manifest check, over the uninstaller's line reader and line cutting.
#include "manifest_check.h"

#include <string.h>

#include <unordered_map>
#include <utility>

#include "containment.h"
#include "disk_name.h"
#include "line_reader.h"
#include "manifest_line.h"
#include "platform.h"
#include "text_escape.h"
#include "tool_paths.h"
#include "wildcard.h"

namespace {

// The replay's own sizes: its line buffer and its joined-path buffer.
constexpr int kLineSize = 1024;
constexpr size_t kPathSize = 1024;
constexpr size_t kLongestPiece = kLineSize - 1;
// The longest path the ANSI file calls accept (MAX_PATH less the NUL).
constexpr size_t kAnsiPathLimit = 259;
constexpr size_t kNormalSize = 2048;
// Filled into the line buffer before each read; see pieceLength.
constexpr char kUnwritten = static_cast<char>(0xFF);

std::string folded(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

std::string normalised(const std::string& path) {
  char normal[kNormalSize];
  return normaliseWindowsPath(path.c_str(), normal, sizeof normal) ? std::string(normal) : std::string();
}

// An entry as a message shows it: quoted, control bytes visible, a long one
// shortened in the middle.
std::string quoted(const std::string& entry) {
  std::string shown = visibleText(entry);
  if (shown.size() > 64) shown = shown.substr(0, 30) + "..." + shown.substr(shown.size() - 30);
  return "'" + shown + "'";
}

// Why an entry is not a plain relative path, in words.
const char* whyNotPlain(const char* entry) {
  auto separator = [](char c) { return c == '\\' || c == '/'; };
  if (separator(entry[0]) && separator(entry[1])) return "it starts with two separators";
  if (strchr(entry, ':')) return "it holds a colon: a drive or a stream";
  for (const char* p = entry; *p; ++p) {
    unsigned char byte = static_cast<unsigned char>(*p);
    if (byte < 0x20 || byte == 0x7F) return "it holds a control character";
  }
  return "a name in it ends in a dot or a blank";
}

// The first component of `entry` that Windows reads as a device ("CON",
// "nul.txt", "COM1"), up to its first dot; empty when there is none.
std::string deviceComponent(const char* entry) {
  for (const char* start = entry; *start;) {
    if (isReservedDeviceName(start)) return std::string(start, strcspn(start, "./\\"));
    start += strcspn(start, "/\\");
    start += strspn(start, "/\\");
  }
  return std::string();
}

// gzgets writes the piece and a NUL after it, and leaves the rest of the
// buffer as it was. With the buffer filled with kUnwritten beforehand, the
// last NUL in it ends the piece, so NUL bytes inside the piece are counted.
size_t pieceLength(const char* buffer) {
  size_t end = kLineSize;
  while (end > 0 && buffer[end - 1] != '\0') --end;
  return end > 0 ? end - 1 : 0;
}

class Checker {
 public:
  Checker(const std::string& path, const CheckOptions& options, CheckReport& report)
      : options_(options), report_(report), directory_(directoryOf(path)) {
    normalDirectory_ = folded(normalised(directory_));
    normalManifest_ = folded(normalised(path));
  }

  // Takes one piece as the reader delivered it (`length` bytes).
  void piece(char* buffer, size_t length) {
    bool endsLine = length > 0 && buffer[length - 1] == '\n';
    size_t content = endsLine ? length - 1 : length;
    // Cutting stops at a NUL, so a CR after one does not matter.
    const char* nul = static_cast<const char*>(memchr(buffer, '\0', content));
    size_t used = nul ? static_cast<size_t>(nul - buffer) : content;
    if (nul && !nulColumn_) nulColumn_ = lineLength_ + used + 1;
    noteCarriageReturns(buffer, used);

    // A piece that fills the buffer, or one after it, belongs to a line too
    // long for one piece; the long-line finding speaks for its length.
    bool inLongLine = pieces_ > 0 || (!endsLine && content == kLongestPiece);
    char* entry = cutManifestLine(buffer);
    EntryKind kind = classifyEntry(entry);
    if (kind != EntryKind::Empty) {
      ++entries_;
      ++report_.entries;
      checkEntry(entry, kind == EntryKind::Directory, inLongLine);
    }
    lineLength_ += content;
    ++pieces_;
    if (endsLine) endLine();
  }

  // Ends the line in progress, if a piece of it was read. Returns the line
  // that reading stopped in: that one when it had no LF, else the next.
  int finish() {
    if (pieces_ == 0) return line_;
    endLine();
    return line_ - 1;
  }

  int lines() const { return line_ - 1; }

 private:
  void add(Severity severity, const std::string& message) { report_.findings.push_back({line_, severity, message}); }
  void error(const std::string& message) { add(Severity::Error, message); }
  void warning(const std::string& message) { add(Severity::Warning, message); }

  // Counts the entries a CR hides: cutting keeps only what comes before it.
  void noteCarriageReturns(const char* buffer, size_t used) {
    const char* cr = static_cast<const char*>(memchr(buffer, '\r', used));
    if (!cr) return;
    int lost = 0;
    bool inText = false;
    for (const char* p = cr + 1; p < buffer + used; ++p) {
      if (*p == '\r') {
        inText = false;
      } else if (!inText) {
        inText = true;
        ++lost;
      }
    }
    if (lost > 0 && !crColumn_) crColumn_ = lineLength_ + static_cast<size_t>(cr - buffer) + 1;
    lostToCr_ += lost;
  }

  void endLine() {
    if (nulColumn_) {
      error("a NUL byte at column " + std::to_string(nulColumn_) + ": the rest of the line is ignored");
    }
    if (lostToCr_ > 0) {
      error("CR-only line ends: " + std::to_string(lostToCr_) + (lostToCr_ == 1 ? " entry" : " entries") +
            " after the CR at column " + std::to_string(crColumn_) +
            " would be lost (only LF ends a line; of each piece read, what follows its first CR is ignored)");
    }
    if (lineLength_ >= kLongestPiece) {
      std::string length = std::to_string(lineLength_) + " bytes long: ";
      if (entries_ > 1) {
        error(length + "read in pieces of at most 1023 bytes, it becomes " + std::to_string(entries_) + " entries");
      } else {
        error(length + "too long to be joined to any directory, so it is passed over");
      }
    }
    ++line_;
    lineLength_ = 0;
    pieces_ = 0;
    entries_ = 0;
    nulColumn_ = 0;
    crColumn_ = 0;
    lostToCr_ = 0;
  }

  void checkEntry(const char* entry, bool isDirectory, bool inLongLine) {
    std::string text = entry;
    std::string name = quoted(text);
    for (char c : text) {
      if (static_cast<unsigned char>(c) > 0x7F) {
        warning(name + ": bytes above 0x7F: the name they spell depends on the ANSI code page of the player's "
                       "machine");
        break;
      }
    }
    if (!isPlainRelativeEntry(entry)) {
      error(name + ": not a plain relative path (" + whyNotPlain(entry) + "): the uninstaller refuses it");
      return;
    }
    std::string device = deviceComponent(entry);
    if (!device.empty()) {
      warning(name + ": '" + device + "' is a device name to Windows: nothing so named is ever deleted");
    }
    std::string joined = directory_ + text;
    if (joined.size() >= kPathSize) {
      if (!inLongLine) error(name + ": with the manifest's directory it passes 1023 characters: passed over");
      return;
    }
    std::string key = folded(normalised(joined));
    if (key.empty() || !isInsideNormalisedRoot(normalDirectory_.c_str(), key.c_str(), isDirectory)) {
      error(name + (key == normalDirectory_ ? ": names the manifest's own directory as a file"
                                            : ": leaves the manifest's directory: the uninstaller refuses it "
                                              "unless the installation directory holds it"));
      return;
    }
    if (joined.size() > kAnsiPathLimit) {
      warning(name + ": " + std::to_string(joined.size()) +
              " characters long here: Windows' ANSI file calls refuse paths longer than 259");
    }
    auto repeat = seen_.emplace((isDirectory ? "d" : "f") + key, line_);
    if (!repeat.second) warning(name + ": repeats line " + std::to_string(repeat.first->second));
    if (isDirectory) {
      checkDirectoryOrder(name, key);
    } else {
      checkNamesManifest(name, key);
    }
    if (options_.tree) checkOnDisk(name, joined, isDirectory);
  }

  // A directory must come before the directories inside it: they are
  // removed last listed first.
  void checkDirectoryOrder(const std::string& name, const std::string& key) {
    auto inside = above_.find(key);
    if (inside != above_.end()) {
      error(name + ": listed after " + inside->second.first + " (line " + std::to_string(inside->second.second) +
            "), which lies inside it: directories are removed last listed first, so this one would be tried "
            "while that one is still there, and would stay");
    }
    size_t top = normalDirectory_.size();
    if (top > 0 && normalDirectory_[top - 1] == '\\') --top;
    for (size_t i = key.size(); i-- > top;) {
      if (key[i] == '\\') above_.emplace(key.substr(0, i), std::make_pair(name, line_));
    }
  }

  void checkNamesManifest(const std::string& name, const std::string& key) {
    size_t slash = key.rfind('\\');
    std::string fileName = slash == std::string::npos ? key : key.substr(slash + 1);
    if (!wildcardMatch("*.rmp", fileName.c_str())) return;
    if (key == normalManifest_) {
      warning(name + ": names this manifest itself, which the uninstaller deletes after reading it anyway");
    } else {
      warning(name + ": names another manifest: when that one's turn comes after this one, it is deleted unread "
                     "and none of its entries are applied");
    }
  }

  void checkOnDisk(const std::string& name, const std::string& joined, bool isDirectory) {
    DWORD attributes = joined.size() > kAnsiPathLimit ? INVALID_FILE_ATTRIBUTES : pathAttributes(joined);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
      warning(name + ": not found beside the manifest");
    } else if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
      error(name + ": is a link: the uninstaller never deletes a link or anything through one");
    } else if (!isDirectory && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
      error(name + ": is a directory, listed as a file (no trailing backslash): a file deletion never takes a "
                   "directory, so it stays");
    } else if (isDirectory && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
      error(name + ": is a file, listed as a directory (with a trailing backslash): a directory removal never "
                   "takes a file, so it stays");
    }
  }

  const CheckOptions& options_;
  CheckReport& report_;
  std::string directory_;
  std::string normalDirectory_;
  std::string normalManifest_;
  // The first line of each entry, by kind and normalised path.
  std::unordered_map<std::string, int> seen_;
  // Every directory above a listed one, down to the manifest's directory,
  // with the first listed directory below it and its line.
  std::unordered_map<std::string, std::pair<std::string, int>> above_;

  // The line in progress.
  int line_ = 1;
  size_t lineLength_ = 0;
  int pieces_ = 0;
  int entries_ = 0;
  size_t nulColumn_ = 0;
  size_t crColumn_ = 0;
  int lostToCr_ = 0;
};

void checkManifestPath(const std::string& path, CheckReport& report, bool& readAsIs) {
  auto error = [&](const std::string& message) { report.findings.push_back({0, Severity::Error, message}); };
  if (!wildcardMatch("*.rmp", fileNameOf(path).c_str())) {
    error("not named *.rmp: the uninstaller does not take it for a manifest");
  }
  char diskName[kPathSize];
  bool dropped = false;
  encodeDiskName(path.c_str(), diskName, static_cast<int32_t>(sizeof diskName), &dropped);
  readAsIs = dropped || path != diskName;
  if (dropped) {
    error("its disk name would be longer than 1023 characters: the uninstaller never opens it");
  } else if (readAsIs) {
    error(std::string("its path changes under the disk-name encoding: the uninstaller opens ") + diskName +
          " instead, so this file is never read");
  }
}

}  // namespace

void checkManifest(const std::string& path, const CheckOptions& options, CheckReport& report) {
  report = CheckReport();
  bool readAsIs = false;
  checkManifestPath(path, report, readAsIs);

  DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    report.trouble = "is a directory";
    return;
  }
  LineReader reader;
  bool opened;
  if (!readAsIs) {
    opened = reader.open(path.c_str(), 1);
  } else {
    // The uninstaller would open another name; the file itself is read
    // through the same reader all the same, so that its lines are checked.
    reader.stream = openGzFile(path.c_str(), "rb");
    opened = reader.stream != nullptr;
  }
  if (!opened) {
    report.trouble = attributes == INVALID_FILE_ATTRIBUTES ? "no such file" : "cannot be opened";
    return;
  }

  Checker checker(path, options, report);
  char buffer[kLineSize];
  for (;;) {
    memset(buffer, kUnwritten, sizeof buffer);
    if (!reader.readLine(buffer, kLineSize)) break;
    checker.piece(buffer, pieceLength(buffer));
  }
  int stoppedIn = checker.finish();
  report.lines = checker.lines();
  if (!reader.close()) {
    report.trouble = "damaged gzip data in line " + std::to_string(stoppedIn) +
                     ": the uninstaller applies what it read before the damage and nothing after";
  }
}

int errorCount(const CheckReport& report) {
  int errors = 0;
  for (const Finding& finding : report.findings) errors += finding.severity == Severity::Error;
  return errors;
}
