// Test controls of the sockets layer (<winsock.h>): host lookups answered
// from a table instead of the system's resolver, and counts that show what
// is still open. Product code never includes this header. Thread-safe.
#pragma once

#include "types.h"

// Adds or replaces the answer for a name looked up by name (compared
// without case): `addresses` is a comma-separated list of dotted IPv4
// addresses, `error` a Winsock code (WSAHOST_NOT_FOUND, ...) that fails the
// lookup instead (0 for none), `delayMs` how long the lookup takes (a
// cancelled lookup stops waiting). While the table holds an entry, names it
// lacks fail with WSAHOST_NOT_FOUND and the system resolver is never asked.
TWLAPI void TwlTestSetHostAnswer(LPCSTR name, LPCSTR addresses, int error, DWORD delayMs);
// Empties the table: lookups go to the system's resolver again.
TWLAPI void TwlTestClearHostAnswers();

// Names this machine's network interfaces instead of the system:
// "name=address/mask" items separated by commas ("eth0=192.168.1.5/255.255.255.0");
// loopback addresses are left out as the system's are. Null: the system's
// again. WSAStartup writes them into the registry's TCP/IP layout, and a
// lookup of this machine's own name answers them when the resolver knows
// only a loopback address for it.
TWLAPI void TwlTestSetInterfaces(LPCSTR list);

// How the last lookup of the process was made.
#define TWL_LOOKUP_NONE 0
#define TWL_LOOKUP_BY_NAME 1
#define TWL_LOOKUP_BY_ADDRESS 2
TWLAPI DWORD TwlTestLastLookupKind();

// Sockets the layer holds open, sockets registered with the event poller,
// and lookup threads still running.
TWLAPI DWORD TwlTestOpenSocketCount();
TWLAPI DWORD TwlTestPollerRegistrationCount();
TWLAPI DWORD TwlTestLookupThreadCount();

// Runs `hook(context)` in every connect after the system's connect call and
// before the layer looks at the socket, so that a test can make the peer
// answer inside that gap. Null: none.
typedef void (*TwlTestConnectHook)(void* context);
TWLAPI void TwlTestSetConnectStartedHook(TwlTestConnectHook hook, void* context);
