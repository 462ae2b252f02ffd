// The uninstall sequence: the whole run of the program, from the registry to
// the closing note.
#pragma once

#include "installation.h"

// The number of fixed leftovers deleted after the replay.
constexpr int kLeftoverCount = 4;
// Size of the buffer a leftover's path is built in.
constexpr int kLeftoverPathSize = 1024;
// Size of the buffer the closing note is composed in.
constexpr int kNoteSize = 4096;

// Caption of the closing note.
extern const char* const kNoteCaption;

// Builds the path of leftover `index` (0 to 3, in the order they are
// deleted) in `out` (kLeftoverPathSize bytes). Returns false when there is no
// such path to delete: the three shortcuts need a start-menu folder, so with
// none they are skipped instead of naming files at the root of a drive.
bool leftoverPath(const Installation& installation, int index, char* out);

// Composes the closing note for `installDir` in `out` (kNoteSize bytes): the
// text with the long form of the installation directory when it can be
// obtained, the text without it otherwise.
void composeNote(const char* installDir, char* out);

// Formats the closing note in `out` (kNoteSize bytes): the text naming
// `longPath` when it is not null, the text without a path when it is.
void formatNote(const char* longPath, char* out);

// Runs the whole sequence. Returns 0 when an installation directory was read
// and everything is done (the note closed); -1 when none was read, and then
// nothing is deleted and nothing shown.
int runUninstall();
