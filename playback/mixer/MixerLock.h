// The one lock of the mixer volume control: it guards every mixer, every
// volume control, their reference counts and the manager's table, and is
// held across the mixer calls made for them. It lives as long as the
// process, so that a player thread that calls late never meets a deleted
// lock.
#pragma once

#include "foundation/kernel/CriticalSection.h"

CriticalSection& GetMixerLock();
