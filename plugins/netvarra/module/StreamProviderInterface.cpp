#include "plugins/netvarra/module/StreamProviderInterface.h"

#include <strings.h>

#include <cstring>
#include <memory>

#include "foundation/streams/Stream.h"
#include "foundation/streams/StreamError.h"
#include "plugins/netvarra/ftp/FTPStreamProvider.h"
#include "plugins/netvarra/http/HTTPStream.h"
#include "plugins/netvarra/module/Module.h"

namespace netvarra {
namespace {

constexpr DWORD kSharingBits = STREAM_ABI_NOREAD_SHARING | STREAM_ABI_NOWRITE_SHARING;

// The providers, in the order they are asked; they exist between
// OBJECT_Init and OBJECT_Exit.
std::unique_ptr<CHTTPStreamProvider> g_HTTPProvider;
std::unique_ptr<CFTPStreamProvider> g_FTPProvider;

const StreamProviderInterface& Table();

DWORD InvertSharing(DWORD flags) { return flags ^ kSharingBits; }

bool HasPrefix(const char* url, const char* prefix) { return strncasecmp(url, prefix, std::strlen(prefix)) == 0; }

bool IsType(const HostProxyInfo& proxy, const char* name) {
  return proxy.typeName && strcasecmp(proxy.typeName, name) == 0;
}

bool HasType(const HostProxyInfo& proxy) { return proxy.typeName && *proxy.typeName; }

// The host's proxy setting of a protocol, freed when it goes.
class ProxySetting {
 public:
  explicit ProxySetting(const char* protocol) {
    m_Valid = g_Host->HOST_GetProxy(protocol, &m_Info, const_cast<StreamProviderInterface*>(&Table())) != FALSE;
  }
  ~ProxySetting() {
    if (m_Valid) g_Host->HOST_FreeProxyInfo(&m_Info);
  }
  ProxySetting(const ProxySetting&) = delete;
  ProxySetting& operator=(const ProxySetting&) = delete;

  bool IsValid() const { return m_Valid; }
  const HostProxyInfo& Info() const { return m_Info; }

