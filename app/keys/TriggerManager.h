// CTriggerManager: the program's list of triggers, the built-in ones and
// those plug-ins register, and the key matching that runs them. Each
// listed trigger holds one reference of the manager.
//
// Threading: any thread; every operation takes the manager's lock, and
// triggers never execute while it is held: a command may add or remove
// triggers, or wait for another thread, without dead-locking the manager.
#pragma once

#include <windows.h>

#include <vector>

#include "app/keys/Trigger.h"
#include "foundation/kernel/CriticalSection.h"
#include "foundation/kernel/TypedObject.h"
#include "pluginhost/abi/PlugInAbi.h"

class CTriggerManager : public CTypedObject {
  TWL_DECLARE_CLASS(CTriggerManager)
 public:
  CTriggerManager() = default;
  CTriggerManager(const CTriggerManager&) = delete;
  CTriggerManager& operator=(const CTriggerManager&) = delete;
  // Releases the triggers still listed.
  ~CTriggerManager() override;

  // Appends with a reference of the manager's own.
  void AddTrigger(CTrigger* trigger);
  // True when it was listed; the manager's reference goes.
  bool RemoveTrigger(CTrigger* trigger);
  void RemoveAll();

  int GetCount();
  // The trigger at that index, or that category's trigger with that id
  // (categories compare without case); each with a reference the caller
  // releases, or null.
  CTrigger* GetTrigger(int index);
  CTrigger* FindTrigger(const char* category, int id);

  // Every trigger that matches the key, in list order, each with a
  // reference the caller releases.
  std::vector<CTrigger*> CollectMatching(DWORD key, DWORD modifiers);
  // Executes every matching trigger in list order, outside the lock.
  void FireKey(DWORD key, DWORD modifiers);

  // Switches every trigger of exactly that category (without case).
  void EnableCategory(const char* category, bool on);
  // (De)activates the partitioned triggers of the path and of every
  // category below it: "Plugin/Player" reaches "Plugin/Player/Visual" but
  // not "Plugin/PlayerX".
  void ActivateCategory(const char* path, bool on);
  // (De)activates the partitioned triggers of one owner.
  void ActivateOwner(PLUGIN_HANDLE owner, bool on);

 private:
  std::vector<CTrigger*> m_Triggers;
  CriticalSection m_Lock;
};
