// The blocking host lookup of the sockets: by address for a dotted IPv4
// text, else by name. Null when the lookup fails (WSAGetLastError tells
// why); the entry belongs to the calling thread until its next lookup.
#pragma once

#include <winsock.h>

HOSTENT* ResolveHostBlocking(const char* host);
