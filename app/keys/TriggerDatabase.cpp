#include "app/keys/TriggerDatabase.h"

#include <cstring>

#include "app/keys/Trigger.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CTriggerDatabase, CTypedObject)

void CTriggerDatabase::Open(const char* path, DWORD size) {
  CriticalSectionLock lock(m_Lock);
  Close();
  m_Buffer.assign(static_cast<size_t>(size) + 2, '\0');
  m_Size = size;
  m_Path = path;
}

void CTriggerDatabase::Close() {
  CriticalSectionLock lock(m_Lock);
  m_Buffer.clear();
  m_Buffer.shrink_to_fit();
  m_Size = 0;
  m_Path = CStr();
}

bool CTriggerDatabase::LoadTrigger(CTrigger& trigger, bool clearWhenAbsent, bool* found) {
  CriticalSectionLock triggerLock(trigger.GetLock());
  const CStr section = trigger.GetCategory();
  const CStr entry = trigger.GetName();
  CriticalSectionLock lock(m_Lock);
  if (found) *found = false;
  if (m_Size == 0) return false;
  const DWORD copied =
      GetPrivateProfileStringA(section.c_str(), entry.c_str(), kNoEntry, m_Buffer.data(), m_Size, m_Path.c_str());
  m_Buffer[copied < m_Size ? copied : m_Size - 1] = '\0';
  if (std::strcmp(m_Buffer.data(), kNoEntry) != 0) {
    if (found) *found = true;
    return trigger.ParseKeys(m_Buffer.data());
  }
  if (clearWhenAbsent) trigger.ParseKeys("");
  return clearWhenAbsent;
}

void CTriggerDatabase::SaveTrigger(CTrigger& trigger) {
  CriticalSectionLock triggerLock(trigger.GetLock());
  const CStr section = trigger.GetCategory();
  const CStr entry = trigger.GetName();
  const CStr value = trigger.FormatKeys();
  CriticalSectionLock lock(m_Lock);
  if (m_Path.IsEmpty()) return;
  WritePrivateProfileStringA(section.c_str(), entry.c_str(), value.c_str(), m_Path.c_str());
}

void CTriggerDatabase::DeleteTrigger(CTrigger& trigger) {
  CriticalSectionLock triggerLock(trigger.GetLock());
  const CStr section = trigger.GetCategory();
  const CStr entry = trigger.GetName();
  CriticalSectionLock lock(m_Lock);
  if (m_Path.IsEmpty()) return;
  WritePrivateProfileStringA(section.c_str(), entry.c_str(), nullptr, m_Path.c_str());
}
