// The check of a manifest: reads it the way the uninstaller will (the same
// line reader, the same line cutting) and finds what would go wrong.
#pragma once

#include <string>
#include <vector>

enum class Severity { Warning, Error };

struct Finding {
  // The line, counted from 1 by line feeds; 0 for the manifest as a whole.
  int line;
  Severity severity;
  std::string message;
};

struct CheckOptions {
  // Also look beside the manifest for what each entry names.
  bool tree = false;
};

struct CheckReport {
  // In the order found: the manifest as a whole first, then line by line.
  std::vector<Finding> findings;
  // Why the manifest could not be read to its end (it cannot be opened, or
  // its gzip data is damaged); empty when it was read through.
  std::string trouble;
  int lines = 0;
  int entries = 0;
};

// Checks the manifest at the full Windows-form `path`. Errors are what makes
// the uninstaller leave files behind or refuse entries: a path that changes
// under the disk-name encoding, a name not matching *.rmp, CR-only line
// ends, lines of 1023 bytes or more, NUL bytes, entries the safety rules
// refuse (taken relative to the manifest's own directory), a directory
// listed after a directory inside it, and with `tree` an entry of the wrong
// kind or a link. Warnings: repeated entries, bytes above 0x7F, device
// names, paths longer than 259 characters, entries naming a manifest, and
// with `tree` entries that are not there.
void checkManifest(const std::string& path, const CheckOptions& options, CheckReport& report);

// The number of errors in `report`.
int errorCount(const CheckReport& report);
