// State files for other readers (the image library): the same path rules and format checks as
// IChromaKeyer::LoadState, so that a state path from a job file is treated alike everywhere.
#pragma once

#include <memory>

#include "keyer/KeyerState.h"

// The parsed state, or null for an empty path, a refused path (network and device paths outside
// the keyer's folder, device names), a missing file or anything not in the keyer's format.
// Never throws except std::bad_alloc. The result may be shared read-only across threads.
std::shared_ptr<const keyer::KeyerState> ReadKeyerStateFile(const char* path);
