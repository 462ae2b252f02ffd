// Reading a registry export (.reg file) into an in-memory tree of the keys
// under HKEY_LOCAL_MACHINE. Pure functions: text in, tree out; no file
// system, no global state.
//
// The format, as regedit writes and imports it:
// - The first line is "Windows Registry Editor Version 5.00" or "REGEDIT4"
//   (leading blanks allowed). The text may start with a UTF-8 byte order mark,
//   or be UTF-16LE with its byte order mark; UTF-16 text is turned into ANSI
//   (Windows-1252) first, a character that has no ANSI form becoming '?'.
//   ANSI text is kept byte for byte.
// - Lines end in CR LF, LF or CR. Blank lines and lines starting with ';' are
//   skipped; blanks are spaces and tabs, and may lead any line.
// - "[path]" opens the key at `path` ("ROOT\level\level...", empty levels
//   skipped), creating it and the keys above it; "[-path]" deletes that key
//   with everything under it (a missing key is fine). The root names are
//   HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER, HKEY_CLASSES_ROOT, HKEY_USERS,
//   HKEY_CURRENT_CONFIG and HKEY_DYN_DATA, in any letter case; sections of
//   roots other than HKEY_LOCAL_MACHINE, and the values under them, are
//   skipped, and so are values that follow a "[-path]" line. A section seen
//   again adds to and replaces what the key holds.
// - A value line is `"name"=data`, or `@=data` for the default value (so is
//   the name ""), with optional blanks around '='. Names and keys compare
//   without regard to ASCII case; a later value replaces an earlier one.
//   The data is one of:
//     "text"            REG_SZ; inside the quotes \\ is a backslash, \" a quote
//     -                 deletes the value
//     dword:hhhhhhhh    REG_DWORD, 1 to 8 hex digits, stored little-endian
//     hex:hh,hh,...     REG_BINARY
//     hex(t):hh,hh,...  type t (1 to 8 hex digits), e.g. hex(2) REG_EXPAND_SZ
//   A hex list has bytes of 1 or 2 hex digits separated by commas, blanks
//   before each byte, may be empty, and may end in a comma; a line that ends
//   in ",\" (or "hex:\") continues on the next line that is not blank or a
//   comment. Data may be followed by blanks and a ';' comment.
// - String types given in hex (hex(1), hex(2), hex(7)) hold UTF-16LE in a
//   version 5 file or a UTF-16 file, and are turned into ANSI; in a REGEDIT4
//   file they are ANSI bytes already. A NUL is added when the data is not
//   empty and does not end in one; an odd last byte of UTF-16 data is dropped.
//
// Malformed, and so read as holding no keys at all: a missing or other first
// line (also "REGEDIT", "regedit4" or a UTF-16 big-endian mark); a NUL
// character or an odd number of bytes after a UTF-16 mark; a line that is
// neither blank, a comment, a section nor a value line; a section without
// its closing ']' or followed by anything but blanks or a comment, with an
// unknown root, deleting a root itself, deeper than 512 levels or with a
// level name longer than 255 characters; a value line before the first
// section; a name or text without its closing quote, with a backslash before
// anything but '\' or '"', or followed by anything but blanks or a comment; a
// missing '='; any other form of data (such as `DWORD:1`, `str:"x"`, a bare
// word); a dword without digits, with more than 8, or with anything after
// them but blanks or a comment; a hex byte of 3 digits or none, a non-hex
// character, two commas in a row, a backslash not after a comma, or a
// continuation with no line after it.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "win_types.h"

// Orders names by their ASCII-lowercased bytes, so that names differing only
// in letter case are one name.
struct RegNameLess {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const;
};

// One value: its type and its data as the ANSI calls return it (for string
// types, ANSI text with its terminating NUL).
struct RegValue {
  DWORD type = 0;
  std::string data;
};

// One key: its values by name ("" is the default value) and its subkeys by
// name, each map holding the spelling that first created the entry.
struct RegKey {
  std::map<std::string, RegValue, RegNameLess> values;
  std::map<std::string, std::unique_ptr<RegKey>, RegNameLess> subkeys;
};

// Reads `text`, the whole content of a .reg file, into `root` (the key
// HKEY_LOCAL_MACHINE, emptied first). Returns false, leaving `root` empty,
// when the text is malformed as described above.
bool parseRegFile(std::string_view text, RegKey* root);

// The subkey `name` of `key`, compared without regard to ASCII case; null
// when there is none.
const RegKey* findSubkey(const RegKey& key, std::string_view name);

// The value `name` of `key` ("" for the default value), compared without
// regard to ASCII case; null when there is none.
const RegValue* findValue(const RegKey& key, std::string_view name);
