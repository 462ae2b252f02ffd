// The plan: the real replay through the effect seam, a simulated tree
// behind it, then the leftovers and the note as the sequence does them.
#include "plan.h"

#include <string.h>

#include "disk_name.h"
#include "line_reader.h"
#include "platform.h"
#include "replay.h"
#include "sequence.h"
#include "simulated_tree.h"
#include "tool_paths.h"

namespace {

constexpr size_t kAnsiPathLimit = 259;
constexpr int kDiskNameSize = 1024;

// What the hooks share during one plan.
struct PlanRun {
  Plan* plan;
  const PlanProgress* progress;
  SimulatedTree tree;
  // Why the last manifest could not be opened.
  std::string unreadableReason;
};

void add(PlanRun& run, const char* verb, const std::string& path, const std::string& reason = std::string()) {
  run.plan->actions.push_back(PlanAction{verb, path, reason});
}

// Why the uninstaller would not open the manifest at `path`, whose disk
// name is `diskName` (cut when `dropped`).
std::string whyUnreadable(const char* path, const char* diskName, bool dropped) {
  if (dropped) return "its disk name would be longer than 1023 characters";
  bool renamed = strcmp(diskName, path) != 0;
  std::string under = renamed ? std::string(" under its disk name ") + diskName : std::string();
  if (strlen(diskName) > kAnsiPathLimit) return "path too long" + under;
  if (GetFileAttributesA(diskName) == INVALID_FILE_ATTRIBUTES) {
    return renamed ? std::string("opened under its disk name ") + diskName + ", which does not exist" : "missing";
  }
  return "cannot be opened" + under;
}

bool openManifest(void* context, LineReader& reader, const char* path) {
  PlanRun& run = *static_cast<PlanRun*>(context);
  run.unreadableReason.clear();
  char diskName[kDiskNameSize];
  bool dropped = false;
  encodeDiskName(path, diskName, kDiskNameSize, &dropped);
  // An earlier manifest may have listed this one: the real run finds it gone.
  if (run.tree.isGone(path) || (!dropped && run.tree.isGone(diskName))) {
    run.unreadableReason = "deleted by an earlier manifest";
    return false;
  }
  if (reader.open(path, 1)) return true;
  run.unreadableReason = whyUnreadable(path, diskName, dropped);
  return false;
}

int deleteFile(void* context, const char* path) {
  PlanRun& run = *static_cast<PlanRun*>(context);
  std::string failure = run.tree.deleteFile(path);
  if (failure.empty()) {
    add(run, "delete", path);
    return 0;
  }
  add(run, "skip", path, failure);
  return -1;
}

int removeDirectory(void* context, const char* path) {
  PlanRun& run = *static_cast<PlanRun*>(context);
  std::string failure = run.tree.removeDirectory(path);
  if (failure.empty()) {
    add(run, "remove", path);
    return 0;
  }
  add(run, "skip", path, failure);
  return -1;
}

void tookManifest(PlanRun& run) {
  ++run.plan->manifests;
  if (run.progress->report) run.progress->report(run.progress->context, run.plan->manifests, run.plan->actions.size());
}

void notice(void* context, ReplayNotice notice, const char* path, const char* detail) {
  PlanRun& run = *static_cast<PlanRun*>(context);
  std::string where = path ? path : "";
  std::string entry = detail ? detail : "";
  switch (notice) {
    case ReplayNotice::ManifestOpened:
      add(run, "open", where, entry != where ? entry : std::string());
      tookManifest(run);
      break;
    case ReplayNotice::ManifestUnreadable:
      add(run, "unreadable", where, run.unreadableReason.empty() ? "cannot be opened" : run.unreadableReason);
      tookManifest(run);
      break;
    case ReplayNotice::ManifestDamaged:
      add(run, "damaged", where, "reading stopped at damaged gzip data: nothing after it is applied");
      break;
    case ReplayNotice::NotAManifest:
      add(run, "skip", where, "not a manifest");
      break;
    case ReplayNotice::PathTooLong:
      add(run, "skip", where + entry, "path too long");
      break;
    case ReplayNotice::NotPlainEntry:
      add(run, "skip", where + entry, "not a plain relative path");
      break;
    case ReplayNotice::OutsideInstallation:
      add(run, "skip", where, "outside the installation directory");
      break;
    case ReplayNotice::ThroughLink:
      add(run, "skip", where, "through a link");
      break;
    case ReplayNotice::OutOfMemory:
      add(run, "skip", directoryOf(where) + entry, "out of memory");
      break;
    case ReplayNotice::HeldBack:
      add(run, "skip", where, "held back for a later run: part of the tree could not be read");
      break;
  }
}

// The leftovers, deleted after the replay in the sequence's order.
void planLeftovers(const Installation& installation, PlanRun& run) {
  char path[kLeftoverPathSize];
  for (int i = 0; i < kLeftoverCount; ++i) {
    if (leftoverPath(installation, i, path)) {
      std::string failure = run.tree.deleteFile(path);
      add(run, failure.empty() ? "delete" : "skip", path, failure);
      continue;
    }
    // With no start-menu folder the shortcut is not deleted at all; its name
    // is the one any folder would give it, less the folder.
    Installation anyFolder;
    strcpy(anyFolder.installDir, installation.installDir);
    strcpy(anyFolder.startMenuFolder, "-");
    std::string name = leftoverPath(anyFolder, i, path) ? std::string(path + 2) : std::string();
    add(run, "skip", name, "no start-menu folder");
  }
}

}  // namespace

void makePlan(const Installation& installation, Plan& plan, const PlanProgress& progress) {
  plan = Plan();
  plan.installDir = installation.installDir;
  plan.startMenuFolder = installation.startMenuFolder;
  plan.runs = installation.installDir[0] != '\0';
  if (!plan.runs) return;

  PlanRun run{&plan, &progress, SimulatedTree(), std::string()};
  ReplayHooks hooks;
  hooks.context = &run;
  hooks.openManifest = openManifest;
  hooks.deleteFile = deleteFile;
  hooks.removeDirectory = removeDirectory;
  hooks.notice = notice;
  replayManifests(installation.installDir, "*.rmp", hooks);

  planLeftovers(installation, run);

  // The note names the installation directory when it still exists; the
  // replay may have removed it (a manifest may list it).
  char note[kNoteSize];
  if (run.tree.isGone(installation.installDir)) {
    formatNote(nullptr, note);
  } else {
    composeNote(installation.installDir, note);
  }
  plan.note = note;
}
