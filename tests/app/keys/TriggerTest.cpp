// Triggers: their Keys.ini values both ways, and the manager that matches
// keys to them, runs them outside its lock and switches categories and
// owners.
#include <gtest/gtest.h>

#include "TriggerJournal.h"
#include "app/keys/TriggerManager.h"

using keytest::Journal;
using keytest::JournalTrigger;

TEST(Trigger, ValuesReadIntoHotkeysAndWriteBack) {
  struct Case {
    const char* why;
    DWORD flags;
    const char* before;  // the value the trigger holds first
    const char* value;
    bool understood;
    const char* after;  // FormatKeys afterwards
  };
  const Case cases[] = {
      {"two hotkeys", 0, "P,#250", "Ctrl+S, PageUp+@hold", true, "Ctrl+S,PageUp+@hold"},
      {"an empty value leaves no keys", 0, "P,#250", "", true, ""},
      {"three into five leaves three", 0, "A,B,C,D,E", "X,Y,Z", true, "X,Y,Z"},
      {"partitioned refused for a trigger that is not", 0, "P,#250", "@partitioned,Ctrl+P", false, "P,#250"},
      {"partitioned flag found anywhere, without case", 0, "P", "Ctrl+P, @ PARTITIONED ", false, "P"},
      {"a partitioned trigger takes it", CTrigger::kPartitioned, "P", "@partitioned,Ctrl+P", true,
       "@partitioned,Ctrl+P"},
      {"other flags are skipped", 0, "P", "@later,Q", true, "Q"},
      {"an unknown token loads what was understood", 0, "P", "Ctrl+Return,S", false, "Ctrl+#0,S"},
      {"empty items are no keys", 0, "P", ",S,,T,", true, "S,T"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    Journal journal;
    auto* trigger = new JournalTrigger(journal, "Main", "T", {}, c.flags);
    trigger->ParseKeys(c.before);
    EXPECT_EQ(trigger->ParseKeys(c.value), c.understood);
    EXPECT_STREQ(trigger->FormatKeys().c_str(), c.after);
    trigger->Release();
    EXPECT_EQ(journal.back(), "deleted T");
  }
}

TEST(Trigger, FiresOnlyWhenEnabledAndActive) {
  Journal journal;
  auto* trigger = new JournalTrigger(journal, "Main", "Play", {"P"});
  EXPECT_TRUE(trigger->Matches('P', 0));
  trigger->SetEnabled(false);
  EXPECT_FALSE(trigger->Matches('P', 0));
  trigger->SetEnabled(true);
  trigger->Deactivate();
  EXPECT_FALSE(trigger->Matches('P', 0));
  trigger->SetActive(true);
  EXPECT_TRUE(trigger->Matches('P', 0));
  trigger->Clear();
  EXPECT_FALSE(trigger->IsDefined());
  EXPECT_EQ(trigger->GetHotkeyCount(), 0);
  EXPECT_STREQ(trigger->GetName().c_str(), "");
  trigger->Release();
}

TEST(TriggerManager, AKeyRunsEveryMatchingTriggerInListOrderOutsideTheLock) {
  Journal journal;
  CTriggerManager manager;
  auto* first = new JournalTrigger(journal, "Main", "first", {"P"});
  auto* other = new JournalTrigger(journal, "Main", "other", {"Q"});
  auto* second = new JournalTrigger(journal, "Main", "second", {"Ctrl+Q", "P"});
  for (CTrigger* trigger : {static_cast<CTrigger*>(first), static_cast<CTrigger*>(other), static_cast<CTrigger*>(second)}) {
    manager.AddTrigger(trigger);
    trigger->Release();
  }
  // A command may change the manager's list: it runs with no lock held
  // (from another thread this would dead-lock otherwise).
  first->onExecute = [&] { EXPECT_EQ(manager.GetCount(), 3); };
  manager.FireKey('P', 0);
  EXPECT_EQ(journal, (Journal{"run first", "run second"}));
  journal.clear();
  manager.FireKey('Q', CHotkey::kCtrl);
  manager.FireKey('P', CHotkey::kHold);
  EXPECT_EQ(journal, (Journal{"run second"}));
}

TEST(TriggerManager, ATriggerReleasedDuringItsRunGoesOnlyAfterIt) {
  Journal journal;
  CTriggerManager manager;
  auto* self = new JournalTrigger(journal, "Main", "self", {"P"});
  auto* later = new JournalTrigger(journal, "Main", "later", {"P"});
  manager.AddTrigger(self);
  manager.AddTrigger(later);
  // The creators' references go: the manager's are the only ones.
  self->Release();
  later->Release();
  // Removing itself and the trigger still to run drops their last
  // listed references in the middle of the dispatch.
  self->onExecute = [&] {
    EXPECT_TRUE(manager.RemoveTrigger(self));
    EXPECT_TRUE(manager.RemoveTrigger(later));
    journal.push_back("removed");
  };
  manager.FireKey('P', 0);
  EXPECT_EQ(journal, (Journal{"run self", "removed", "deleted self", "run later", "deleted later"}));
  EXPECT_EQ(manager.GetCount(), 0);
}

TEST(TriggerManager, CategoriesAndOwnersSwitchTheirTriggers) {
  Journal journal;
  CTriggerManager manager;
  int ownerA = 0, ownerB = 0;
  struct Made {
    const char* category;
    const char* name;
    DWORD flags;
    PLUGIN_HANDLE owner;
  };
  const Made made[] = {
      {"Plugin/Player", "player", CTrigger::kPartitioned, &ownerA},
      {"plugin/player/Visual", "below", CTrigger::kPartitioned, &ownerB},
      {"Plugin/PlayerX", "beside", CTrigger::kPartitioned, &ownerA},
      {"Plugin/Player", "unpartitioned", 0, &ownerA},
      {"Main/Fullscreen", "leave", 0, nullptr},
  };
  for (const Made& m : made) {
    auto* trigger = new JournalTrigger(journal, m.category, m.name, {"P"}, m.flags, m.owner);
    manager.AddTrigger(trigger);
    trigger->Release();
  }
  auto fired = [&] {
    journal.clear();
    manager.FireKey('P', 0);
    std::string names;
    for (const std::string& line : journal) names += line.substr(4) + " ";
    return names;
  };
  manager.ActivateCategory("Plugin/Player", false);
  EXPECT_EQ(fired(), "beside unpartitioned leave ");
  manager.ActivateOwner(&ownerB, true);
  EXPECT_EQ(fired(), "below beside unpartitioned leave ");
  manager.ActivateCategory("PLUGIN/PLAYERX", false);
  manager.ActivateOwner(&ownerA, true);
  EXPECT_EQ(fired(), "player below beside unpartitioned leave ");
  manager.EnableCategory("main/fullscreen", false);
  manager.EnableCategory("Plugin", false);
  EXPECT_EQ(fired(), "player below beside unpartitioned ");

  CTrigger* found = manager.FindTrigger("PLUGIN/playerx", 0);
  ASSERT_NE(found, nullptr);
  EXPECT_STREQ(found->GetName().c_str(), "beside");
  found->Release();
  EXPECT_EQ(manager.FindTrigger("Plugin", 0), nullptr);
  EXPECT_EQ(manager.FindTrigger("Main/Fullscreen", 1), nullptr);
  manager.RemoveAll();
  EXPECT_EQ(manager.GetCount(), 0);
  EXPECT_EQ(journal.size(), 5u + 4u);
}
