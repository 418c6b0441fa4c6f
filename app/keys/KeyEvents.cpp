#include "app/keys/KeyEvents.h"

#include <algorithm>

#include "app/keys/Hotkey.h"
#include "app/keys/TriggerManager.h"

TWL_IMPLEMENT_CLASS(CKeyEventListener, CTypedObject)
TWL_IMPLEMENT_CLASS(CTriggerKeyEventListener, CKeyEventListener)
TWL_IMPLEMENT_CREATABLE_CLASS(CKeyEventManager, CTypedObject)

namespace {

struct FlagPair {
  DWORD keyEvent;
  DWORD hotkey;
};
constexpr FlagPair kFlagPairs[] = {{KEY_EVENT_CTRL, CHotkey::kCtrl},
                                   {KEY_EVENT_ALT, CHotkey::kAlt},
                                   {KEY_EVENT_SHIFT, CHotkey::kShift},
                                   {KEY_EVENT_REPEAT, CHotkey::kHold}};

}  // namespace

DWORD HotkeyModifiersOf(DWORD keyEventFlags) {
  DWORD modifiers = 0;
  for (const FlagPair& pair : kFlagPairs)
    if (keyEventFlags & pair.keyEvent) modifiers |= pair.hotkey;
  return modifiers;
}

DWORD KeyDownFlagsOf(DWORD hotkeyModifiers) {
  DWORD flags = KEY_EVENT_DOWN;
  for (const FlagPair& pair : kFlagPairs)
    if (hotkeyModifiers & pair.hotkey) flags |= pair.keyEvent;
  return flags;
}

void CKeyEventListener::AddRef() { ++m_RefCount; }

void CKeyEventListener::Release() {
  if (--m_RefCount <= 0) delete this;
}

// Every trigger run holds a reference to the trigger itself (not to this
// listener), so a command that releases a trigger still to run cannot
// delete it under the dispatch.
void CTriggerKeyEventListener::OnKeyEvent(DWORD key, DWORD flags) {
  if (!(flags & KEY_EVENT_DOWN)) return;
  m_Triggers.FireKey(key, HotkeyModifiersOf(flags));
}

CKeyEventManager::~CKeyEventManager() { RemoveAllListeners(); }

void CKeyEventManager::AddListener(CKeyEventListener* listener) {
  if (!listener) return;
  listener->AddRef();
  CriticalSectionLock lock(m_Lock);
  m_Listeners.push_back(listener);
}

bool CKeyEventManager::RemoveListener(CKeyEventListener* listener) {
  CriticalSectionLock lock(m_Lock);
  const auto listed = std::find(m_Listeners.begin(), m_Listeners.end(), listener);
  if (listed == m_Listeners.end()) return false;
  m_Listeners.erase(listed);
  lock.Leave();
  listener->Release();
  return true;
}

void CKeyEventManager::RemoveAllListeners() {
  std::vector<CKeyEventListener*> listed;
  {
    CriticalSectionLock lock(m_Lock);
    listed.swap(m_Listeners);
  }
  for (CKeyEventListener* listener : listed) listener->Release();
}

int CKeyEventManager::GetListenerCount() {
  CriticalSectionLock lock(m_Lock);
  return static_cast<int>(m_Listeners.size());
}

void CKeyEventManager::DispatchKeyEvent(DWORD key, DWORD flags) {
  std::vector<CKeyEventListener*> nested;
  CriticalSectionLock lock(m_Lock);
  const size_t count = m_Listeners.size();
  std::vector<CKeyEventListener*>& snapshot = m_Depth++ == 0 ? m_Snapshot : nested;
  if (snapshot.size() < count) snapshot.resize(count + (&snapshot == &m_Snapshot ? 10 : 0));
  for (size_t i = 0; i < count; ++i) {
    snapshot[i] = m_Listeners[i];
    snapshot[i]->AddRef();
  }
  lock.Leave();
  for (size_t i = 0; i < count; ++i) {
    CKeyEventListener* listener = snapshot[i];
    snapshot[i] = nullptr;
    // A listener that throws must not leave the others referenced.
    try {
      listener->OnKeyEvent(key, flags);
    } catch (...) {
      listener->Release();
      for (size_t rest = i + 1; rest < count; ++rest) {
        snapshot[rest]->Release();
        snapshot[rest] = nullptr;
      }
      lock.Enter();
      --m_Depth;
      throw;
    }
    listener->Release();
  }
  lock.Enter();
  --m_Depth;
}
