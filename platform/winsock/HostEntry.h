// Lays a lookup's answer out as a Winsock host entry inside a caller's
// buffer: the entry first, then the alias list (empty), the address list,
// the addresses and the name, every pointer into the same buffer.
#pragma once

#include "HostLookup.h"

namespace twl::winsock {

// Writes the entry when it fits and answers 0; otherwise WSAENOBUFS and
// nothing written. `needed` receives the length the entry takes.
int WriteHostEntry(const HostAnswer& answer, char* buffer, int length, int* needed);

}  // namespace twl::winsock
