// rmptool encode: the disk name of each argument.
#include "commands.h"
#include "disk_name.h"
#include "help.h"
#include "text_escape.h"

int runEncodeCommand(const std::vector<std::string>& args, ToolIo& io) {
  size_t first = 0;
  if (!args.empty() && isHelp(args[0])) {
    io.out += kEncodeHelp;
    return kExitOk;
  }
  if (!args.empty() && args[0] == "--") first = 1;
  if (first >= args.size()) return reportTrouble(io, "encode", "no NAME given (see rmptool encode --help)");
  int code = kExitOk;
  for (size_t i = first; i < args.size(); ++i) {
    // The line reader's own buffer size.
    char diskName[1024];
    bool dropped = false;
    encodeDiskName(args[i].c_str(), diskName, static_cast<int32_t>(sizeof diskName), &dropped);
    if (dropped) {
      std::string shown = visibleText(args[i]);
      if (shown.size() > 40) shown = shown.substr(0, 40) + "...";
      io.err += "rmptool: encode: '" + shown + "': its disk name would be longer than 1023 characters\n";
      code = kExitFindings;
      continue;
    }
    io.out += diskName;
    io.out += '\n';
  }
  return code;
}
