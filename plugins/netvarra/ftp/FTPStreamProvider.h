// CFTPStreamProvider: opens ftp:// URLs as CFTPStream objects. A saved
// server's alias or host gives the server and its login; without a user
// the login is anonymous; a user@host proxy is reached with the user
// "user@server".
#pragma once

#include <string>

#include "foundation/kernel/CriticalSection.h"
#include "foundation/streams/StreamProvider.h"

class CFTPConnectionManager;
class CFTPLoginDataBase;

// The URL to connect to, user and password for `url` (steps shared with
// folder listings); false when the URL names no host, or (`needPath`) has
// no "/" after it.
struct FTPTarget {
  std::string url, user, password;
};
bool ResolveFTPUrl(const char* url, bool needPath, CFTPLoginDataBase* logins, const std::string& anonymousPassword,
                   const char* proxyHost, int proxyPort, FTPTarget& target);

class CFTPStreamProvider : public CStreamProvider {
  TWL_DECLARE_CLASS(CFTPStreamProvider)
 public:
  CFTPStreamProvider();

  void SetConnectionManager(CFTPConnectionManager* pool);
  void SetLoginDataBase(CFTPLoginDataBase* logins);
  void SetDefaultPassword(const char* password);

  bool CanOpen(const char* url, DWORD flags, StreamOpenAnswer& answer) override;
  CStream* Open(const char* url, DWORD flags) override;
  // A stream, or null when the flags or the URL do not suit; errors of
  // starting are thrown. `proxyHost` empty or null: none; port -1: 8021.
  CStream* OpenEx(const char* url, DWORD flags, const char* proxyHost, int proxyPort, DWORD timeoutMs);

 private:
  CriticalSection m_Lock;
  CFTPConnectionManager* m_Pool = nullptr;
  CFTPLoginDataBase* m_Logins = nullptr;
  std::string m_DefaultPassword;
};
