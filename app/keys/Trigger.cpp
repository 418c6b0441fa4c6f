#include "app/keys/Trigger.h"

#include <string_view>

#include "app/keys/KeyText.h"
#include "app/keys/TriggerDatabase.h"
#include "app/ui/UserInterface.h"

TWL_IMPLEMENT_CLASS(CTrigger, CTypedObject)

namespace {

constexpr std::string_view kPartitionedFlag = "partitioned";

// True when the value carries "@partitioned": every "@" starts a flag that
// runs to the next ",".
bool NamesPartitioned(std::string_view value) {
  for (size_t at = value.find('@'); at != std::string_view::npos; at = value.find('@', at + 1)) {
    const std::string_view flag = value.substr(at + 1, value.find(',', at + 1) - (at + 1));
    if (keytext::EqualsNoCase(keytext::Trim(flag), kPartitionedFlag)) return true;
  }
  return false;
}

}  // namespace

CTrigger::~CTrigger() { DeleteHotkeys(); }

void CTrigger::DeleteHotkeys() {
  for (CHotkey* hotkey : m_Hotkeys) delete hotkey;
  m_Hotkeys.clear();
}

void CTrigger::Init(PLUGIN_HANDLE owner, const char* category, int id, const char* name, const char* description,
                    DWORD flags) {
  CriticalSectionLock lock(m_Lock);
  Clear();
  m_Owner = owner;
  m_Category = category;
  m_Id = id;
  m_Name = name;
  m_Description = description;
  m_Flags = flags;
  m_Defined = true;
}

void CTrigger::Clear() {
  CriticalSectionLock lock(m_Lock);
  DeleteHotkeys();
  m_Category = CStr();
  m_Name = CStr();
  m_Description = CStr();
  m_Id = 0;
  m_Owner = nullptr;
  m_Flags = 0;
  m_Enabled = true;
  m_Active = true;
  m_Defined = false;
}

bool CTrigger::Matches(DWORD key, DWORD modifiers) {
  CriticalSectionLock lock(m_Lock);
  if (!m_Enabled || !m_Active) return false;
  for (const CHotkey* hotkey : m_Hotkeys)
    if (hotkey->Matches(key, modifiers)) return true;
  return false;
}

void CTrigger::AddRef() {
  CriticalSectionLock lock(m_Lock);
  ++m_RefCount;
}

void CTrigger::Release() {
  bool last = false;
  {
    CriticalSectionLock lock(m_Lock);
    last = --m_RefCount <= 0;
  }
  // The lock is left first: it goes with the trigger.
  if (last) delete this;
}

void CTrigger::SetEnabled(bool on) {
  CriticalSectionLock lock(m_Lock);
  m_Enabled = on;
}

void CTrigger::SetActive(bool on) {
  CriticalSectionLock lock(m_Lock);
  m_Active = on;
}

bool CTrigger::IsEnabled() {
  CriticalSectionLock lock(m_Lock);
  return m_Enabled;
}

bool CTrigger::IsActive() {
  CriticalSectionLock lock(m_Lock);
  return m_Active;
}

bool CTrigger::IsDefined() {
  CriticalSectionLock lock(m_Lock);
  return m_Defined;
}

CStr CTrigger::GetCategory() {
  CriticalSectionLock lock(m_Lock);
  return m_Category;
}

CStr CTrigger::GetName() {
  CriticalSectionLock lock(m_Lock);
  return m_Name;
}

CStr CTrigger::GetDescription() {
  CriticalSectionLock lock(m_Lock);
  return m_Description;
}

PLUGIN_HANDLE CTrigger::GetOwner() {
  CriticalSectionLock lock(m_Lock);
  return m_Owner;
}

int CTrigger::GetId() {
  CriticalSectionLock lock(m_Lock);
  return m_Id;
}

DWORD CTrigger::GetFlags() {
  CriticalSectionLock lock(m_Lock);
  return m_Flags;
}

int CTrigger::GetHotkeyCount() {
  CriticalSectionLock lock(m_Lock);
  return static_cast<int>(m_Hotkeys.size());
}

std::optional<CHotkey> CTrigger::GetHotkey(int index) {
  CriticalSectionLock lock(m_Lock);
  if (index < 0 || static_cast<size_t>(index) >= m_Hotkeys.size()) return std::nullopt;
  return *m_Hotkeys[static_cast<size_t>(index)];
}

void CTrigger::AddHotkey(CHotkey* hotkey) {
  if (!hotkey) return;
  CriticalSectionLock lock(m_Lock);
  m_Hotkeys.push_back(hotkey);
}

void CTrigger::RemoveAllHotkeys(bool deleteThem) {
  CriticalSectionLock lock(m_Lock);
  if (deleteThem)
    DeleteHotkeys();
  else
    m_Hotkeys.clear();
}

bool CTrigger::LoadKeys(bool clearWhenAbsent, bool* found) {
  CriticalSectionLock lock(m_Lock);
  return GetUserInterface().GetTriggerDatabase().LoadTrigger(*this, clearWhenAbsent, found);
}

void CTrigger::SaveKeys() {
  CriticalSectionLock lock(m_Lock);
  GetUserInterface().GetTriggerDatabase().SaveTrigger(*this);
}

void CTrigger::DeleteKeysAndRelease() {
  {
    CriticalSectionLock lock(m_Lock);
    GetUserInterface().GetTriggerDatabase().DeleteTrigger(*this);
  }
  Release();
}

CStr CTrigger::FormatKeys() {
  CriticalSectionLock lock(m_Lock);
  CStr value;
  if (m_Flags & kPartitioned) value = "@partitioned";
  for (const CHotkey* hotkey : m_Hotkeys) {
    if (!value.IsEmpty()) value += ",";
    value += hotkey->ToText();
  }
  return value;
}

bool CTrigger::ParseKeys(const char* text) {
  CriticalSectionLock lock(m_Lock);
  const std::string_view value = text ? text : "";
  if (!(m_Flags & kPartitioned) && NamesPartitioned(value)) return false;
  bool understood = true;
  size_t parsed = 0;
  for (size_t start = 0; start <= value.size();) {
    size_t comma = value.find(',', start);
    if (comma == std::string_view::npos) comma = value.size();
    const std::string_view item = keytext::Trim(value.substr(start, comma - start));
    start = comma + 1;
    // Flags, and the nothing of an empty value or of ",," (no key at all).
    if (item.empty() || item.front() == '@') continue;
    if (parsed == m_Hotkeys.size()) m_Hotkeys.push_back(new CHotkey);
    if (!m_Hotkeys[parsed]->Parse(std::string(item).c_str())) understood = false;
    ++parsed;
  }
  while (m_Hotkeys.size() > parsed) {
    delete m_Hotkeys.back();
    m_Hotkeys.pop_back();
  }
  return understood;
}
