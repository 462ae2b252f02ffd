// What the Linux layer's registry calls hold, for tests.
#pragma once

#include <stddef.h>

// The number of keys opened with RegOpenKeyA and not closed yet.
size_t registryOpenKeyCount();
