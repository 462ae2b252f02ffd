// The .reg reader: each value form, escapes, deletions, merges, letter case,
// encodings, and the malformed files that read as no keys at all.
#include "reg_file.h"

#include <gtest/gtest.h>
#include <stdio.h>

#include <string>
#include <vector>

#include "win_registry.h"

namespace {

// The tree as text: "[path]" for each key below the root (and "[]" for the
// root when it has values), then one "name=type:data" line per value, "@"
// for the default value. String types show their bytes as text, other bytes
// outside printable ASCII as \xHH; other types show hex bytes.
void dumpKey(const RegKey& key, const std::string& path, std::string* out) {
  if (!path.empty() || !key.values.empty()) *out += "[" + path + "]\n";
  for (const auto& [name, value] : key.values) {
    *out += (name.empty() ? "@" : name) + "=" + std::to_string(value.type) + ":";
    bool text = value.type == REG_SZ || value.type == REG_EXPAND_SZ || value.type == REG_MULTI_SZ;
    for (size_t i = 0; i < value.data.size(); ++i) {
      unsigned char b = static_cast<unsigned char>(value.data[i]);
      char hex[8];
      if (text && b >= 0x20 && b < 0x7F) {
        *out += static_cast<char>(b);
      } else {
        snprintf(hex, sizeof hex, text ? "\\x%02x" : (i ? " %02x" : "%02x"), b);
        *out += hex;
      }
    }
    *out += "\n";
  }
  for (const auto& [name, sub] : key.subkeys) {
    dumpKey(*sub, path.empty() ? name : path + "\\" + name, out);
  }
}

std::string dump(const RegKey& root) {
  std::string out;
  dumpKey(root, "", &out);
  return out;
}

const std::string kHeader5 = "Windows Registry Editor Version 5.00\r\n\r\n";
const std::string kHeader4 = "REGEDIT4\r\n\r\n";

// A version 5 file whose `lines` follow the section of key "S".
std::string inS(const std::string& lines) { return kHeader5 + "[HKEY_LOCAL_MACHINE\\S]\r\n" + lines; }

// The same in a REGEDIT4 file.
std::string inS4(const std::string& lines) { return kHeader4 + "[HKEY_LOCAL_MACHINE\\S]\r\n" + lines; }

// `text` as a UTF-16LE file with its byte order mark.
std::string utf16File(const std::u16string& text) {
  std::string bytes = "\xFF\xFE";
  for (char16_t unit : text) {
    bytes.push_back(static_cast<char>(unit & 0xFF));
    bytes.push_back(static_cast<char>(unit >> 8));
  }
  return bytes;
}

// A literal's bytes, NULs included, without its terminating NUL.
template <size_t N>
std::string bytes(const char (&literal)[N]) {
  return std::string(literal, N - 1);
}

struct Row {
  const char* what;
  std::string text;
  const char* expected;  // the dump; null: malformed
};

void checkRows(const std::vector<Row>& rows) {
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    RegKey root;
    bool ok = parseRegFile(row.text, &root);
    if (row.expected) {
      EXPECT_TRUE(ok);
      EXPECT_EQ(dump(root), row.expected);
    } else {
      EXPECT_FALSE(ok);
      EXPECT_EQ(dump(root), "");
    }
  }
}

}  // namespace

