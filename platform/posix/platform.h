// The platform layer of the Linux build: the subset of Win32 and of the
// Microsoft C runtime that the core calls, with the same spellings, written
// for POSIX. Paths are taken in Windows form and mapped the way Wine maps
// them: drive Z: is the POSIX root and the backslash is the separator.
// Core code includes "platform.h" and nothing else of the OS.
#pragma once

#include "win_types.h"
#include "win_crt.h"
#include "win_files.h"
#include "win_find.h"
#include "win_memory.h"
#include "win_registry.h"
#include "win_ui.h"
