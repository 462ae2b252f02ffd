// rmptool make: arguments, the refusals, and the manifest written out.
#include "commands.h"
#include "disk_name.h"
#include "gzip_pack.h"
#include "help.h"
#include "host.h"
#include "manifest_make.h"
#include "text_escape.h"
#include "tool_paths.h"
#include "wildcard.h"

int runMakeCommand(const std::vector<std::string>& args, ToolIo& io) {
  bool gzip = false;
  bool haveOutput = false;
  std::string output;
  std::vector<std::string> excludes;
  std::vector<std::string> positional;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (isHelp(arg)) {
      io.out += kMakeHelp;
      return kExitOk;
    }
    if (arg == "--gzip") {
      gzip = true;
    } else if (arg == "-o" || arg == "--output") {
      if (i + 1 >= args.size()) return reportTrouble(io, "make", arg + " needs a FILE");
      output = args[++i];
      haveOutput = true;
    } else if (arg == "--exclude") {
      if (i + 1 >= args.size()) return reportTrouble(io, "make", "--exclude needs a PATTERN");
      excludes.push_back(args[++i]);
    } else if (arg.compare(0, 10, "--exclude=") == 0) {
      excludes.push_back(arg.substr(10));
    } else if (arg == "--") {
      positional.insert(positional.end(), args.begin() + static_cast<long>(i) + 1, args.end());
      break;
    } else if (arg.size() > 1 && arg[0] == '-') {
      return reportTrouble(io, "make", "unknown option '" + arg + "' (see rmptool make --help)");
    } else {
      positional.push_back(arg);
    }
  }
  if (positional.size() != 1) return reportTrouble(io, "make", "give one DIR (see rmptool make --help)");

  MakeOptions options;
  options.excludes = excludes;
  if (!fullWindowsPath(positional[0], options.tree)) {
    return reportTrouble(io, "make", "'" + visibleText(positional[0]) + "': not a usable path");
  }
  if (haveOutput) {
    if (!fullWindowsPath(output, options.manifestPath)) {
      return reportTrouble(io, "make", "'" + visibleText(output) + "': not a usable path");
    }
    if (!wildcardMatch("*.rmp", fileNameOf(options.manifestPath).c_str())) {
      return reportTrouble(io, "make", visibleText(output) + ": not named *.rmp: the uninstaller would not take it "
                                                             "for a manifest");
    }
    char diskName[1024];
    bool dropped = false;
    encodeDiskName(options.manifestPath.c_str(), diskName, static_cast<int32_t>(sizeof diskName), &dropped);
    if (dropped || options.manifestPath != diskName) {
      return reportTrouble(io, "make", visibleText(output) + ": its path changes under the disk-name encoding: the "
                                                             "uninstaller would never open it");
    }
  }

  MakeResult result;
  makeManifest(options, result);
  if (!result.trouble.empty()) return reportTrouble(io, "make", visibleText(positional[0]) + ": " + result.trouble);
  if (!result.refused.empty()) {
    for (const std::string& refusal : result.refused) io.err += "rmptool: make: refused: " + refusal + "\n";
    io.err += "rmptool: make: " + std::to_string(result.refused.size()) +
              (result.refused.size() == 1 ? " name" : " names") +
              " the manifest cannot carry; nothing written (leave them out with --exclude)\n";
    return kExitFindings;
  }

  std::string bytes = result.text;
  if (gzip && !gzipPack(result.text, bytes)) return reportTrouble(io, "make", "zlib could not compress the manifest");
  if (!haveOutput) {
    io.out += bytes;
    return kExitOk;
  }
  std::string error;
  if (!writeWholeFile(options.manifestPath, bytes, error)) {
    return reportTrouble(io, "make", visibleText(output) + ": not written: " + error);
  }
  io.out += visibleText(output) + ": " + std::to_string(result.files) + (result.files == 1 ? " file, " : " files, ") +
            std::to_string(result.directories) + (result.directories == 1 ? " directory\n" : " directories\n");
  return kExitOk;
}
