// rmptool's entry point: a console program in both builds.
#include <stdio.h>

#include <string>
#include <vector>

#include "commands.h"
#include "host.h"

int main(int argc, char** argv) {
  useBinaryStandardStreams();
  std::vector<std::string> args(argv + 1, argv + argc);
  ToolIo io;
  if (isTerminal(stderr)) io.progress = stderr;
  int code = runTool(args, io);
  bool written = fwrite(io.out.data(), 1, io.out.size(), stdout) == io.out.size() && fflush(stdout) == 0;
  fwrite(io.err.data(), 1, io.err.size(), stderr);
  if (!written) {
    fputs("rmptool: standard output could not be written\n", stderr);
    return kExitTrouble;
  }
  return code;
}
