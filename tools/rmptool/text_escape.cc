// Visible control bytes and JSON string literals.
#include "text_escape.h"

#include <stdio.h>

std::string visibleText(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    unsigned char byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) {
      out.push_back('^');
      out.push_back(static_cast<char>(byte ^ 0x40));
    } else {
      out.push_back(c);
    }
  }
  return out;
}

std::string jsonString(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    unsigned char byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out.push_back('\\');
      out.push_back(c);
    } else if (byte >= 0x20 && byte < 0x7F) {
      out.push_back(c);
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c == '\r') {
      out += "\\r";
    } else {
      char escape[8];
      snprintf(escape, sizeof escape, "\\u%04x", byte);
      out += escape;
    }
  }
  return out + "\"";
}
