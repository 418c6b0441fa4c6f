#include <atomic>

#include "twlwin/errors.h"

namespace {
std::atomic<UINT> errorMode{0};
}

TWLAPI UINT SetErrorMode(UINT mode) { return errorMode.exchange(mode); }
