// The .reg file reader: encoding and header first, then one line at a time.
#include "reg_file.h"

#include <stdint.h>

#include <vector>

#include "win_registry.h"

namespace {

constexpr std::string_view kVersion5Header = "Windows Registry Editor Version 5.00";
constexpr std::string_view kVersion4Header = "REGEDIT4";
constexpr std::string_view kMachineRoot = "HKEY_LOCAL_MACHINE";
constexpr std::string_view kOtherRoots[] = {"HKEY_CURRENT_USER", "HKEY_CLASSES_ROOT", "HKEY_USERS",
                                            "HKEY_CURRENT_CONFIG", "HKEY_DYN_DATA"};

// Windows' own limits: key nesting and the length of one key name.
constexpr size_t kMaxDepth = 512;
constexpr size_t kMaxKeyNameLength = 255;

// The characters of Windows-1252 at 0x80 to 0x9F; the rest of the code page
// is Latin-1. The five unassigned bytes stand for the C1 controls, as in
// Wine's table, so that every byte survives a round trip.
constexpr uint16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool equalNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
  }
  return true;
}

bool startsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// The value of one hex digit, or -1.
int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The ANSI byte for one UTF-16 code unit; '?' when it has none.
char ansiFromUtf16(uint16_t unit) {
  if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) return static_cast<char>(unit);
  for (size_t i = 0; i < 32; ++i) {
    if (kCp1252High[i] == unit) return static_cast<char>(0x80 + i);
  }
  return '?';
}

// UTF-16LE bytes as ANSI text, one byte per code unit; an odd last byte is
// dropped.
std::string ansiFromUtf16Bytes(std::string_view bytes) {
  std::string text;
  text.reserve(bytes.size() / 2);
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    uint16_t unit = static_cast<uint16_t>(static_cast<unsigned char>(bytes[i]) |
                                          static_cast<unsigned char>(bytes[i + 1]) << 8);
    text.push_back(ansiFromUtf16(unit));
  }
  return text;
}

// A read position in one line.
struct Cursor {
  std::string_view line;
  size_t at = 0;

  bool atEnd() const { return at >= line.size(); }
  char peek() const { return atEnd() ? '\0' : line[at]; }
  void skipBlanks() {
    while (!atEnd() && isBlank(line[at])) ++at;
  }
  // Skips `word` when the line continues with it; false otherwise.
  bool skip(std::string_view word) {
    if (!startsWith(line.substr(at), word)) return false;
    at += word.size();
    return true;
  }
  // True when only blanks, and perhaps a comment, are left.
  bool onlyTrailerLeft() {
    skipBlanks();
    return atEnd() || peek() == ';';
  }
};

// Reads a quoted text whose opening quote is already consumed, up to and
// including its closing quote. False when that quote is missing or an escape
// is not \\ or \".
bool readQuoted(Cursor* c, std::string* out) {
  while (!c->atEnd()) {
    char ch = c->line[c->at++];
    if (ch == '"') return true;
    if (ch == '\\') {
      if (c->atEnd()) return false;
      ch = c->line[c->at++];
      if (ch != '\\' && ch != '"') return false;
    }
    out->push_back(ch);
  }
  return false;
}

// Reads 1 to `maxDigits` hex digits into `value`. False when there are none
// or more.
bool readHexNumber(Cursor* c, size_t maxDigits, uint32_t* value) {
  size_t digits = 0;
  *value = 0;
  while (!c->atEnd() && hexValue(c->peek()) >= 0) {
    if (++digits > maxDigits) return false;
    *value = *value << 4 | static_cast<uint32_t>(hexValue(c->line[c->at++]));
  }
  return digits > 0;
}

class Parser {
 public:
  Parser(std::string_view text, bool utf16, RegKey* root) : text_(text), utf16_(utf16), root_(root) {}

