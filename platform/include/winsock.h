// Windows Sockets 1.1 as the platform layer provides it: TCP sockets whose
// events arrive as window messages (WSAAsyncSelect), host lookups answered
// by window messages (WSAAsyncGetHost*), and the blocking calls.
//
// The layer exports the WSA* names and closesocket under their own names.
// The calls that share a name with the C library's socket, resolver and
// byte-order functions are exported under names of the layer's own
// (TwlWs*) and mapped here by inline functions of C++ linkage, so that the
// layer never takes those names over from other libraries of the process.
// A file that includes this header therefore includes no system socket
// header (<sys/socket.h>, <netinet/in.h>, <arpa/inet.h>, <netdb.h>).
#pragma once

#include <windows.h>

typedef UINT_PTR SOCKET;
#define INVALID_SOCKET (static_cast<SOCKET>(~static_cast<SOCKET>(0)))
#define SOCKET_ERROR (-1)

#define AF_UNSPEC 0
#define AF_INET 2
#define PF_INET AF_INET
#define SOCK_STREAM 1
#define IPPROTO_TCP 6

#define MSG_PEEK 0x2
#define SD_RECEIVE 0
#define SD_SEND 1
#define SD_BOTH 2

#define INADDR_ANY 0x00000000u
#define INADDR_NONE 0xFFFFFFFFu

// Network event bits of WSAAsyncSelect; a notice's lParam is one bit in the
// low word and the Winsock error code (0 for success) in the high word.
#define FD_READ 0x01
#define FD_WRITE 0x02
#define FD_OOB 0x04
#define FD_ACCEPT 0x08
#define FD_CONNECT 0x10
#define FD_CLOSE 0x20
#define WSAGETSELECTEVENT(lParam) (static_cast<WORD>(static_cast<DWORD>(lParam) & 0xFFFF))
#define WSAGETSELECTERROR(lParam) (static_cast<WORD>(static_cast<DWORD>(lParam) >> 16))
// A lookup's reply: the length of the host entry (or the length needed) in
// the low word, the Winsock error code in the high word.
#define WSAGETASYNCBUFLEN(lParam) (static_cast<WORD>(static_cast<DWORD>(lParam) & 0xFFFF))
#define WSAGETASYNCERROR(lParam) (static_cast<WORD>(static_cast<DWORD>(lParam) >> 16))
#define MAXGETHOSTSTRUCT 1024

// Winsock error codes.
#define WSABASEERR 10000
#define WSAEINTR 10004
#define WSAEBADF 10009
#define WSAEACCES 10013
#define WSAEFAULT 10014
#define WSAEINVAL 10022
#define WSAEMFILE 10024
#define WSAEWOULDBLOCK 10035
#define WSAEINPROGRESS 10036
#define WSAEALREADY 10037
#define WSAENOTSOCK 10038
#define WSAEDESTADDRREQ 10039
#define WSAEMSGSIZE 10040
#define WSAEPROTOTYPE 10041
#define WSAENOPROTOOPT 10042
#define WSAEPROTONOSUPPORT 10043
#define WSAESOCKTNOSUPPORT 10044
#define WSAEOPNOTSUPP 10045
#define WSAEPFNOSUPPORT 10046
#define WSAEAFNOSUPPORT 10047
#define WSAEADDRINUSE 10048
#define WSAEADDRNOTAVAIL 10049
#define WSAENETDOWN 10050
#define WSAENETUNREACH 10051
#define WSAENETRESET 10052
#define WSAECONNABORTED 10053
#define WSAECONNRESET 10054
#define WSAENOBUFS 10055
#define WSAEISCONN 10056
#define WSAENOTCONN 10057
#define WSAESHUTDOWN 10058
#define WSAETIMEDOUT 10060
#define WSAECONNREFUSED 10061
#define WSAEHOSTDOWN 10064
#define WSAEHOSTUNREACH 10065
#define WSAEPROCLIM 10067
#define WSASYSNOTREADY 10091
#define WSAVERNOTSUPPORTED 10092
#define WSANOTINITIALISED 10093
#define WSAEDISCON 10101
#define WSAHOST_NOT_FOUND 11001
#define WSATRY_AGAIN 11002
#define WSANO_RECOVERY 11003
#define WSANO_DATA 11004

// An IPv4 address in network byte order, readable as four bytes.
struct in_addr {
  union {
    struct {
      UCHAR s_b1, s_b2, s_b3, s_b4;
    } S_un_b;
    ULONG S_addr;
  } S_un;
};
typedef struct in_addr IN_ADDR;

struct sockaddr {
  USHORT sa_family;
  CHAR sa_data[14];
};
typedef struct sockaddr SOCKADDR;
typedef struct sockaddr* LPSOCKADDR;

// 16 bytes: family, port and address in network byte order, zeros.
struct sockaddr_in {
  SHORT sin_family;
  USHORT sin_port;
  struct in_addr sin_addr;
  CHAR sin_zero[8];
};
typedef struct sockaddr_in SOCKADDR_IN;

// A host entry: name, aliases (a null-ended list), address type and length,
// and a null-ended list of pointers to the addresses (network byte order).
struct hostent {
  char* h_name;
  char** h_aliases;
  SHORT h_addrtype;
  SHORT h_length;
  char** h_addr_list;
};
typedef struct hostent HOSTENT;
typedef struct hostent* LPHOSTENT;

typedef struct WSAData {
  WORD wVersion;
  WORD wHighVersion;
  char szDescription[257];
  char szSystemStatus[129];
  USHORT iMaxSockets;
  USHORT iMaxUdpDg;
  char* lpVendorInfo;
} WSADATA, *LPWSADATA;