TEST(RegFile, ValueForms) {
  checkRows({
      {"string", inS("\"a\"=\"text\"\r\n"), "[S]\na=1:text\\x00\n"},
      {"escapes in name and text", inS(R"("a\"b\\c"="x\\y\"z")"), "[S]\na\"b\\c=1:x\\y\"z\\x00\n"},
      {"empty string", inS("\"e\"=\"\""), "[S]\ne=1:\\x00\n"},
      {"other characters kept as they are", inS("\"s\"=\"x\xe9;[y]=\t\""),
       "[S]\ns=1:x\\xe9;[y]=\\x09\\x00\n"},
      {"default value", inS("@=\"d\""), "[S]\n@=1:d\\x00\n"},
      {"empty name is the default value", inS("\"\"=\"d\"\r\n@=\"e\""), "[S]\n@=1:e\\x00\n"},
      {"blanks and comment", inS("  \"a\" \t=  \"x\"  ; note\r\n"), "[S]\na=1:x\\x00\n"},
      {"dword", inS("\"d\"=dword:0000002a"), "[S]\nd=4:2a 00 00 00\n"},
      {"dword short, upper case", inS("\"d\"=dword:1\r\n\"e\"=dword:ABCDEF01"),
       "[S]\nd=4:01 00 00 00\ne=4:01 ef cd ab\n"},
      {"dword with blanks and comment", inS("\"d\"=dword: 10 ; c"), "[S]\nd=4:10 00 00 00\n"},
      {"binary", inS("\"b\"=hex:01,2,ff"), "[S]\nb=3:01 02 ff\n"},
      {"empty binary", inS("\"b\"=hex:"), "[S]\nb=3:\n"},
      {"binary with blanks, trailing comma", inS("\"b\"=hex: 01, 0a ,ff, ; c"), "[S]\nb=3:01 0a ff\n"},
      {"continued list", inS("\"b\"=hex:01,02,\\\r\n  03,\\\r\n\r\n  ; c\r\n\t04\r\n\"c\"=\"x\""),
       "[S]\nb=3:01 02 03 04\nc=1:x\\x00\n"},
      {"list continued from its start", inS("\"b\"=hex:\\\n  01"), "[S]\nb=3:01\n"},
      {"REG_NONE", inS("\"n\"=hex(0):"), "[S]\nn=0:\n"},
      {"other types are raw bytes", inS("\"q\"=hex(4):01,02\r\n\"r\"=hex(99):0a\r\n\"t\"=hex(b):01"),
       "[S]\nq=4:01 02\nr=153:0a\nt=11:01\n"},
      {"expand string, version 5: UTF-16LE", inS("\"x\"=hex(2):25,00,54,00,25,00,00,00"),
       "[S]\nx=2:%T%\\x00\n"},
      {"expand string, version 5: NUL added", inS("\"x\"=hex(2):41,00"), "[S]\nx=2:A\\x00\n"},
      {"expand string, version 5: odd byte dropped", inS("\"x\"=hex(2):41,00,42"), "[S]\nx=2:A\\x00\n"},
      {"expand string, version 5: to ANSI", inS("\"x\"=hex(2):ac,20,e9,00,2d,4e,00,00"),
       "[S]\nx=2:\\x80\\xe9?\\x00\n"},
      {"expand string, version 5: empty", inS("\"x\"=hex(2):"), "[S]\nx=2:\n"},
      {"expand string, REGEDIT4: ANSI", inS4("\"x\"=hex(2):25,54,25,00"), "[S]\nx=2:%T%\\x00\n"},
      {"expand string, REGEDIT4: NUL added", inS4("\"x\"=hex(2):41,42"), "[S]\nx=2:AB\\x00\n"},
      {"string and multi-string in hex", inS("\"s\"=hex(1):41,00,00,00\r\n\"m\"=hex(7):41,00,00,00,42,00,00,00,00,00"),
       "[S]\nm=7:A\\x00B\\x00\\x00\n"
       "s=1:A\\x00\n"},
  });
}

