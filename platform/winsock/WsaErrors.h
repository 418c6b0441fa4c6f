// Winsock error codes for the failures of the system's socket and resolver
// calls.
#pragma once

namespace twl::winsock {

// An errno value as the Winsock code a Windows caller tests for (EAGAIN and
// EINPROGRESS are WSAEWOULDBLOCK).
int WsaCodeFromErrno(int error);
// A getaddrinfo result (EAI_*) as a Winsock lookup code.
int WsaCodeFromLookup(int result);

// Sets the calling thread's Winsock error and answers SOCKET_ERROR (-1).
int FailWith(int code);

}  // namespace twl::winsock
