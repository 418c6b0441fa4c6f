#include "app/keys/TriggerManager.h"

#include <algorithm>
#include <string>

#include "app/keys/KeyText.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CTriggerManager, CTypedObject)

namespace {

bool IsPathOrBelow(const std::string& category, const std::string& path) {
  if (category == path) return true;
  return category.size() > path.size() && category.starts_with(path) && category[path.size()] == '/';
}

}  // namespace

CTriggerManager::~CTriggerManager() { RemoveAll(); }

void CTriggerManager::AddTrigger(CTrigger* trigger) {
  if (!trigger) return;
  trigger->AddRef();
  CriticalSectionLock lock(m_Lock);
  m_Triggers.push_back(trigger);
}

bool CTriggerManager::RemoveTrigger(CTrigger* trigger) {
  CriticalSectionLock lock(m_Lock);
  const auto listed = std::find(m_Triggers.begin(), m_Triggers.end(), trigger);
  if (listed == m_Triggers.end()) return false;
  m_Triggers.erase(listed);
  lock.Leave();
  trigger->Release();
  return true;
}

void CTriggerManager::RemoveAll() {
  std::vector<CTrigger*> listed;
  {
    CriticalSectionLock lock(m_Lock);
    listed.swap(m_Triggers);
  }
  for (CTrigger* trigger : listed) trigger->Release();
}

int CTriggerManager::GetCount() {
  CriticalSectionLock lock(m_Lock);
  return static_cast<int>(m_Triggers.size());
}

CTrigger* CTriggerManager::GetTrigger(int index) {
  CriticalSectionLock lock(m_Lock);
  if (index < 0 || static_cast<size_t>(index) >= m_Triggers.size()) return nullptr;
  CTrigger* trigger = m_Triggers[static_cast<size_t>(index)];
  trigger->AddRef();
  return trigger;
}

CTrigger* CTriggerManager::FindTrigger(const char* category, int id) {
  CriticalSectionLock lock(m_Lock);
  for (CTrigger* trigger : m_Triggers) {
    if (trigger->GetId() != id || !keytext::EqualsNoCase(trigger->GetCategory().c_str(), category ? category : ""))
      continue;
    trigger->AddRef();
    return trigger;
  }
  return nullptr;
}

std::vector<CTrigger*> CTriggerManager::CollectMatching(DWORD key, DWORD modifiers) {
  std::vector<CTrigger*> matching;
  CriticalSectionLock lock(m_Lock);
  for (CTrigger* trigger : m_Triggers) {
    if (!trigger->Matches(key, modifiers)) continue;
    trigger->AddRef();
    matching.push_back(trigger);
  }
  return matching;
}

void CTriggerManager::FireKey(DWORD key, DWORD modifiers) {
  // Each holds a reference of its own, so a command that removes a trigger
  // still to run, or itself, deletes nothing that is yet to be used.
  const std::vector<CTrigger*> matching = CollectMatching(key, modifiers);
  size_t next = 0;
  try {
    for (; next < matching.size(); ++next) {
      matching[next]->Execute();
      matching[next]->Release();
    }
  } catch (...) {
    for (; next < matching.size(); ++next) matching[next]->Release();
    throw;
  }
}

void CTriggerManager::EnableCategory(const char* category, bool on) {
  CriticalSectionLock lock(m_Lock);
  for (CTrigger* trigger : m_Triggers)
    if (keytext::EqualsNoCase(trigger->GetCategory().c_str(), category ? category : "")) trigger->SetEnabled(on);
}

void CTriggerManager::ActivateCategory(const char* path, bool on) {
  const std::string lowered = keytext::Lowered(path ? path : "");
  CriticalSectionLock lock(m_Lock);
  for (CTrigger* trigger : m_Triggers)
    if (trigger->IsPartitioned() && IsPathOrBelow(keytext::Lowered(trigger->GetCategory().c_str()), lowered))
      trigger->SetActive(on);
}

void CTriggerManager::ActivateOwner(PLUGIN_HANDLE owner, bool on) {
  CriticalSectionLock lock(m_Lock);
  for (CTrigger* trigger : m_Triggers)
    if (trigger->IsPartitioned() && trigger->GetOwner() == owner) trigger->SetActive(on);
}
