// Key events: what the windows that take keys (the main window, and later
// the viewer and full-screen windows) make of each key message, a virtual
// key with flags, and the listeners that hear them. The user interface
// owns one CKeyEventManager; one listener made at start runs the triggers
// whose hotkeys match, plug-ins add their own.
//
// Threading: listeners are added and removed from any thread; events are
// dispatched on the user-interface thread (plug-in threads post theirs to
// the message window). Listeners run with no lock held, so one may add or
// remove listeners, block, or dispatch further events.
#pragma once

#include <windows.h>

#include <atomic>
#include <vector>

#include "foundation/kernel/CriticalSection.h"
#include "foundation/kernel/TypedObject.h"

class CTriggerManager;

// The flags of a key event.
enum KeyEventFlags : DWORD {
  KEY_EVENT_DOWN = 1,     // the key message's transition bit 31 is clear
  KEY_EVENT_REPEAT = 2,   // its previous-state bit 30 is set
  KEY_EVENT_CTRL = 4,     // held while the message came
  KEY_EVENT_ALT = 8,
  KEY_EVENT_SHIFT = 16,
};

// The hotkey modifiers (CHotkey) a key event matches with: the held keys,
// and hold for a repeat.
DWORD HotkeyModifiersOf(DWORD keyEventFlags);
// The key-down event flags of a press with these hotkey modifiers (hold:
// a repeat).
DWORD KeyDownFlagsOf(DWORD hotkeyModifiers);

// Reference counted: made with one reference; the manager and every
// dispatch that calls it hold their own.
class CKeyEventListener : public CTypedObject {
  TWL_DECLARE_CLASS(CKeyEventListener)
 public:
  CKeyEventListener() = default;
  CKeyEventListener(const CKeyEventListener&) = delete;
  CKeyEventListener& operator=(const CKeyEventListener&) = delete;

  virtual void AddRef();
  // Deletes the listener when the last reference goes.
  virtual void Release();
  virtual void OnKeyEvent(DWORD key, DWORD flags) = 0;

 protected:
  // Only Release deletes.
  ~CKeyEventListener() override = default;

 private:
  std::atomic<LONG> m_RefCount{1};
};

// Runs the triggers of its manager (not owned) whose hotkeys match a
// key-down event.
class CTriggerKeyEventListener : public CKeyEventListener {
  TWL_DECLARE_CLASS(CTriggerKeyEventListener)
 public:
  explicit CTriggerKeyEventListener(CTriggerManager& triggers) : m_Triggers(triggers) {}
  void OnKeyEvent(DWORD key, DWORD flags) override;

 private:
  CTriggerManager& m_Triggers;
};

class CKeyEventManager : public CTypedObject {
  TWL_DECLARE_CLASS(CKeyEventManager)
 public:
  CKeyEventManager() = default;
  CKeyEventManager(const CKeyEventManager&) = delete;
  CKeyEventManager& operator=(const CKeyEventManager&) = delete;
  // Releases the listeners still listed.
  ~CKeyEventManager() override;

  // Lists the listener with a reference of the manager's own.
  void AddListener(CKeyEventListener* listener);
  // True when it was listed; the manager's reference goes.
  bool RemoveListener(CKeyEventListener* listener);
  void RemoveAllListeners();
  int GetListenerCount();

  // Calls every listener listed when the dispatch starts, in list order,
  // each holding a reference of the dispatch meanwhile: one removed on the
  // way is still called, and deleted only after its call; one added is
  // not called. A dispatch within a listener's call takes its own list,
  // leaving the outer one as it was.
  void DispatchKeyEvent(DWORD key, DWORD flags);

 private:
  std::vector<CKeyEventListener*> m_Listeners;
  // The outermost dispatch's list, kept so that a key press allocates
  // nothing.
  std::vector<CKeyEventListener*> m_Snapshot;
  int m_Depth = 0;
  CriticalSection m_Lock;
};
