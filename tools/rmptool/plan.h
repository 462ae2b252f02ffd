// The plan of an uninstall: what the uninstaller would do to an
// installation, in the order it would do it, found by running the
// uninstaller's own replay through its effect seam against a simulated tree.
// Nothing on disk is changed.
#pragma once

#include <stddef.h>

#include <string>
#include <vector>

#include "installation.h"

// One thing the uninstaller would do or pass over.
struct PlanAction {
  // "open", "unreadable", "damaged", "delete", "remove" or "skip".
  std::string verb;
  std::string path;
  // Why, for "unreadable", "damaged" and "skip"; the disk name for an
  // "open" whose disk name differs from its path; empty otherwise.
  std::string reason;
};

struct Plan {
  // False when there is no installation directory: the uninstaller then
  // ends at once with -1, deleting nothing and showing nothing.
  bool runs = false;
  std::string installDir;
  std::string startMenuFolder;
  std::vector<PlanAction> actions;
  // Manifests the replay took, opened or not.
  int manifests = 0;
  // The closing note's text; empty when the uninstaller would not run.
  std::string note;
};

// Told after each manifest the replay takes.
struct PlanProgress {
  void* context = nullptr;
  void (*report)(void* context, int manifests, size_t actions) = nullptr;
};

// Plans the uninstall of `installation` into `plan`: the replay of every
// manifest under the installation directory, the four leftovers and the
// note, as the uninstaller does them. Manifests are read for real; every
// deletion and removal is answered by a simulated tree, so a directory is
// removed exactly when everything in it would be gone by then, and a
// manifest deleted by an earlier one is unreadable when its turn comes.
void makePlan(const Installation& installation, Plan& plan, const PlanProgress& progress = PlanProgress());
