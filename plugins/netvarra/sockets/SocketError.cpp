#include "plugins/netvarra/sockets/SocketError.h"

#include <iterator>

#include "foundation/errors/LocalText.h"
#include "foundation/kernel/MemoryError.h"

TWL_IMPLEMENT_CLASS(CSocketError, CError)

namespace {

struct CodeText {
  int code;
  const char* key;
  const char* text;
};

// The texts are what users see; keep them as they stand (10101's text
// begins with another number, as it always has).
constexpr CodeText kCodeTexts[] = {
    {10004, "CSocketError.WSAEINTR", "(10004) Interrupted function call."},
    {10013, "CSocketError.WSAEACCES",
     "(10013) Permission denied. An attempt was made to access a socket in a way forbidden by its access "
     "permissions."},
    {10014, "CSocketError.WSAEFAULT", "(10014) Bad address."},
    {10022, "CSocketError.WSAEINVAL", "(10022) Invalid argument."},
    {10024, "CSocketError.WSAEMFILE", "(10024) Too many open files."},
    {10035, "CSocketError.WSAEWOULDBLOCK", "(10035) Resource temporarily unavailable."},
    {10036, "CSocketError.WSAEINPROGRESS", "(10036) Operation now in progress."},
    {10037, "CSocketError.WSAEALREADY", "(10037) Operation already in progress."},
    {10038, "CSocketError.WSAENOTSOCK", "(10038) Socket operation on non-socket."},
    {10039, "CSocketError.WSAEDESTADDRREQ", "(10039) Destination address required."},
    {10040, "CSocketError.WSAEMSGSIZE", "(10040) Message too long."},
    {10041, "CSocketError.WSAEPROTOTYPE", "(10041) Protocol wrong type for socket."},
    {10042, "CSocketError.WSAENOPROTOOPT", "(10042) Bad protocol option."},
    {10043, "CSocketError.WSAEPROTONOSUPPORT", "(10043) Protocol not supported."},
    {10044, "CSocketError.WSAESOCKTNOSUPPORT", "(10044) Socket type not supported."},
    {10045, "CSocketError.WSAEOPNOTSUPP", "(10045) Operation not supported."},
    {10046, "CSocketError.WSAEPFNOSUPPORT", "(10046) Protocol family not supported."},
    {10047, "CSocketError.WSAEAFNOSUPPORT", "(10047) Address family not supported by protocol family."},
    {10048, "CSocketError.WSAEADDRINUSE", "(10048) Address already in use."},
    {10049, "CSocketError.WSAEADDRNOTAVAIL", "(10049) Cannot assign requested address."},
    {10050, "CSocketError.WSAENETDOWN", "(10050) Network is down."},
    {10051, "CSocketError.WSAENETUNREACH", "(10051) Network is unreachable."},
    {10052, "CSocketError.WSAENETRESET", "(10052) Network dropped connection on reset."},
    {10053, "CSocketError.WSAECONNABORTED", "(10053) Software caused connection abort."},
    {10054, "CSocketError.WSAECONNRESET", "(10054) Connection reset by peer."},
    {10055, "CSocketError.WSAENOBUFS", "(10055) No buffer space available."},
    {10056, "CSocketError.WSAEISCONN", "(10056) Socket is already connected."},
    {10057, "CSocketError.WSAENOTCONN", "(10057) Socket is not connected."},
    {10058, "CSocketError.WSAESHUTDOWN", "(10058) Cannot send after socket shutdown."},
    {10060, "CSocketError.WSAETIMEDOUT", "(10060) Connection timed out."},
    {10061, "CSocketError.WSAECONNREFUSED", "(10061) Connection refused."},
    {10064, "CSocketError.WSAEHOSTDOWN", "(10064) Host is down."},
    {10065, "CSocketError.WSAEHOSTUNREACH", "(10065) No route to host."},
    {10067, "CSocketError.WSAEPROCLIM", "(10067) Too many processes."},
    {10091, "CSocketError.WSASYSNOTREADY", "(10091) Network subsystem is unavailable."},
    {10092, "CSocketError.WSAVERNOTSUPPORTED", "(10092) WINSOCK.DLL version out of range."},
    {10093, "CSocketError.WSANOTINITIALISED", "(10093) Successful WSAStartup not yet performed."},
    {10101, "CSocketError.WSAEDISCON", "(10094) Graceful shutdown in progress."},
    {11001, "CSocketError.WSAHOST_NOT_FOUND", "(11001) Host not found."},
    {11002, "CSocketError.WSATRY_AGAIN", "(11002) Non-authoritative host not found."},
    {11003, "CSocketError.WSANO_RECOVERY", "(11003) This is a non-recoverable error."},
    {11004, "CSocketError.WSANO_DATA", "(11004) Valid name, no data record of requested type."},
};

CStr ComposeText(int code, const CStr& context) {
  if (code == -1) return context;
  if (context.IsEmpty()) return CSocketError::GetCodeText(code);
  return context + " (" + CSocketError::GetCodeText(code) + ")";
}

}  // namespace

CSocketError::CSocketError(int code, const CStr& context)
    : CError(LocalText("CSocketError.Caption", "Socket error"), ComposeText(code, context)),
      m_Code(code),
      m_Context(context) {}

CSocketError::CSocketError(const CStr& caption, const CStr& text, int code, const CStr& context)
    : CError(caption, text), m_Code(code), m_Context(context) {}

CError* CSocketError::Clone() const {
  CError* copy = new CSocketError(GetCaption(), GetText(), m_Code, m_Context);
  return copy ? copy : &GetOutOfMemoryError();
}

CStr CSocketError::GetCodeText(int code) {
  for (const CodeText& row : kCodeTexts)
    if (row.code == code) return LocalText(row.key, row.text);
  return LocalText("CSocketError.Unknown", "An unknown error occurred.");
}