TEST(RegFile, KeysDeletionsAndMerges) {
  checkRows({
      {"levels are created", kHeader5 + "[HKEY_LOCAL_MACHINE\\Software\\Quendrix\\Pellmoor]\r\n\"Install Dir\"=\"C:\\\\G\"",
       "[Software]\n[Software\\Quendrix]\n[Software\\Quendrix\\Pellmoor]\nInstall Dir=1:C:\\G\\x00\n"},
      {"no values", kHeader5 + "[HKEY_LOCAL_MACHINE\\A]", "[A]\n"},
      {"nothing after the header", kHeader5, ""},
      {"header only, no line end", "REGEDIT4", ""},
      {"values of the root", kHeader5 + "[HKEY_LOCAL_MACHINE]\r\n\"r\"=\"1\"", "[]\nr=1:1\\x00\n"},
      {"empty levels skipped", kHeader5 + "[HKEY_LOCAL_MACHINE\\\\A\\\\\\B\\]", "[A]\n[A\\B]\n"},
      {"root name in any case", kHeader5 + "[hkey_Local_Machine\\A]", "[A]\n"},
      {"other roots skipped", kHeader5 + "[HKEY_CURRENT_USER\\A]\r\n\"a\"=\"1\"\r\n[HKEY_CLASSES_ROOT\\B]\r\n"
                                         "[HKEY_USERS\\C]\r\n[HKEY_CURRENT_CONFIG\\D]\r\n[HKEY_DYN_DATA\\E]\r\n"
                                         "[-HKEY_CURRENT_USER\\A]\r\n[HKEY_LOCAL_MACHINE\\F]\r\n\"f\"=\"1\"",
       "[F]\nf=1:1\\x00\n"},
      {"value deleted", inS("\"a\"=\"1\"\r\n\"b\"=\"2\"\r\n\"A\"=-\r\n\"missing\"=- ; c"), "[S]\nb=1:2\\x00\n"},
      {"default value deleted", inS("@=\"1\"\r\n@=-"), "[S]\n"},
      {"key deleted with its subkeys",
       kHeader5 + "[HKEY_LOCAL_MACHINE\\S\\A\\B]\r\n\"b\"=\"1\"\r\n[HKEY_LOCAL_MACHINE\\S\\C]\r\n"
                  "[-HKEY_LOCAL_MACHINE\\s\\a]",
       "[S]\n[S\\C]\n"},
      {"missing key deleted", kHeader5 + "[HKEY_LOCAL_MACHINE\\S]\r\n[-HKEY_LOCAL_MACHINE\\S\\X\\Y]\r\n[-HKEY_LOCAL_MACHINE\\T]",
       "[S]\n"},
      {"values after a deletion skipped", kHeader5 + "[HKEY_LOCAL_MACHINE\\S]\r\n[-HKEY_LOCAL_MACHINE\\T]\r\n\"a\"=\"1\"",
       "[S]\n"},
      {"key made again after deletion",
       kHeader5 + "[HKEY_LOCAL_MACHINE\\S]\r\n\"a\"=\"1\"\r\n[-HKEY_LOCAL_MACHINE\\S]\r\n[HKEY_LOCAL_MACHINE\\S]\r\n\"b\"=\"2\"",
       "[S]\nb=1:2\\x00\n"},
      {"sections merge without regard to case; first spelling kept",
       kHeader5 + "[HKEY_LOCAL_MACHINE\\Soft]\r\n\"Name\"=\"1\"\r\n\"k\"=\"x\"\r\n[HKEY_LOCAL_MACHINE\\SOFT]\r\n"
                  "\"NAME\"=dword:2\r\n\"b\"=\"3\"",
       "[Soft]\nb=1:3\\x00\nk=1:x\\x00\nName=4:02 00 00 00\n"},
      {"REGEDIT4 header", kHeader4 + "[HKEY_LOCAL_MACHINE\\A]", "[A]\n"},
      {"UTF-8 byte order mark", "\xEF\xBB\xBF" + kHeader5 + "[HKEY_LOCAL_MACHINE\\A]", "[A]\n"},
      {"blanks before the header", "  \tREGEDIT4\n[HKEY_LOCAL_MACHINE\\A]", "[A]\n"},
      {"LF line ends", "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\A]\n\"a\"=\"1\"\n", "[A]\na=1:1\\x00\n"},
      {"CR line ends", "REGEDIT4\r\r[HKEY_LOCAL_MACHINE\\A]\r\"a\"=\"1\"\r", "[A]\na=1:1\\x00\n"},
      {"comments and blank lines", kHeader5 + "; c\r\n  ;[x\r\n \t \r\n[HKEY_LOCAL_MACHINE\\A] ; c\r\n; \"a\"=\"1\"",
       "[A]\n"},
      {"section name up to its last bracket", kHeader5 + "[HKEY_LOCAL_MACHINE\\a]b]", "[a]b]\n"},
      {"UTF-16LE file", utf16File(u"Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\\u00c9]\r\n"
                                  u"\"u\"=\"\u00e9\u20ac\u4e2d\u2122\"\r\n\"x\"=hex(2):41,00,e9,00\r\n"),
       "[\xc9]\nu=1:\\xe9\\x80?\\x99\\x00\nx=2:A\\xe9\\x00\n"},
      {"UTF-16LE REGEDIT4 file: string types in hex are UTF-16",
       utf16File(u"REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\S]\r\n\"x\"=hex(2):41,00,00,00\r\n"), "[S]\nx=2:A\\x00\n"},
      {"512 levels", kHeader5 + "[HKEY_LOCAL_MACHINE" + [] {
         std::string levels;
         for (int i = 0; i < 512; ++i) levels += "\\k";
         return levels;
       }() + "]\r\n[-HKEY_LOCAL_MACHINE\\k]",
       ""},
  });
}

