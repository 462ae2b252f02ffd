// The command line of rmptool: the commands, their arguments, what they
// print and their exit codes. Output is collected, so that tests can run
// any command in-process; only the progress line is written as it goes.
#pragma once

#include <stdio.h>

#include <string>
#include <vector>

// Exit codes.
constexpr int kExitOk = 0;
// check: errors were found; plan: no installation directory; make: names
// were refused; encode: a name had no disk name.
constexpr int kExitFindings = 1;
// Bad arguments, unreadable input, damaged gzip data, output not written.
constexpr int kExitTrouble = 2;

struct ToolIo {
  // What goes to standard output and to standard error.
  std::string out;
  std::string err;
  // Where the progress line of a long plan goes; null for none.
  FILE* progress = nullptr;
};

// Runs rmptool with `args` (the program's name left out). Returns the exit
// code.
int runTool(const std::vector<std::string>& args, ToolIo& io);

// The commands, each given the arguments after its name.
int runPlanCommand(const std::vector<std::string>& args, ToolIo& io);
int runCheckCommand(const std::vector<std::string>& args, ToolIo& io);
int runMakeCommand(const std::vector<std::string>& args, ToolIo& io);
int runEncodeCommand(const std::vector<std::string>& args, ToolIo& io);

// Adds "rmptool: COMMAND: MESSAGE" as one line to standard error and
// returns kExitTrouble.
int reportTrouble(ToolIo& io, const char* command, const std::string& message);

// True when `arg` asks for help.
bool isHelp(const std::string& arg);
