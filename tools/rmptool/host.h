// What the tool needs of the system beyond the platform layer: whether a
// stream is a terminal, binary standard streams, and writing a whole file.
// Each build has its own implementation, chosen by CMake.
#pragma once

#include <stdio.h>

#include <string>

// True when `stream` is a terminal (a console on Windows).
bool isTerminal(FILE* stream);

// Puts standard output and standard error in binary mode, so that a line
// feed is written as it is, never as CR LF.
void useBinaryStandardStreams();

// Writes `bytes` to the file at the full Windows-form `path`, replacing
// it. Returns false, with `error` set to a short reason, when the file
// cannot be created or written.
bool writeWholeFile(const std::string& path, const std::string& bytes, std::string& error);
