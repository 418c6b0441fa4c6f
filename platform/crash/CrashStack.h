// The alternate signal stack that lets a thread's crash filter run after
// the thread ran out of its own stack. Every thread the layer starts should
// call PrepareThreadForCrashes first; the stack is freed when the thread
// ends. A thread that already has an alternate stack keeps it.
#pragma once

namespace twl {

void PrepareThreadForCrashes();

}  // namespace twl
