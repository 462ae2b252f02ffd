// Escapes for the tool's output: control bytes made visible in text lines,
// and strings written as JSON.
#pragma once

#include <string>

// `text` with every control byte (below 0x20, and 0x7F) written as a caret
// and a character, as `cat -v` writes them ("^I" for a tab, "^M" for a
// carriage return, "^?" for 0x7F), so that a tab-separated line keeps its
// columns. Every other byte is kept as it is.
std::string visibleText(const std::string& text);

// `text` as a JSON string literal, quotes included. Each byte is taken as
// the Latin-1 character of that number, so the result is plain ASCII and
// encoding the decoded string as Latin-1 gives the bytes back exactly.
std::string jsonString(const std::string& text);
