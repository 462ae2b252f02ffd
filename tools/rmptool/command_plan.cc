// rmptool plan: arguments, the progress line, and the plan written out.
#include <string.h>

#include <chrono>

#include "commands.h"
#include "help.h"
#include "installation.h"
#include "plan.h"
#include "plan_output.h"
#include "tool_paths.h"

namespace {

// The longest text a registry value of the uninstaller can hold.
constexpr size_t kRegistryTextLimit = kRegistryValueSize - 1;

// The progress line on a terminal: shown once a plan has taken half a
// second, redrawn at most ten times a second, wiped at the end.
struct ProgressLine {
  using Clock = std::chrono::steady_clock;
  FILE* stream = nullptr;
  Clock::time_point start = Clock::now();
  Clock::time_point last;
  bool shown = false;

  static void report(void* context, int manifests, size_t actions) {
    ProgressLine& line = *static_cast<ProgressLine*>(context);
    Clock::time_point now = Clock::now();
    if (now - line.start < std::chrono::milliseconds(500)) return;
    if (line.shown && now - line.last < std::chrono::milliseconds(100)) return;
    fprintf(line.stream, "\rrmptool: plan: %d manifests, %lu actions", manifests, static_cast<unsigned long>(actions));
    fflush(line.stream);
    line.shown = true;
    line.last = now;
  }

  void wipe() {
    if (!shown) return;
    fprintf(stream, "\r%70s\r", "");
    fflush(stream);
  }
};

// Puts the full form of `given` into `out` (`size` bytes). Returns an error
// message, or the empty string.
std::string registryStandIn(const std::string& given, const char* what, char* out, size_t size) {
  std::string full;
  if (given.empty() || !fullWindowsPath(given, full)) return "'" + given + "': not a usable " + what;
  if (full.size() > kRegistryTextLimit) {
    return full + ": " + std::to_string(full.size()) + " characters, and the registry value holds at most 127";
  }
  if (full.size() >= size) return full + ": too long";
  strcpy(out, full.c_str());
  return std::string();
}

}  // namespace

int runPlanCommand(const std::vector<std::string>& args, ToolIo& io) {
  bool json = false;
  bool haveFolder = false;
  std::string folder;
  std::vector<std::string> positional;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (isHelp(arg)) {
      io.out += kPlanHelp;
      return kExitOk;
    }
    if (arg == "--json") {
      json = true;
    } else if (arg == "--folder") {
      if (i + 1 >= args.size()) return reportTrouble(io, "plan", "--folder needs a FOLDER");
      folder = args[++i];
      haveFolder = true;
    } else if (arg == "--") {
      positional.insert(positional.end(), args.begin() + static_cast<long>(i) + 1, args.end());
      break;
    } else if (arg.size() > 1 && arg[0] == '-') {
      return reportTrouble(io, "plan", "unknown option '" + arg + "' (see rmptool plan --help)");
    } else {
      positional.push_back(arg);
    }
  }
  if (positional.size() > 1) return reportTrouble(io, "plan", "one INSTALL_DIR at most (see rmptool plan --help)");
  if (haveFolder && positional.empty()) return reportTrouble(io, "plan", "--folder goes with an INSTALL_DIR");

  Installation installation;
  if (positional.empty()) {
    readInstallation(installation);
  } else {
    std::string problem = registryStandIn(positional[0], "INSTALL_DIR", installation.installDir, kInstallDirSize - 1);
    if (problem.empty() && haveFolder) {
      problem = registryStandIn(folder, "FOLDER", installation.startMenuFolder, kStartMenuFolderSize);
    }
    if (!problem.empty()) return reportTrouble(io, "plan", problem);
    // As the uninstaller does with the registry's value.
    size_t length = strlen(installation.installDir);
    if (installation.installDir[length - 1] != '\\') strcpy(installation.installDir + length, "\\");
  }

  ProgressLine line;
  line.stream = io.progress;
  PlanProgress progress;
  if (io.progress) {
    progress.context = &line;
    progress.report = ProgressLine::report;
  }
  Plan plan;
  makePlan(installation, plan, progress);
  if (io.progress) line.wipe();

  io.out += json ? planJson(plan) : planText(plan);
  if (!plan.runs) {
    io.err += "rmptool: plan: no installation directory in the registry: the uninstaller would end at once "
              "with -1 and delete nothing\n";
    return kExitFindings;
  }
  return kExitOk;
}
