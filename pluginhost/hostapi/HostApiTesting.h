// For tests: which slots of the host API table are placeholders, how many
// host heap blocks are alive (to prove that every text crossing the
// boundary is freed exactly once), and how many slots run in an object a
// plug-in holds by handle.
#pragma once

#include <cstddef>
#include <vector>

#include "pluginhost/abi/PlugInAbi.h"

// Slots that hold the placeholder of services this host does not offer
// yet.
bool IsHostApiPlaceholder(size_t slot);
// All of them, in slot order.
std::vector<size_t> GetHostApiPlaceholderSlots();

// Blocks from HOST_Alloc and HOST_AllocString not yet freed.
long GetLiveHostBlockCount();

// The next `count` host heap allocations fail, as when memory runs out.
void FailNextHostAllocations(int count);

// Slots running now in the object at this handle's address, ended or not,
// so that a test can end a handle while it knows a slot is inside.
size_t CountSlotsInSoundBuffer(HOST_SOUNDBUFFER buffer);
size_t CountSlotsInStream(HOST_STREAM stream);
size_t CountSlotsInSpectrumAnalyzer(HOST_SPECTRUMANALYZER analyzer);
