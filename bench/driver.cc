// Times the parts of the manifest replay for the benchmark, and records what
// a real replay deletes so that the generator's list can be checked.
//
//   bench_driver scan DIRECTORY        the file finder's scan and walk alone
//   bench_driver read DIRECTORY        the reading of every manifest alone
//                                      (the scan that finds them untimed)
//   bench_driver dry DIRECTORY         the whole replay with effects that do
//                                      nothing: scan, reading and checks
//   bench_driver trace DIRECTORY OUT   the real replay; every path deleted or
//                                      removed is written to OUT, in order
//
// DIRECTORY is the installation directory as the registry gives it (Windows
// form, ending in a backslash). The first three change nothing on disk and
// print "seconds S count N" (N: manifests found, lines read, or effects asked
// for). Exit code 0, or 2 on a usage error.
#include <stdio.h>
#include <string.h>

#include <chrono>
#include <string>
#include <vector>

#include "file_finder.h"
#include "line_reader.h"
#include "manifest_line.h"
#include "platform.h"
#include "replay.h"

namespace {

const char* const kPattern = "*.rmp";
constexpr int kLineSize = 1024;

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// Scans as the replay does and walks the list; returns the manifests found.
long scanAndWalk(FileFinder& finder, const char* directory, std::vector<std::string>* paths) {
  finder.scan(kPattern, true, directory, false);
  long count = 0;
  for (bool more = finder.moveFirst(); more; more = finder.moveNext()) {
    const char* path = finder.currentPath();
    if (!path) continue;
    ++count;
    if (paths) paths->push_back(path);
  }
  return count;
}

// Reads every manifest of `paths` to its end as the replay does, cutting and
// classifying each line; returns the lines read.
long readAll(const std::vector<std::string>& paths) {
  char line[kLineSize];
  long lines = 0;
  for (const std::string& path : paths) {
    LineReader reader;
    if (!reader.open(path.c_str(), 1)) continue;
    while (reader.readLine(line, kLineSize)) {
      if (classifyEntry(cutManifestLine(line)) != EntryKind::Empty) ++lines;
    }
    reader.close();
  }
  return lines;
}

int countOnly(void* context, const char*) {
  ++*static_cast<long*>(context);
  return 0;
}

// The real effects, each path that was deleted or removed written to the file.
int traceDelete(void* context, const char* path) {
  int result = removeFile(path);
  if (result == 0) fprintf(static_cast<FILE*>(context), "%s\n", path);
  return result;
}

int traceRemove(void* context, const char* path) {
  int result = _rmdir(path);
  if (result == 0) fprintf(static_cast<FILE*>(context), "%s\n", path);
  return result;
}

int usage() {
  fprintf(stderr, "usage: bench_driver scan|read|dry DIRECTORY\n       bench_driver trace DIRECTORY OUT\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return usage();
  const char* mode = argv[1];
  const char* directory = argv[2];
  long count = 0;
  Clock::time_point start;
  double seconds = 0;
  if (strcmp(mode, "scan") == 0 && argc == 3) {
    start = Clock::now();
    FileFinder finder;
    count = scanAndWalk(finder, directory, nullptr);
    seconds = secondsSince(start);
  } else if (strcmp(mode, "read") == 0 && argc == 3) {
    std::vector<std::string> paths;
    {
      FileFinder finder;
      scanAndWalk(finder, directory, &paths);
    }
    start = Clock::now();
    count = readAll(paths);
    seconds = secondsSince(start);
  } else if (strcmp(mode, "dry") == 0 && argc == 3) {
    ReplayHooks hooks;
    hooks.context = &count;
    hooks.deleteFile = countOnly;
    hooks.removeDirectory = countOnly;
    start = Clock::now();
    replayManifests(directory, kPattern, hooks);
    seconds = secondsSince(start);
  } else if (strcmp(mode, "trace") == 0 && argc == 4) {
    FILE* out = fopen(argv[3], "wb");
    if (!out) {
      fprintf(stderr, "bench_driver: cannot write %s\n", argv[3]);
      return 2;
    }
    ReplayHooks hooks;
    hooks.context = out;
    hooks.deleteFile = traceDelete;
    hooks.removeDirectory = traceRemove;
    replayManifests(directory, kPattern, hooks);
    return fclose(out) == 0 ? 0 : 2;
  } else {
    return usage();
  }
  printf("seconds %.6f count %ld\n", seconds, count);
  return 0;
}
