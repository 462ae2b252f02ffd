// What the tool needs of the system beyond the platform layer: whether a
// stream is a terminal, binary standard streams, and the name under which
// the C library opens a Windows-form path. Each build has its own
// implementation, chosen by CMake; writing a whole file is shared.
#pragma once

#include <stdio.h>

#include <string>

// True when `stream` is a terminal (a console on Windows).
bool isTerminal(FILE* stream);

// Puts standard output and standard error in binary mode, so that a line
// feed is written as it is, never as CR LF.
void useBinaryStandardStreams();

// Puts in `hostPath` the name under which fopen opens the full Windows-form
// `path`. Returns false, with `error` set to a short reason, when the path
// names no place on this machine.
bool hostFilePath(const std::string& path, std::string& hostPath, std::string& error);

// Writes `bytes` to the file at the full Windows-form `path`, replacing
// it. Returns false, with `error` set to a short reason, when the file
// cannot be created or written.
bool writeWholeFile(const std::string& path, const std::string& bytes, std::string& error);
