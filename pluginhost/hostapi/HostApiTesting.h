// For tests: which slots of the host API table are placeholders, and how
// many host heap blocks are alive (to prove that every text crossing the
// boundary is freed exactly once).
#pragma once

#include <cstddef>
#include <vector>

// Slots that hold the placeholder of services this host does not offer
// yet.
bool IsHostApiPlaceholder(size_t slot);
// All of them, in slot order.
std::vector<size_t> GetHostApiPlaceholderSlots();

// Blocks from HOST_Alloc and HOST_AllocString not yet freed.
long GetLiveHostBlockCount();

// The next `count` host heap allocations fail, as when memory runs out.
void FailNextHostAllocations(int count);
