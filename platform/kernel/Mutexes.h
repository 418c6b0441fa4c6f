// Mutexes: owned by one thread at a time, recursively. A mutex whose owner
// thread ends without releasing it is abandoned: the next wait that gets it
// answers WAIT_ABANDONED. Named mutexes also serialise processes: the
// process that owns one holds an exclusive flock on a file in the desktop
// folder, and the file's first byte says whether an owner holds it, so a
// process that died holding it leaves it abandoned for the next one.
#pragma once

#include "twlwin/types.h"

namespace twl {

// Called when a thread ends: every mutex it still owns becomes abandoned.
void AbandonMutexesOfThisThread();

}  // namespace twl