TEST(RegFile, LongestKeyName) {
  RegKey root;
  std::string name(255, 'n');
  ASSERT_TRUE(parseRegFile(kHeader5 + "[HKEY_LOCAL_MACHINE\\" + name + "]", &root));
  EXPECT_NE(findSubkey(root, name), nullptr);
}

TEST(RegFile, MalformedFilesHoldNoKeys) {
  std::string tooDeep = kHeader5 + "[HKEY_LOCAL_MACHINE";
  for (int i = 0; i < 513; ++i) tooDeep += "\\k";
  tooDeep += "]";
  checkRows({
      {"empty", "", nullptr},
      {"no header", "[HKEY_LOCAL_MACHINE\\A]\r\n", nullptr},
      {"3.1 header", "REGEDIT\r\n[HKEY_LOCAL_MACHINE\\A]", nullptr},
      {"header in lower case", "regedit4\r\n[HKEY_LOCAL_MACHINE\\A]", nullptr},
      {"header with more after it", "REGEDIT4 \r\n[HKEY_LOCAL_MACHINE\\A]", nullptr},
      {"other version", "Windows Registry Editor Version 5.0\r\n[HKEY_LOCAL_MACHINE\\A]", nullptr},
      {"header not first", "\r\nREGEDIT4\r\n[HKEY_LOCAL_MACHINE\\A]", nullptr},
      {"UTF-16BE", "\xFE\xFF" + bytes("\0R\0E\0G\0E\0D\0I\0T\0" "4"), nullptr},
      {"UTF-16LE without its mark", bytes("R\0E\0G\0E\0D\0I\0T\0" "4\0"), nullptr},
      {"UTF-16LE with an odd byte", utf16File(u"REGEDIT4\r\n") + "x", nullptr},
      {"NUL character", inS("\"a\"=\"x") + std::string(1, '\0') + "\"", nullptr},
      {"value before any section", kHeader5 + "\"a\"=\"1\"\r\n[HKEY_LOCAL_MACHINE\\A]", nullptr},
      {"stray line", inS("garbage"), nullptr},
      {"stray '='", inS("=\"x\""), nullptr},
      {"no '='", inS("\"a\" \"x\""), nullptr},
      {"no data", inS("\"a\"="), nullptr},
      {"'@' with a name", inS("@\"a\"=\"x\""), nullptr},
      {"bare word", inS("\"a\"=abc"), nullptr},
      {"old str: form", inS("\"a\"=str:\"x\""), nullptr},
      {"DWORD: in capitals", inS("\"a\"=DWORD:1"), nullptr},
      {"HEX: in capitals", inS("\"a\"=HEX:01"), nullptr},
      {"number without a form", inS("\"a\"=1"), nullptr},
      {"two '='", inS("\"a\"==\"x\""), nullptr},
      {"escape \\n", inS(R"("a"="x\ny")"), nullptr},
      {"escape \\t", inS(R"("a"="x\ty")"), nullptr},
      {"bad escape in a name", inS(R"("a\q"="x")"), nullptr},
      {"escaped closing quote", inS(R"("a"="x\")"), nullptr},
      {"text not closed", inS("\"a\"=\"x"), nullptr},
      {"name not closed", inS("\"a=\"x\""), nullptr},
      {"more after the text", inS("\"a\"=\"x\"y"), nullptr},
      {"more after a deletion", inS("\"a\"=-1"), nullptr},
      {"section not closed", kHeader5 + "[HKEY_LOCAL_MACHINE\\A\r\n\"a\"=\"1\"", nullptr},
      {"more after a section", kHeader5 + "[HKEY_LOCAL_MACHINE\\A] x", nullptr},
      {"short root name", kHeader5 + "[HKLM\\A]", nullptr},
      {"unknown root", kHeader5 + "[HKEY_LOCAL\\A]", nullptr},
      {"blank before the root", kHeader5 + "[ HKEY_LOCAL_MACHINE\\A]", nullptr},
      {"empty section", kHeader5 + "[]", nullptr},
      {"backslash before the root", kHeader5 + "[\\HKEY_LOCAL_MACHINE\\A]", nullptr},
      {"root deleted", kHeader5 + "[HKEY_LOCAL_MACHINE\\A]\r\n[-HKEY_LOCAL_MACHINE]", nullptr},
      {"root deleted, trailing backslash", kHeader5 + "[-HKEY_LOCAL_MACHINE\\]", nullptr},
      {"513 levels", tooDeep, nullptr},
      {"256 characters in a name", kHeader5 + "[HKEY_LOCAL_MACHINE\\" + std::string(256, 'n') + "]", nullptr},
      {"dword without digits", inS("\"d\"=dword:"), nullptr},
      {"dword of 9 digits", inS("\"d\"=dword:000000001"), nullptr},
      {"dword with junk", inS("\"d\"=dword:12x"), nullptr},
      {"dword with a sign", inS("\"d\"=dword:-1"), nullptr},
      {"dword with 0x", inS("\"d\"=dword:0x1"), nullptr},
      {"hex not hex", inS("\"b\"=hex:zz"), nullptr},
      {"hex byte of 3 digits", inS("\"b\"=hex:123"), nullptr},
      {"hex two commas", inS("\"b\"=hex:01,,02"), nullptr},
      {"hex without comma", inS("\"b\"=hex:01 02"), nullptr},
      {"hex backslash after a byte", inS("\"b\"=hex:01\\\r\n02"), nullptr},
      {"hex more after backslash", inS("\"b\"=hex:01,\\ 02\r\n03"), nullptr},
      {"hex continued at the end", inS("\"b\"=hex:01,\\\r\n\r\n; c\r\n"), nullptr},
      {"hex continued by a section", inS("\"b\"=hex:01,\\\r\n[HKEY_LOCAL_MACHINE\\T]"), nullptr},
      {"hex( not closed", inS("\"b\"=hex(2:01"), nullptr},
      {"hex() without a type", inS("\"b\"=hex():01"), nullptr},
      {"hex( type not hex", inS("\"b\"=hex(x):01"), nullptr},
      {"hex( type of 9 digits", inS("\"b\"=hex(000000002):01"), nullptr},
      {"hex( without colon", inS("\"b\"=hex(2)01"), nullptr},
      {"bad line in a skipped section", kHeader5 + "[HKEY_CURRENT_USER\\A]\r\n\"a\"=bogus", nullptr},
      {"bad line after good ones", inS("\"a\"=\"1\"\r\n[HKEY_LOCAL_MACHINE\\T]\r\n\"b\"=bogus"), nullptr},
  });
}

