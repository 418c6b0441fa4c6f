#include "plugins/netvarra/sockets/ResolveHost.h"

HOSTENT* ResolveHostBlocking(const char* host) {
  const ULONG address = inet_addr(host);
  if (address != INADDR_NONE) return gethostbyaddr(reinterpret_cast<const char*>(&address), 4, AF_INET);
  return gethostbyname(host);
}
