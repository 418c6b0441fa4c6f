#include "plugins/netvarra/ftp/FTPStreamProvider.h"

#include <strings.h>

#include <cstdio>
#include <cstring>

#include "foundation/streams/StreamFlags.h"
#include "plugins/netvarra/ftp/FTPLogin.h"
#include "plugins/netvarra/ftp/FTPLoginDataBase.h"
#include "plugins/netvarra/ftp/FTPStream.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CFTPStreamProvider, CStreamProvider)

namespace {

constexpr DWORD kFTPCapabilities = kStreamRead | kStreamFlowing;

bool IsFtpUrl(const char* url) { return url && strncasecmp(url, "ftp://", 6) == 0; }

}  // namespace

bool ResolveFTPUrl(const char* url, bool needPath, CFTPLoginDataBase* logins, const std::string& anonymousPassword,
                   const char* proxyHost, int proxyPort, FTPTarget& target) {
  target = FTPTarget{};
  if (!IsFtpUrl(url)) return false;
  const std::string rest(url + 6);
  const size_t slash = rest.find('/');
  if (needPath && (slash == std::string::npos || slash == 0)) return false;
  std::string hostPart = rest.substr(0, slash);
  const std::string path = slash == std::string::npos ? "" : rest.substr(slash + 1);
  std::string user, password;
  const size_t at = hostPart.find('@');
  if (at != std::string::npos) {
    user = hostPart.substr(0, at);
    hostPart = hostPart.substr(at + 1);
    const size_t colon = user.find(':');
    if (colon != std::string::npos) {
      password = user.substr(colon + 1);
      user = user.substr(0, colon);
    }
  }
  if (hostPart.empty()) return false;
  std::string connectHost = hostPart;
  CFTPLogin login;
  const bool found = logins && logins->Lookup(hostPart.c_str(), login);
  if (found) connectHost = login.host.c_str();
  if (user.empty()) {
    if (found && !login.user.IsEmpty()) {
      user = login.user.c_str();
      password = login.password.c_str();
    } else {
      user = "anonymous";
      password = anonymousPassword;
    }
  }
  if (proxyHost && *proxyHost) {
    user += "@" + connectHost;
    char proxy[300];
    std::snprintf(proxy, sizeof proxy, "%.255s:%d", proxyHost, proxyPort == -1 ? 8021 : proxyPort);
    connectHost = proxy;
  }
  target.url = "ftp://" + connectHost + (path.empty() ? "" : "/" + path);
  target.user = user;
  target.password = password;
  return true;
}

CFTPStreamProvider::CFTPStreamProvider() : m_DefaultPassword("guest@here.nt") {}

void CFTPStreamProvider::SetConnectionManager(CFTPConnectionManager* pool) {
  CriticalSectionLock lock(m_Lock);
  m_Pool = pool;
}

void CFTPStreamProvider::SetLoginDataBase(CFTPLoginDataBase* logins) {
  CriticalSectionLock lock(m_Lock);
  m_Logins = logins;
}

void CFTPStreamProvider::SetDefaultPassword(const char* password) {
  CriticalSectionLock lock(m_Lock);
  m_DefaultPassword = password ? password : "";
}

bool CFTPStreamProvider::CanOpen(const char* url, DWORD flags, StreamOpenAnswer& answer) {
  if (!IsFtpUrl(url) || (flags & kStreamWrite)) return false;
  const char* slash = std::strchr(url + 6, '/');
  if (!slash || slash == url + 6) return false;
  answer = StreamOpenAnswer{kFTPCapabilities, 5000, 2000};
  return true;
}

CStream* CFTPStreamProvider::Open(const char* url, DWORD flags) { return OpenEx(url, flags, nullptr, -1, 30000); }

CStream* CFTPStreamProvider::OpenEx(const char* url, DWORD flags, const char* proxyHost, int proxyPort,
                                    DWORD timeoutMs) {
  if (!IsFtpUrl(url) || (flags & kStreamCreationMask) != kStreamOpenExistingToo || (flags & kStreamWrite))
    return nullptr;
  FTPTarget target;
  CFTPConnectionManager* pool;
  {
    CriticalSectionLock lock(m_Lock);
    if (!ResolveFTPUrl(url, true, m_Logins, m_DefaultPassword, proxyHost, proxyPort, target)) return nullptr;
    pool = m_Pool;
  }
  if (!pool) return nullptr;
  auto* stream = new CFTPStream;
  try {
    if (stream->Open(target.url.c_str(), target.user.c_str(), target.password.c_str(), true, pool, timeoutMs, true))
      return stream;
  } catch (...) {
    delete stream;
    throw;
  }
  delete stream;
  return nullptr;
}