TEST(RegFile, MalformedTextEmptiesAFilledTree) {
  RegKey root;
  ASSERT_TRUE(parseRegFile(inS("\"a\"=\"1\""), &root));
  ASSERT_NE(findSubkey(root, "S"), nullptr);
  EXPECT_FALSE(parseRegFile(inS("\"a\"=\"1"), &root));
  EXPECT_TRUE(root.subkeys.empty());
  EXPECT_TRUE(root.values.empty());
}

TEST(RegFile, LookupsIgnoreAsciiCaseOnly) {
  RegKey root;
  ASSERT_TRUE(parseRegFile(kHeader5 + "[HKEY_LOCAL_MACHINE\\Pellmoor]\r\n\"Install Dir\"=\"x\"\r\n@=\"d\"\r\n"
                                      "[HKEY_LOCAL_MACHINE\\\xc9t\xe9]",
                           &root));
  const RegKey* key = findSubkey(root, "pELLMOOR");
  ASSERT_NE(key, nullptr);
  EXPECT_NE(findValue(*key, "INSTALL dir"), nullptr);
  EXPECT_EQ(findValue(*key, "Install Dir "), nullptr);
  EXPECT_EQ(findValue(*key, "Install"), nullptr);
  ASSERT_NE(findValue(*key, ""), nullptr);
  EXPECT_EQ(findValue(*key, "")->data, std::string("d", 2));
  EXPECT_EQ(findSubkey(root, "Pellmoo"), nullptr);
  EXPECT_NE(findSubkey(root, "\xc9T\xe9"), nullptr);
  EXPECT_EQ(findSubkey(root, "\xe9t\xe9"), nullptr);  // no case beyond ASCII
}
