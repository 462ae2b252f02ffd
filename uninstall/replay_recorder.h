// For tests: ReplayHooks that record every effect, with the real call's
// result, and the notices asked for, then forward to the real calls.
#pragma once

#include <string.h>

#include <set>
#include <string>
#include <vector>

#include "platform.h"
#include "replay.h"

// A short name for each notice, as the recorded log shows it.
inline const char* replayNoticeName(ReplayNotice notice) {
  switch (notice) {
    case ReplayNotice::ManifestOpened: return "opened";
    case ReplayNotice::ManifestUnreadable: return "unreadable";
    case ReplayNotice::ManifestDamaged: return "damaged";
    case ReplayNotice::NotAManifest: return "not a manifest";
    case ReplayNotice::PathTooLong: return "too long";
    case ReplayNotice::NotPlainEntry: return "not plain";
    case ReplayNotice::OutsideInstallation: return "outside";
    case ReplayNotice::ThroughLink: return "through a link";
    case ReplayNotice::OutOfMemory: return "out of memory";
    case ReplayNotice::HeldBack: return "held back";
  }
  return "?";
}

// Logs "delete <path>" / "remove <path>" (with " (failed)" when the real call
// failed) and "<notice> <path>" lines, paths shortened by `root`. A path
// too long comes with " +<length of the entry>".
struct ReplayRecorder {
  std::vector<std::string> log;
  std::string root;              // stripped from recorded paths
  std::set<ReplayNotice> only;   // the notices to record; empty: all

  std::string shorten(const char* path) const {
    std::string p = path ? path : "";
    return p.compare(0, root.size(), root) == 0 ? p.substr(root.size()) : p;
  }

  static int deleteFile(void* context, const char* path) {
    auto* self = static_cast<ReplayRecorder*>(context);
    int result = removeFile(path);
    self->log.push_back("delete " + self->shorten(path) + (result == 0 ? "" : " (failed)"));
    return result;
  }
  static int removeDirectory(void* context, const char* path) {
    auto* self = static_cast<ReplayRecorder*>(context);
    int result = _rmdir(path);
    self->log.push_back("remove " + self->shorten(path) + (result == 0 ? "" : " (failed)"));
    return result;
  }
  static void notice(void* context, ReplayNotice notice, const char* path, const char* detail) {
    auto* self = static_cast<ReplayRecorder*>(context);
    if (!self->only.empty() && !self->only.count(notice)) return;
    std::string line = std::string(replayNoticeName(notice)) + " " + self->shorten(path);
    if (notice == ReplayNotice::PathTooLong) line += " +" + std::to_string(strlen(detail));
    self->log.push_back(line);
  }

  ReplayHooks hooks() {
    ReplayHooks h;
    h.context = this;
    h.deleteFile = deleteFile;
    h.removeDirectory = removeDirectory;
    h.notice = notice;
    return h;
  }
};
