// Case-insensitive substring search, ASCII letters only. A pure function.
#pragma once

// Returns a pointer to the first occurrence of `needle` in `text`, with the
// letters A to Z matching either case and every other byte matching only
// itself; null when there is none, when either is null, when `text` is empty
// and when `needle` is empty.
const char* findNoCase(const char* text, const char* needle);
