// Whether a manifest entry stays inside the installation directory, read the
// way Windows reads a path. Pure functions on strings.
#pragma once

#include <stddef.h>

// True when `entry` is a plain relative path to Windows: it holds no ':'
// (drive letters, drive-relative forms, streams), does not start with two
// separators (UNC, "\\?\", "\\.\"), has no component other than "." and ".."
// that ends in a dot or a blank (Windows strips those, so another name would
// be deleted), and holds no control character.
bool isPlainRelativeEntry(const char* entry);

// Writes `path` normalised as Windows normalises it into `out` (`size`
// bytes): '/' separates too, runs of separators collapse, "." components
// drop, ".." removes the component before it (never climbing above a root),
// trailing dots and blanks of a component drop, and components are joined by
// one backslash with no trailing one. A prefix stays: "X:\", "X:", "\\" or
// "\"; a relative path that climbs above its start keeps its leading "..".
// Returns false when the result does not fit.
bool normaliseWindowsPath(const char* path, char* out, size_t size);

// True when the normalised `path` lies inside the normalised `root`,
// compared component by component without regard to ASCII case; `path`
// equal to `root` counts only when `allowRoot` is true.
bool isInsideNormalisedRoot(const char* root, const char* path, bool allowRoot);

// True when `path` lies inside the directory `root`, both normalised,
// compared component by component without regard to ASCII case. `path`
// equal to `root` counts only when `allowRoot` is true. False when either
// does not normalise within 2048 bytes.
bool isInsideRoot(const char* root, const char* path, bool allowRoot);
