// rmptool check: arguments and the findings written out.
#include "commands.h"
#include "help.h"
#include "manifest_check.h"
#include "text_escape.h"
#include "tool_paths.h"

int runCheckCommand(const std::vector<std::string>& args, ToolIo& io) {
  CheckOptions options;
  std::vector<std::string> manifests;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (isHelp(arg)) {
      io.out += kCheckHelp;
      return kExitOk;
    }
    if (arg == "--tree") {
      options.tree = true;
    } else if (arg == "--") {
      manifests.insert(manifests.end(), args.begin() + static_cast<long>(i) + 1, args.end());
      break;
    } else if (arg.size() > 1 && arg[0] == '-') {
      return reportTrouble(io, "check", "unknown option '" + arg + "' (see rmptool check --help)");
    } else {
      manifests.push_back(arg);
    }
  }
  if (manifests.empty()) return reportTrouble(io, "check", "no MANIFEST given (see rmptool check --help)");

  int code = kExitOk;
  for (const std::string& manifest : manifests) {
    std::string shown = visibleText(manifest);
    std::string path;
    if (!fullWindowsPath(manifest, path)) {
      code = reportTrouble(io, "check", "'" + shown + "': not a usable path");
      continue;
    }
    CheckReport report;
    checkManifest(path, options, report);
    for (const Finding& finding : report.findings) {
      io.out += shown;
      if (finding.line > 0) io.out += ":" + std::to_string(finding.line);
      io.out += finding.severity == Severity::Error ? ": error: " : ": warning: ";
      io.out += finding.message + "\n";
    }
    if (errorCount(report) > 0 && code == kExitOk) code = kExitFindings;
    if (!report.trouble.empty()) code = reportTrouble(io, "check", shown + ": " + report.trouble);
  }
  return code;
}
