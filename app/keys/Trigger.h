// CTrigger: a named command the user can bind to keys, with its hotkeys.
// The built-in triggers run the player's own commands; plug-ins register
// triggers of their own. A trigger belongs to a category, a path with "/"
// between levels ("Main", "Main/Fullscreen", "Plugin/Player/..."), and is
// found in Keys.ini by category (the section) and name (the entry). It
// fires only while both enabled (its category is switched on) and active
// (a partitioned trigger: its owner is the current player or visualizer).
//
// Reference counted: made with one reference, which its creator gives
// away; the trigger manager and every dispatch that runs it hold their
// own, so a trigger released while it executes goes only after.
//
// Threading: any thread; every operation takes the trigger's own lock.
// Lock order: the trigger manager's lock, then a trigger's, then the
// trigger database's. Execute runs with no lock held.
#pragma once

#include <windows.h>

#include <optional>
#include <vector>

#include "app/keys/Hotkey.h"
#include "foundation/kernel/CriticalSection.h"
#include "foundation/kernel/Str.h"
#include "foundation/kernel/TypedObject.h"
#include "pluginhost/abi/PlugInAbi.h"

class CTrigger : public CTypedObject {
  TWL_DECLARE_CLASS(CTrigger)
 public:
  // The hotkeys are never read from Keys.ini.
  static constexpr DWORD kKeysFixed = 1;
  // Set with kKeysFixed on the fixed built-in triggers.
  static constexpr DWORD kBuiltInFixed = 2;
  // Active only while its owner is the current player or visualizer.
  static constexpr DWORD kPartitioned = 4;

  CTrigger() = default;
  CTrigger(const CTrigger&) = delete;
  CTrigger& operator=(const CTrigger&) = delete;

  // Clear, then the fields; enabled, active and defined.
  void Init(PLUGIN_HANDLE owner, const char* category, int id, const char* name, const char* description,
            DWORD flags);
  // No hotkeys, no names, no owner, id and flags 0; enabled and active;
  // not defined.
  virtual void Clear();
  // The trigger's command; called with no lock held and a reference held.
  virtual void Execute() = 0;

  // Enabled, active and one of the hotkeys matches.
  bool Matches(DWORD key, DWORD modifiers);
  void AddRef();
  // Deletes the trigger when the last reference goes.
  void Release();

  void SetEnabled(bool on);
  void SetActive(bool on);
  void Deactivate() { SetActive(false); }
  bool IsEnabled();
  bool IsActive();
  bool IsDefined();

  CStr GetCategory();
  CStr GetName();
  CStr GetDescription();
  PLUGIN_HANDLE GetOwner();
  int GetId();
  DWORD GetFlags();
  bool IsPartitioned() { return (GetFlags() & kPartitioned) != 0; }

  int GetHotkeyCount();
  // A copy of the hotkey at that index; none outside the list.
  std::optional<CHotkey> GetHotkey(int index);
  // Appends and takes ownership.
  void AddHotkey(CHotkey* hotkey);
  // Empties the list; the hotkeys are deleted when asked, else only
  // forgotten (for a caller that kept them).
  void RemoveAllHotkeys(bool deleteThem);

  // The key bindings file, through the user interface's trigger database.
  bool LoadKeys(bool clearWhenAbsent, bool* found);
  void SaveKeys();
  // Removes the trigger's entry, then releases the caller's reference.
  void DeleteKeysAndRelease();

  // The Keys.ini value: "@partitioned" first for a partitioned trigger,
  // then the hotkeys' storage forms, joined by "," without blanks.
  CStr FormatKeys();
  // Reads a Keys.ini value into the hotkeys, reusing those already there
  // and dropping those left over. A value flagged "@partitioned" for a
  // trigger that is not partitioned is refused with the hotkeys
  // unchanged; a hotkey that does not parse keeps what was understood.
  // False in both cases; an empty value leaves no hotkeys.
  bool ParseKeys(const char* value);

  // For the trigger database, which reads and writes under it.
  CriticalSection& GetLock() { return m_Lock; }

 protected:
  // Only Release deletes.
  ~CTrigger() override;

 private:
  void DeleteHotkeys();

  bool m_Defined = false;
  PLUGIN_HANDLE m_Owner = nullptr;
  int m_Id = 0;
  CStr m_Category;
  CStr m_Name;
  CStr m_Description;
  DWORD m_Flags = 0;
  bool m_Enabled = true;
  bool m_Active = true;
  std::vector<CHotkey*> m_Hotkeys;
  int m_RefCount = 1;
  CriticalSection m_Lock;
};