// Version 1.0 and 1.1 are offered (answered with at most 1.1); a request
// below 1.0 fails with WSAVERNOTSUPPORTED. Every other call but
// WSAGetLastError fails with WSANOTINITIALISED until a WSAStartup
// succeeded; the layer never needs a WSACleanup.
TWLAPI int WSAStartup(WORD versionRequested, LPWSADATA data);
// The calling thread's last Winsock error (the same word as GetLastError).
TWLAPI int WSAGetLastError();

// Makes the socket non-blocking and posts `message` to `window` for each
// event of `events` (FD_* bits), wParam the socket. Events 0 (or no window)
// stop the notices. Re-enabling: FD_READ after each recv while data is
// left, FD_WRITE after a send answered WSAEWOULDBLOCK once space frees,
// FD_ACCEPT after each accept; FD_CONNECT and FD_CLOSE once.
TWLAPI int WSAAsyncSelect(SOCKET socket, HWND window, UINT message, LONG events);

// Looks a name up (IPv4) on a thread of the layer's own and posts
// `message` to `window` with wParam the returned request handle and lParam
// the entry's length | error << 16, the entry written into `buffer`
// (WSAENOBUFS with the length needed when it does not fit). By address:
// the address itself is the answer, its dotted text the name. Null on
// failure. After WSACancelAsyncRequest returned 0 no reply follows and the
// buffer is never written.
TWLAPI HANDLE WSAAsyncGetHostByName(HWND window, UINT message, const char* name, char* buffer, int bufferLength);
TWLAPI HANDLE WSAAsyncGetHostByAddr(HWND window, UINT message, const char* address, int length, int type,
                                    char* buffer, int bufferLength);
TWLAPI int WSACancelAsyncRequest(HANDLE request);

TWLAPI int closesocket(SOCKET socket);

// The layer's exports behind the calls below.
TWLAPI SOCKET TwlWsSocket(int family, int type, int protocol);
TWLAPI int TwlWsConnect(SOCKET socket, const struct sockaddr* address, int length);
TWLAPI int TwlWsBind(SOCKET socket, const struct sockaddr* address, int length);
TWLAPI int TwlWsListen(SOCKET socket, int backlog);
TWLAPI SOCKET TwlWsAccept(SOCKET socket, struct sockaddr* address, int* length);
TWLAPI int TwlWsRecv(SOCKET socket, char* buffer, int length, int flags);
TWLAPI int TwlWsSend(SOCKET socket, const char* buffer, int length, int flags);
TWLAPI int TwlWsShutdown(SOCKET socket, int how);
TWLAPI int TwlWsGetSockName(SOCKET socket, struct sockaddr* address, int* length);
TWLAPI int TwlWsGetPeerName(SOCKET socket, struct sockaddr* address, int* length);
TWLAPI struct hostent* TwlWsGetHostByName(const char* name);
TWLAPI struct hostent* TwlWsGetHostByAddr(const char* address, int length, int type);
TWLAPI int TwlWsGetHostName(char* name, int length);
TWLAPI ULONG TwlWsInetAddr(const char* text);

inline SOCKET socket(int family, int type, int protocol) { return TwlWsSocket(family, type, protocol); }
inline int connect(SOCKET s, const struct sockaddr* address, int length) { return TwlWsConnect(s, address, length); }
inline int bind(SOCKET s, const struct sockaddr* address, int length) { return TwlWsBind(s, address, length); }
inline int listen(SOCKET s, int backlog) { return TwlWsListen(s, backlog); }
inline SOCKET accept(SOCKET s, struct sockaddr* address, int* length) { return TwlWsAccept(s, address, length); }
// Never raises SIGPIPE: a send to a closed peer fails with WSAECONNRESET.
inline int send(SOCKET s, const char* buffer, int length, int flags) { return TwlWsSend(s, buffer, length, flags); }
inline int recv(SOCKET s, char* buffer, int length, int flags) { return TwlWsRecv(s, buffer, length, flags); }
inline int shutdown(SOCKET s, int how) { return TwlWsShutdown(s, how); }
inline int getsockname(SOCKET s, struct sockaddr* address, int* length) { return TwlWsGetSockName(s, address, length); }
inline int getpeername(SOCKET s, struct sockaddr* address, int* length) { return TwlWsGetPeerName(s, address, length); }
// The returned entry belongs to the calling thread until its next lookup.
inline struct hostent* gethostbyname(const char* name) { return TwlWsGetHostByName(name); }
inline struct hostent* gethostbyaddr(const char* address, int length, int type) {
  return TwlWsGetHostByAddr(address, length, type);
}
// Fails with WSAEFAULT when the name and its terminating zero do not fit.
// The length is an int, as Winsock has it.
inline int gethostname(char* name, int length) { return TwlWsGetHostName(name, length); }
// A dotted IPv4 address ("a.b.c.d", or the shorter forms a.b.c, a.b and a,
// each part decimal, octal or hex) in network byte order; INADDR_NONE for
// any other text.
inline ULONG inet_addr(const char* text) { return TwlWsInetAddr(text); }

inline USHORT htons(USHORT value) { return static_cast<USHORT>((value << 8) | (value >> 8)); }
inline USHORT ntohs(USHORT value) { return htons(value); }
inline ULONG htonl(ULONG value) { return __builtin_bswap32(value); }
inline ULONG ntohl(ULONG value) { return htonl(value); }
