// The system does not promise that flock converts a lock (shared to
// exclusive or back) atomically: it may drop the old lock before granting
// the new one, and another process may take the lock in between. Current
// kernels mostly convert at once; this test program's own flock, which
// the platform layer's calls reach too, can take that gap on purpose so
// that tests meet everything the system allows.
#pragma once

namespace kerneltest {

// From now on in this process, every conversion drops the old lock and
// waits a little before asking for the new one.
void SplitFlockConversions();

}  // namespace kerneltest