  // Reads the whole text into the root. False when it is malformed.
  bool run() {
    std::string_view line;
    if (!nextLine(&line)) return false;
    Cursor header{line};
    header.skipBlanks();
    std::string_view version = line.substr(header.at);
    if (version == kVersion5Header) {
      version5_ = true;
    } else if (version != kVersion4Header) {
      return false;
    }
    while (nextLine(&line)) {
      Cursor c{line};
      c.skipBlanks();
      if (c.atEnd() || c.peek() == ';') continue;
      bool ok;
      if (c.peek() == '[') {
        ++c.at;
        ok = parseSection(&c);
      } else if (c.peek() == '@' || c.peek() == '"') {
        ok = parseValue(&c);
      } else {
        ok = false;
      }
      if (!ok) return false;
    }
    return true;
  }

 private:
  // The next line without its end; false at the end of the text.
  bool nextLine(std::string_view* line) {
    if (next_ >= text_.size()) return false;
    size_t end = text_.find_first_of("\r\n", next_);
    if (end == std::string_view::npos) end = text_.size();
    *line = text_.substr(next_, end - next_);
    next_ = end + 1;
    if (end < text_.size() && text_[end] == '\r' && next_ < text_.size() && text_[next_] == '\n') ++next_;
    return true;
  }

  // "[path]" or "[-path]", the '[' consumed.
  bool parseSection(Cursor* c) {
    std::string_view rest = c->line.substr(c->at);
    size_t close = rest.rfind(']');
    if (close == std::string_view::npos) return false;
    Cursor after{rest, close + 1};
    if (!after.onlyTrailerLeft()) return false;
    std::string_view path = rest.substr(0, close);
    bool remove = !path.empty() && path[0] == '-';
    if (remove) path.remove_prefix(1);

    size_t slash = path.find('\\');
    std::string_view rootName = path.substr(0, slash);
    std::vector<std::string_view> levels;
    while (slash != std::string_view::npos) {
      size_t start = slash + 1;
      slash = path.find('\\', start);
      std::string_view level = path.substr(start, slash == std::string_view::npos ? slash : slash - start);
      if (level.empty()) continue;
      if (level.size() > kMaxKeyNameLength || levels.size() == kMaxDepth) return false;
      levels.push_back(level);
    }

    sectionSeen_ = true;
    current_ = nullptr;
    if (!equalNoCase(rootName, kMachineRoot)) {
      for (std::string_view other : kOtherRoots) {
        if (equalNoCase(rootName, other)) return true;
      }
      return false;
    }
    if (remove) {
      if (levels.empty()) return false;
      RegKey* parent = root_;
      for (size_t i = 0; parent && i + 1 < levels.size(); ++i) {
        auto it = parent->subkeys.find(levels[i]);
        parent = it == parent->subkeys.end() ? nullptr : it->second.get();
      }
      if (parent) {
        auto it = parent->subkeys.find(levels.back());
        if (it != parent->subkeys.end()) parent->subkeys.erase(it);
      }
      return true;
    }
    RegKey* key = root_;
    for (std::string_view level : levels) {
      auto it = key->subkeys.find(level);
      if (it == key->subkeys.end()) {
        it = key->subkeys.emplace(std::string(level), std::make_unique<RegKey>()).first;
      }
      key = it->second.get();
    }
    current_ = key;
    return true;
  }

  // `"name"=data` or `@=data`, at the '"' or '@'.
  bool parseValue(Cursor* c) {
    std::string name;
    if (c->line[c->at++] == '"' && !readQuoted(c, &name)) return false;
    if (!sectionSeen_) return false;
    c->skipBlanks();
    if (!c->skip("=")) return false;
    c->skipBlanks();

    RegValue value;
    if (c->skip("\"")) {
      if (!readQuoted(c, &value.data) || !c->onlyTrailerLeft()) return false;
      value.data.push_back('\0');
      value.type = REG_SZ;
    } else if (c->skip("-")) {
      if (!c->onlyTrailerLeft()) return false;
      if (current_) current_->values.erase(name);
      return true;
    } else if (c->skip("dword:")) {
      c->skipBlanks();
      uint32_t number;
      if (!readHexNumber(c, 8, &number) || !c->onlyTrailerLeft()) return false;
      for (int i = 0; i < 4; ++i) value.data.push_back(static_cast<char>(number >> (8 * i) & 0xFF));
      value.type = REG_DWORD;
    } else if (c->skip("hex:")) {
      if (!readHexList(c, &value.data)) return false;
      value.type = REG_BINARY;
    } else if (c->skip("hex(")) {
      uint32_t type;
      if (!readHexNumber(c, 8, &type) || !c->skip("):") || !readHexList(c, &value.data)) return false;
      value.type = type;
      if (type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ) {
        value.data = stringFromHex(value.data);
      }
    } else {
      return false;
    }
    if (current_) current_->values.insert_or_assign(std::move(name), std::move(value));
    return true;
  }

