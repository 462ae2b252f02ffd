// The command dispatch and what the commands share.
#include "commands.h"

#include "help.h"

int reportTrouble(ToolIo& io, const char* command, const std::string& message) {
  io.err += "rmptool: ";
  if (command) io.err += std::string(command) + ": ";
  io.err += message + "\n";
  return kExitTrouble;
}

bool isHelp(const std::string& arg) { return arg == "--help" || arg == "-h"; }

int runTool(const std::vector<std::string>& args, ToolIo& io) {
  if (args.empty()) return reportTrouble(io, nullptr, "no command given (see rmptool --help)");
  const std::string& command = args[0];
  std::vector<std::string> rest(args.begin() + 1, args.end());
  if (isHelp(command) || command == "help") {
    const char* text = kToolHelp;
    if (!rest.empty()) {
      if (rest[0] == "plan") text = kPlanHelp;
      else if (rest[0] == "check") text = kCheckHelp;
      else if (rest[0] == "make") text = kMakeHelp;
      else if (rest[0] == "encode") text = kEncodeHelp;
      else return reportTrouble(io, nullptr, "no command '" + rest[0] + "' (see rmptool --help)");
    }
    io.out += text;
    return kExitOk;
  }
  if (command == "plan") return runPlanCommand(rest, io);
  if (command == "check") return runCheckCommand(rest, io);
  if (command == "make") return runMakeCommand(rest, io);
  if (command == "encode") return runEncodeCommand(rest, io);
  return reportTrouble(io, nullptr, "no command '" + command + "' (see rmptool --help)");
}
