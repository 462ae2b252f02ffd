// The manifest of an installed tree: every file, and every directory before
// the directories inside it (so the uninstaller, removing the last listed
// first, removes them innermost first), relative to the manifest's
// directory, in a stable order, with LF line ends.
#pragma once

#include <string>
#include <vector>

struct MakeOptions {
  // The installed tree: a full Windows-form path.
  std::string tree;
  // The full Windows-form path the manifest will have, in `tree` or in a
  // directory above it; it is left out of the listing. Empty: the manifest
  // lies directly in `tree`.
  std::string manifestPath;
  // Left out, with everything below: a pattern without a separator is
  // matched against each name, one with a separator against the whole
  // relative path ('/' read as '\'); wildcards as in Windows' file search.
  std::vector<std::string> excludes;
};

struct MakeResult {
  // The manifest; meaningful only when `refused` and `trouble` are empty.
  std::string text;
  int files = 0;
  int directories = 0;
  // One line per name the format cannot carry: "relative path: why".
  std::vector<std::string> refused;
  // Why no manifest could be made at all; empty when one could.
  std::string trouble;
};

// Lists the tree into `result`. Files whose own name matches *.rmp are left
// out: they are manifests, which the uninstaller replays and deletes on
// their own. Refused, so never written: names holding CR, LF or another
// control byte, a byte above 0x7F, a colon, a backslash or a character
// Windows does not allow in names; names ending in a dot or a blank;
// reserved device names; links; paths longer than 259 characters joined to
// the manifest's directory.
void makeManifest(const MakeOptions& options, MakeResult& result);
