// Cutting and classifying manifest lines.
#include "manifest_line.h"

#include <string.h>

char* cutManifestLine(char* line) {
  if (char* lf = strchr(line, '\n')) *lf = '\0';
  if (char* cr = strchr(line, '\r')) *cr = '\0';
  return line;
}

EntryKind classifyEntry(const char* entry) {
  size_t length = strlen(entry);
  if (length == 0) return EntryKind::Empty;
  return entry[length - 1] == '\\' ? EntryKind::Directory : EntryKind::File;
}
