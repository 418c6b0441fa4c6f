#include "playback/proxy/ProxyDataBase.h"

#include <strings.h>

#include <new>

#include "foundation/errors/ThreadErrorState.h"
#include "foundation/kernel/Error.h"
#include "playback/proxy/ProxyDataFormat.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CProxyDataBase, CTypedObject)

CProxyInfo* CProxyDataBase::Find(const char* protocol) {
  if (!protocol) return nullptr;
  CriticalSectionLock lock(m_Lock);
  for (const auto& info : m_Infos)
    if (strcasecmp(info->GetProtocol().c_str(), protocol) == 0) return info.get();
  return nullptr;
}

CProxyInfo& CProxyDataBase::GetOrAdd(const char* protocol) {
  CriticalSectionLock lock(m_Lock);
  if (CProxyInfo* info = Find(protocol)) return *info;
  std::unique_ptr<CProxyInfo> info(new (std::nothrow) CProxyInfo);
  if (!info) ThrowMemoryError();
  info->SetProtocol(protocol);
  m_Infos.push_back(std::move(info));
  return *m_Infos.back();
}

void CProxyDataBase::Clear() {
  CriticalSectionLock lock(m_Lock);
  m_Infos.clear();
}

DWORD CProxyDataBase::GetCount() {
  CriticalSectionLock lock(m_Lock);
  return static_cast<DWORD>(m_Infos.size());
}

CProxyInfo* CProxyDataBase::GetInfo(DWORD index) {
  CriticalSectionLock lock(m_Lock);
  return index < m_Infos.size() ? m_Infos[index].get() : nullptr;
}

bool CProxyDataBase::RegisterProxyType(const char* protocol, const char* typeName, LONG defaultPort) {
  if (!protocol || !*protocol || !typeName || !*typeName) {
    SetThreadError(THREAD_ERROR_MISC, MISC_ERROR_INVALID_PARAM, GetMiscErrorText(MISC_ERROR_INVALID_PARAM));
    return false;
  }
  CriticalSectionLock lock(m_Lock);
  CProxyInfo& info = GetOrAdd(protocol);
  CProxyType* type = info.FindType(typeName);
  if (!type) type = &info.AddType(typeName);
  type->SetDefaultPort(defaultPort);
  return true;
}

ProxySetting CProxyDataBase::GetProxy(const char* protocol) {
  CriticalSectionLock lock(m_Lock);
  ProxySetting setting;
  const CProxyInfo* info = Find(protocol);
  const CProxyType* type = info ? info->GetType(info->GetSelectedType()) : nullptr;
  if (!type) return setting;
  setting.hasType = true;
  setting.typeName = type->GetName();
  setting.server = info->GetServer();
  setting.port = info->GetPort() == CProxyInfo::kNoPort ? type->GetDefaultPort() : info->GetPort();
  setting.option = info->GetOption() ? 1 : 0;
  return setting;
}

void CProxyDataBase::Load(CStream& stream) {
  CriticalSectionLock lock(m_Lock);
  const DWORD count = proxydata::ReadWord(stream);
  for (DWORD i = 0; i < count; ++i) {
    const CStr protocol = proxydata::ReadText(stream);
    if (CProxyInfo* info = Find(protocol.c_str())) {
      info->Load(stream);
      continue;
    }
    CProxyInfo dropped;
    dropped.Load(stream);
  }
}

void CProxyDataBase::Save(CStream& stream) {
  CriticalSectionLock lock(m_Lock);
  proxydata::WriteWord(stream, static_cast<DWORD>(m_Infos.size()));
  for (const auto& info : m_Infos) info->Save(stream);
}
