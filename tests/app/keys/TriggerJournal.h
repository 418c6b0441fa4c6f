// Triggers and key-event listeners that write what happens to them (runs,
// events, deletion) into one journal, for the tests of their lifetimes and
// order.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/keys/KeyEvents.h"
#include "app/keys/Trigger.h"

namespace keytest {

using Journal = std::vector<std::string>;

class JournalTrigger : public CTrigger {
 public:
  // With hotkey texts such as "P" or "Ctrl+S".
  JournalTrigger(Journal& journal, const char* category, const char* name, std::vector<const char*> keys = {},
                 DWORD flags = 0, PLUGIN_HANDLE owner = nullptr)
      : m_Journal(journal) {
    Init(owner, category, 0, name, "", flags);
    for (const char* key : keys) {
      auto* hotkey = new CHotkey;
      hotkey->Parse(key);
      AddHotkey(hotkey);
    }
  }
  // What the next runs do after writing "run NAME".
  std::function<void()> onExecute;
  void Execute() override {
    m_Journal.push_back("run " + std::string(GetName().c_str()));
    if (onExecute) onExecute();
  }

 protected:
  ~JournalTrigger() override { m_Journal.push_back("deleted " + std::string(GetName().c_str())); }

 private:
  Journal& m_Journal;
};

class JournalListener : public CKeyEventListener {
 public:
  JournalListener(Journal& journal, std::string name) : m_Journal(journal), m_Name(std::move(name)) {}
  std::function<void(DWORD key, DWORD flags)> onEvent;
  void OnKeyEvent(DWORD key, DWORD flags) override {
    m_Journal.push_back(m_Name + " " + std::to_string(key) + "/" + std::to_string(flags));
    if (onEvent) onEvent(key, flags);
  }

 protected:
  ~JournalListener() override { m_Journal.push_back("deleted " + m_Name); }

 private:
  Journal& m_Journal;
  std::string m_Name;
};

}  // namespace keytest
