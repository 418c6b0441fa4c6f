#include "playback/proxy/ProxyInfo.h"

#include <strings.h>

#include <new>

#include "foundation/kernel/Error.h"
#include "playback/proxy/ProxyDataFormat.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CProxyInfo, CTypedObject)

CProxyType* CProxyInfo::FindType(const char* name, LONG* index) const {
  if (index) *index = kNoType;
  if (!name) return nullptr;
  for (size_t i = 0; i < m_Types.size(); ++i) {
    if (strcasecmp(m_Types[i]->GetName().c_str(), name) != 0) continue;
    if (index) *index = static_cast<LONG>(i);
    return m_Types[i].get();
  }
  return nullptr;
}

CProxyType& CProxyInfo::AddType(const char* name) {
  std::unique_ptr<CProxyType> type(new (std::nothrow) CProxyType);
  if (!type) ThrowMemoryError();
  type->SetName(name);
  m_Types.push_back(std::move(type));
  return *m_Types.back();
}

CProxyType* CProxyInfo::GetType(LONG index) const {
  if (index < 0 || static_cast<size_t>(index) >= m_Types.size()) return nullptr;
  return m_Types[static_cast<size_t>(index)].get();
}

void CProxyInfo::ClearTypes() { m_Types.clear(); }

void CProxyInfo::Select(LONG typeIndex, const char* server, LONG port) {
  if (!GetType(typeIndex)) {
    SelectNone();
    return;
  }
  m_SelectedType = typeIndex;
  m_Server = server;
  m_Port = port;
}

void CProxyInfo::SelectNone() {
  m_SelectedType = kNoType;
  m_Server = CStr();
  m_Port = kNoPort;
  m_Option = true;
}

void CProxyInfo::Load(CStream& stream) {
  const CStr typeName = proxydata::ReadText(stream);
  if (typeName.IsEmpty()) {
    SelectNone();
    return;
  }
  const CStr server = proxydata::ReadText(stream);
  const LONG port = static_cast<LONG>(proxydata::ReadWord(stream));
  const DWORD option = proxydata::ReadWord(stream);
  LONG index = kNoType;
  if (!FindType(typeName.c_str(), &index)) return;
  m_SelectedType = index;
  m_Server = server;
  m_Port = port;
  m_Option = (option & 1) != 0;
}

void CProxyInfo::Save(CStream& stream) const {
  proxydata::WriteText(stream, m_Protocol);
  const CProxyType* type = GetType(m_SelectedType);
  if (!type) {
    proxydata::WriteText(stream, CStr());
    return;
  }
  proxydata::WriteText(stream, type->GetName());
  proxydata::WriteText(stream, m_Server);
  proxydata::WriteWord(stream, static_cast<DWORD>(m_Port));
  proxydata::WriteWord(stream, m_Option ? 1 : 0);
}
