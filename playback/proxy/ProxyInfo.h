// CProxyInfo: the proxy setting of one protocol: the types plug-ins
// registered for it (in registration order) and the user's choice among
// them, with the proxy's server and port and a flag handed to plug-ins
// with the setting. Protocols and type names compare without case.
//
// Threading: guarded by the lock of the proxy database that holds it.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "foundation/kernel/Str.h"
#include "foundation/kernel/TypedObject.h"
#include "playback/proxy/ProxyType.h"

class CStream;

class CProxyInfo : public CTypedObject {
  TWL_DECLARE_CLASS(CProxyInfo)
 public:
  static constexpr LONG kNoType = -1;
  static constexpr LONG kNoPort = -1;

  CProxyInfo() = default;
  CProxyInfo(const CProxyInfo&) = delete;
  CProxyInfo& operator=(const CProxyInfo&) = delete;

  const CStr& GetProtocol() const { return m_Protocol; }
  void SetProtocol(const char* protocol) { m_Protocol = protocol; }

  // The type of that name, or null; `index` (when given) gets its index or
  // kNoType.
  CProxyType* FindType(const char* name, LONG* index = nullptr) const;
  // Appends a new type of that name (default port -1).
  CProxyType& AddType(const char* name);
  DWORD GetTypeCount() const { return static_cast<DWORD>(m_Types.size()); }
  CProxyType* GetType(LONG index) const;
  // Empties the type list; the selection is left alone (the start-up
  // clears the whole database instead).
  void ClearTypes();

  // The user's choice: a type index (kNoType: no proxy), the server as
  // typed and the port (kNoPort: the type's default port).
  LONG GetSelectedType() const { return m_SelectedType; }
  const CStr& GetServer() const { return m_Server; }
  LONG GetPort() const { return m_Port; }
  bool GetOption() const { return m_Option; }
  // An index that names no type selects no proxy.
  void Select(LONG typeIndex, const char* server, LONG port);
  void SelectNone();

  // One stored setting (after its protocol): a type this info knows is
  // selected with the stored server, port and option; an empty type name
  // selects no proxy; a type no plug-in registered any more is read and
  // dropped, and the info keeps what it had.
  void Load(CStream& stream);
  // The protocol and the setting in stored form.
  void Save(CStream& stream) const;

 private:
  CStr m_Protocol;
  LONG m_SelectedType = kNoType;
  CStr m_Server;
  LONG m_Port = kNoPort;
  bool m_Option = true;
  std::vector<std::unique_ptr<CProxyType>> m_Types;
};