  // A hex list from `c` on, over continuation lines. False when malformed.
  bool readHexList(Cursor* c, std::string* bytes) {
    for (;;) {
      bool continued = false;
      if (!readHexSegment(c, bytes, &continued)) return false;
      if (!continued) return true;
      std::string_view line;
      Cursor next;
      do {
        if (!nextLine(&line)) return false;
        next = Cursor{line};
        next.skipBlanks();
      } while (next.atEnd() || next.peek() == ';');
      *c = next;
    }
  }

  // The part of a hex list on one line. Sets `continued` when it ends in a
  // backslash.
  static bool readHexSegment(Cursor* c, std::string* bytes, bool* continued) {
    for (;;) {
      // At the start of the list, or after a comma.
      c->skipBlanks();
      if (c->atEnd() || c->peek() == ';') return true;
      if (c->skip("\\")) {
        *continued = true;
        return c->onlyTrailerLeft();
      }
      uint32_t byte;
      if (!readHexNumber(c, 2, &byte)) return false;
      bytes->push_back(static_cast<char>(byte));
      c->skipBlanks();
      if (c->atEnd() || c->peek() == ';') return true;
      if (!c->skip(",")) return false;
    }
  }

  // String data given in hex, as the ANSI calls return it.
  std::string stringFromHex(const std::string& bytes) const {
    std::string text = utf16_ || version5_ ? ansiFromUtf16Bytes(bytes) : bytes;
    if (!bytes.empty() && (text.empty() || text.back() != '\0')) text.push_back('\0');
    return text;
  }

  std::string_view text_;
  size_t next_ = 0;
  bool utf16_;
  bool version5_ = false;
  RegKey* root_;
  bool sectionSeen_ = false;
  RegKey* current_ = nullptr;  // the key that takes values; null while skipping
};

}  // namespace

bool RegNameLess::operator()(std::string_view a, std::string_view b) const {
  size_t n = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < n; ++i) {
    unsigned char x = static_cast<unsigned char>(lowerAscii(a[i]));
    unsigned char y = static_cast<unsigned char>(lowerAscii(b[i]));
    if (x != y) return x < y;
  }
  return a.size() < b.size();
}

bool parseRegFile(std::string_view text, RegKey* root) {
  root->values.clear();
  root->subkeys.clear();
  std::string decoded;
  bool utf16 = false;
  if (startsWith(text, "\xFF\xFE")) {
    if (text.size() % 2 != 0) return false;
    decoded = ansiFromUtf16Bytes(text.substr(2));
    text = decoded;
    utf16 = true;
  } else if (startsWith(text, "\xEF\xBB\xBF")) {
    text.remove_prefix(3);
  }
  if (text.find('\0') != std::string_view::npos) return false;
  if (Parser(text, utf16, root).run()) return true;
  root->values.clear();
  root->subkeys.clear();
  return false;
}

const RegKey* findSubkey(const RegKey& key, std::string_view name) {
  auto it = key.subkeys.find(name);
  return it == key.subkeys.end() ? nullptr : it->second.get();
}

const RegValue* findValue(const RegKey& key, std::string_view name) {
  auto it = key.values.find(name);
  return it == key.values.end() ? nullptr : &it->second;
}
