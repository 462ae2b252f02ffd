// Manifest lines: how a line as read becomes an entry, and what kind of
// entry it is. Pure functions on strings.
#pragma once

// What an entry of an install manifest names.
enum class EntryKind {
  Empty,      // nothing: passed over
  Directory,  // ends in a backslash: removed after the manifest is done
  File,       // anything else: deleted at once
};

// Cuts `line` in place at its first line feed, then at its first carriage
// return; a NUL already ends it. Returns `line`.
char* cutManifestLine(char* line);

// The kind of an entry that has been cut.
EntryKind classifyEntry(const char* entry);