 private:
  HostProxyInfo m_Info{nullptr, nullptr, -1, FALSE};
  bool m_Valid = false;
};

CStream* Stream(PLUGIN_STREAM handle) { return reinterpret_cast<CStream*>(handle); }

// ---------------------------------------------------------------------------
// Head

char* GetName() { return g_Host->HOST_AllocString("Netvarra (HTTP and FTP)"); }

char* GetDescription() {
  return g_Host->HOST_AllocString(
      "Provides support for the HTTP and FTP transfer protocols for file access on internet servers.");
}

BOOL Init() {
  if (!ModuleStart()) return FALSE;
  const BOOL made = Reporting(FALSE, [] {
    g_HTTPProvider = std::make_unique<CHTTPStreamProvider>();
    g_FTPProvider = std::make_unique<CFTPStreamProvider>();
    g_FTPProvider->SetConnectionManager(&FTPConnections());
    g_FTPProvider->SetLoginDataBase(&FTPLogins());
    g_FTPProvider->SetDefaultPassword(kAnonymousPassword);
    return TRUE;
  });
  if (!made) ModuleStop();
  return made;
}

void Exit() {
  g_HTTPProvider.reset();
  g_FTPProvider.reset();
  ModuleStop();
}

// ---------------------------------------------------------------------------
// Provider

BOOL RegisterProxyTypes(HOST_PROXYTYPELIST list) {
  PLUGIN_HANDLE caller = const_cast<StreamProviderInterface*>(&Table());
  g_Host->HOST_RegisterProxyType(list, "http", "HTTP", 8080, caller);
  g_Host->HOST_RegisterProxyType(list, "ftp", "user@host", 8021, caller);
  g_Host->HOST_RegisterProxyType(list, "ftp", "HTTP", 8080, caller);
  return TRUE;
}

// The URL the providers are asked about, after the proxy check; false when
// the proxy setting rules the URL out.
bool UrlToOffer(const char* url, CStr& offered) {
  offered = url;
  if (HasPrefix(url, "ftp://")) {
    ProxySetting proxy("ftp");
    if (!proxy.IsValid()) return false;
    if (!HasType(proxy.Info())) return true;
    if (IsType(proxy.Info(), "HTTP")) {
      offered = CStr::Format("http://%s", url);
      return true;
    }
    return IsType(proxy.Info(), "user@host");
  }
  if (HasPrefix(url, "http://")) {
    ProxySetting proxy("http");
    return proxy.IsValid() && (!HasType(proxy.Info()) || IsType(proxy.Info(), "HTTP"));
  }
  return true;
}

BOOL CanOpen(const char* url, DWORD flags, DWORD* answer) {
  return Reporting(FALSE, [&]() -> BOOL {
    if (!url || !answer || !g_HTTPProvider) return FALSE;
    CStr offered;
    if (!UrlToOffer(url, offered)) return FALSE;
    StreamOpenAnswer found{0, 0, 0};
    CStreamProvider& provider = HasPrefix(offered, "ftp://") ? static_cast<CStreamProvider&>(*g_FTPProvider)
                                                              : static_cast<CStreamProvider&>(*g_HTTPProvider);
    if (!provider.CanOpen(offered, InvertSharing(flags), found)) return FALSE;
    answer[0] = InvertSharing(found.capabilities);
    answer[1] = found.transferRate;
    answer[2] = found.delay;
    return TRUE;
  });
}

CStream* OpenRouted(const char* url, DWORD flags, DWORD timeout) {
  if (HasPrefix(url, "ftp://")) {
    ProxySetting proxy("ftp");
    if (!proxy.IsValid()) return nullptr;
    const HostProxyInfo& info = proxy.Info();
    if (!HasType(info)) return g_FTPProvider->OpenEx(url, flags, nullptr, -1, timeout);
    if (IsType(info, "user@host")) return g_FTPProvider->OpenEx(url, flags, info.host, info.port, timeout);
    if (IsType(info, "HTTP")) return g_HTTPProvider->OpenEx(url, flags, info.host, info.port, false, timeout);
    return nullptr;
  }
  if (HasPrefix(url, "http://")) {
    ProxySetting proxy("http");
    if (!proxy.IsValid()) return nullptr;
    const HostProxyInfo& info = proxy.Info();
    const bool ignoreLocal = (info.option & 1) != 0;
    if (!HasType(info)) return g_HTTPProvider->OpenEx(url, flags, nullptr, -1, ignoreLocal, timeout);
    if (IsType(info, "HTTP")) return g_HTTPProvider->OpenEx(url, flags, info.host, info.port, ignoreLocal, timeout);
  }
  return nullptr;
}

PLUGIN_STREAM Open(const char* url, DWORD flags) {
  return Reporting(PLUGIN_STREAM{0}, [&]() -> PLUGIN_STREAM {
    if (!url || !g_HTTPProvider) return 0;
    const DWORD timeout = g_Host->HOST_GetConnectionTimeout(const_cast<StreamProviderInterface*>(&Table()));
    return reinterpret_cast<PLUGIN_STREAM>(OpenRouted(url, InvertSharing(flags), timeout));
  });
}

// ---------------------------------------------------------------------------
// Streams

template <class Call>
BOOL StreamCall(PLUGIN_STREAM handle, Call call) {
  return Reporting(FALSE, [&]() -> BOOL {
    if (!handle) return FALSE;
    call(*Stream(handle));
    return TRUE;
  });
}

// A text for the host; out of memory when it cannot be copied.
char* HostCopy(const CStr& text) {
  char* copy = g_Host->HOST_AllocString(text);
  if (!copy) g_Host->HOST_SetMiscError(HOST_MISC_OUT_OF_MEMORY);
  return copy;
}

void SetProperty(PLUGIN_STREAM stream, DWORD index, DWORD value) {
  StreamCall(stream, [&](CStream& s) { s.SetProperty(index, value); });
}

BOOL GetURL(PLUGIN_STREAM stream, char** url) {
  return Reporting(FALSE, [&]() -> BOOL {
    if (!stream || !url) return FALSE;
    CStr text;
    Stream(stream)->GetURL(text);
    *url = HostCopy(text);
    return *url ? TRUE : FALSE;
  });
}

BOOL GetCapabilities(PLUGIN_STREAM stream, DWORD* capabilities) {
  return StreamCall(stream, [&](CStream& s) {
    const DWORD value = InvertSharing(s.GetCapabilities());
    if (capabilities) *capabilities = value;
  });
}

BOOL Read(PLUGIN_STREAM stream, void* buffer, DWORD length, DWORD* read) {
  return StreamCall(stream, [&](CStream& s) {
    const DWORD count = s.Read(buffer, length);
    if (read) *read = count;
  });
}

BOOL ReadSome(PLUGIN_STREAM stream, void* buffer, DWORD length, DWORD* read) {
  return StreamCall(stream, [&](CStream& s) {
    const DWORD count = s.ReadSome(buffer, length);
    if (read) *read = count;
  });
}

BOOL Skip(PLUGIN_STREAM stream, DWORD count, DWORD* skipped) {
  return StreamCall(stream, [&](CStream& s) {
    const DWORD done = s.Skip(count);
    if (skipped) *skipped = done;
  });
}

BOOL SkipSome(PLUGIN_STREAM stream, DWORD count, DWORD* skipped) {
  return StreamCall(stream, [&](CStream& s) {
    const DWORD done = s.SkipSome(count);
    if (skipped) *skipped = done;
  });
}

LONGLONG JoinWords(DWORD low, DWORD high) {
  return static_cast<LONGLONG>((static_cast<uint64_t>(high) << 32) | low);
}

BOOL Seek(PLUGIN_STREAM stream, DWORD low, DWORD high, DWORD origin, LONGLONG* position, HANDLE abortEvent) {
  return StreamCall(stream, [&](CStream& s) {
    const LONGLONG now = s.Seek(JoinWords(low, high), origin, abortEvent);
    if (position) *position = now;
  });
}

BOOL SeekWouldWait(PLUGIN_STREAM stream, DWORD low, DWORD high, DWORD origin, BOOL* wouldWait) {
  return StreamCall(stream, [&](CStream& s) {
    const bool answer = s.SeekWouldWait(JoinWords(low, high), origin);
    if (wouldWait) *wouldWait = answer ? TRUE : FALSE;
  });
}

BOOL GetPosition(PLUGIN_STREAM stream, LONGLONG* position) {
  return StreamCall(stream, [&](CStream& s) {
    const LONGLONG now = s.GetPosition();
    if (position) *position = now;
  });
}

BOOL GetLength(PLUGIN_STREAM stream, DWORD immediate, LONGLONG* length, HANDLE abortEvent) {
  return StreamCall(stream, [&](CStream& s) {
    const LONGLONG value = s.GetLength(immediate != 0, abortEvent);
    if (length) *length = value;
  });
}

BOOL GetTransferRate(PLUGIN_STREAM stream, DWORD* rate) {
  return StreamCall(stream, [&](CStream& s) {
    const DWORD value = s.GetTransferRate();
    if (rate) *rate = value;
  });
}

BOOL GetContentType(PLUGIN_STREAM stream, DWORD* result, char** type) {
  return Reporting(FALSE, [&]() -> BOOL {
    if (!stream || !result || !type) return FALSE;
    CStr text;
    *type = nullptr;
    *result = Stream(stream)->GetContentType(text);
    if (*result != STREAM_CONTENTTYPE_GIVEN) return TRUE;
    *type = HostCopy(text);
    return *type ? TRUE : FALSE;
  });
}

BOOL IsAtEnd(PLUGIN_STREAM stream, BOOL* atEnd) {
  return StreamCall(stream, [&](CStream& s) {
    const bool answer = s.IsAtEnd();
    if (atEnd) *atEnd = answer ? TRUE : FALSE;
  });
}

BOOL HasPendingError(PLUGIN_STREAM stream) {
  return Reporting(FALSE, [&]() -> BOOL {
    if (!stream) return FALSE;
    CStreamError* error = Stream(stream)->GetPendingError();
    if (!error) return FALSE;
    g_Host->HOST_SetError(HOST_ERROR_STREAM, error->GetCode(), error->GetText());
    DisposeError(error);
    return TRUE;
  });
}

BOOL Shutdown(PLUGIN_STREAM stream) {
  return StreamCall(stream, [](CStream& s) { s.Shutdown(); });
}

BOOL Close(PLUGIN_STREAM stream) {
  return StreamCall(stream, [](CStream& s) { s.Close(); });
}

BOOL CloseNoThrow(PLUGIN_STREAM stream) {
  return StreamCall(stream, [](CStream& s) { s.CloseNoThrow(); });
}

constexpr StreamProviderInterface kTable = {
    {&GetVersion, &GetName, &Init, &Exit, &GetDescription, nullptr, nullptr, nullptr, nullptr, nullptr},
    &RegisterProxyTypes,
    &CanOpen,
    &Open,
    &SetProperty,
    &GetURL,
    &GetCapabilities,
    &Read,
    &ReadSome,
    &Skip,
    &SkipSome,
    &Seek,
    &SeekWouldWait,
    &GetPosition,
    &GetLength,
    &GetTransferRate,
    &GetContentType,
    &IsAtEnd,
    &HasPendingError,
    &Shutdown,
    &Close,
    &CloseNoThrow,
};

const StreamProviderInterface& Table() { return kTable; }

}  // namespace

const StreamProviderInterface& GetStreamProviderInterface() { return kTable; }

}  // namespace netvarra
