// Key events: the dispatch to listeners with its snapshot, the trigger
// listener, the flags made of key messages, and the keys and trigger
// switches that reach the message window.
#include <gtest/gtest.h>
#include <twlwin/testing_user.h>

#include "TriggerJournal.h"
#include "app/keys/BuiltInTriggers.h"
#include "app/keys/TriggerManager.h"
#include "app/ui/UserInterface.h"

using keytest::Journal;
using keytest::JournalListener;
using keytest::JournalTrigger;

namespace {

JournalListener* Listen(CKeyEventManager& events, Journal& journal, const char* name) {
  auto* listener = new JournalListener(journal, name);
  events.AddListener(listener);
  listener->Release();
  return listener;
}

}  // namespace

TEST(KeyEvents, AKeyUpReachesEveryListenerAndRunsNoTrigger) {
  Journal journal;
  CTriggerManager triggers;
  auto* play = new JournalTrigger(journal, "Main", "Play", {"P"});
  triggers.AddTrigger(play);
  play->Release();
  CKeyEventManager events;
  Listen(events, journal, "first");
  auto* runner = new CTriggerKeyEventListener(triggers);
  events.AddListener(runner);
  runner->Release();
  Listen(events, journal, "last");
  events.DispatchKeyEvent('P', KEY_EVENT_REPEAT);
  EXPECT_EQ(journal, (Journal{"first 80/2", "last 80/2"}));
  journal.clear();
  events.DispatchKeyEvent('P', KEY_EVENT_DOWN);
  EXPECT_EQ(journal, (Journal{"first 80/1", "run Play", "last 80/1"}));
}

TEST(KeyEvents, TheTriggerListenerHoldsTheTriggersItRuns) {
  // Two triggers on one key; the first removes the second from the
  // manager, which drops its last listed reference. The dispatch's own
  // reference on the trigger keeps it until it has run.
  Journal journal;
  CTriggerManager triggers;
  auto* first = new JournalTrigger(journal, "Main", "first", {"Ctrl+P+@hold"});
  auto* second = new JournalTrigger(journal, "Main", "second", {"Ctrl+P+@hold"});
  triggers.AddTrigger(first);
  triggers.AddTrigger(second);
  first->Release();
  second->Release();
  first->onExecute = [&] { triggers.RemoveTrigger(second); };
  CKeyEventManager events;
  JournalListener* watcher = Listen(events, journal, "watcher");
  auto* runner = new CTriggerKeyEventListener(triggers);
  events.AddListener(runner);
  runner->Release();
  events.DispatchKeyEvent('P', KEY_EVENT_DOWN | KEY_EVENT_REPEAT | KEY_EVENT_CTRL);
  EXPECT_EQ(journal, (Journal{"watcher 80/7", "run first", "run second", "deleted second"}));
  // The listeners are the manager's alone still: removing them deletes
  // them, and the manager's trigger lives on.
  journal.clear();
  EXPECT_TRUE(events.RemoveListener(watcher));
  EXPECT_TRUE(events.RemoveListener(runner));
  EXPECT_EQ(journal, (Journal{"deleted watcher"}));
  EXPECT_EQ(triggers.GetCount(), 1);
}

TEST(KeyEvents, AListenerRemovedDuringTheDispatchGoesAfterItsCall) {
  Journal journal;
  CKeyEventManager events;
  JournalListener* self = Listen(events, journal, "self");
  JournalListener* next = Listen(events, journal, "next");
  self->onEvent = [&](DWORD, DWORD) {
    EXPECT_TRUE(events.RemoveListener(self));
    EXPECT_TRUE(events.RemoveListener(next));
    Listen(events, journal, "added");
    journal.push_back("removed");
  };
  events.DispatchKeyEvent(13, KEY_EVENT_DOWN);
  EXPECT_EQ(journal, (Journal{"self 13/1", "removed", "deleted self", "next 13/1", "deleted next"}));
  journal.clear();
  events.DispatchKeyEvent(13, KEY_EVENT_DOWN);
  EXPECT_EQ(journal, (Journal{"added 13/1"}));
  EXPECT_FALSE(events.RemoveListener(self));
}

TEST(KeyEvents, ADispatchFromInsideAListenerLeavesTheOuterSnapshotIntact) {
  Journal journal;
  CKeyEventManager events;
  JournalListener* outer = Listen(events, journal, "a");
  Listen(events, journal, "b");
  JournalListener* c = Listen(events, journal, "c");
  outer->onEvent = [&](DWORD key, DWORD) {
    if (key != 1) return;
    // The inner dispatch sees the list as it is now: without c, with d.
    events.RemoveListener(c);
    Listen(events, journal, "d");
    events.DispatchKeyEvent(2, KEY_EVENT_DOWN);
  };
  events.DispatchKeyEvent(1, KEY_EVENT_DOWN);
  EXPECT_EQ(journal, (Journal{"a 1/1", "a 2/1", "b 2/1", "d 2/1", "b 1/1", "c 1/1", "deleted c"}));
  journal.clear();
  events.RemoveAllListeners();
  EXPECT_EQ(events.GetListenerCount(), 0);
  EXPECT_EQ(journal, (Journal{"deleted a", "deleted b", "deleted d"}));
}

TEST(KeyEvents, KeyMessagesGiveTheirFlagsAndPostedKeysCountOnlyWithoutAPlugInObject) {
  CUserInterface& ui = GetUserInterface();
  Journal journal;
  Listen(ui.GetKeyEventManager(), journal, "ui");
  // Bits 30 and 31 of the key message, the modifiers held as the thread's
  // messages saw them.
  struct Case {
    LPARAM data;
    const char* event;
  };
  const Case cases[] = {
      {0x00190001, "ui 80/1"},
      {0x40190001, "ui 80/3"},
      {static_cast<LPARAM>(0xC0190001u), "ui 80/2"},
  };
  for (const Case& c : cases) {
    journal.clear();
    ui.OnKey('P', c.data);
    EXPECT_EQ(journal, (Journal{c.event})) << std::hex << c.data;
  }
  // Posted keys: key | flags << 24, and the poster.
  int plugInObject = 0;
  journal.clear();
  ui.OnMessage(CUserInterface::kPostedKeyEventMessage, 0x0B000021, 0);
  ui.OnMessage(CUserInterface::kPostedKeyEventMessage, 0x0B000021, reinterpret_cast<LPARAM>(&plugInObject));
  EXPECT_EQ(journal, (Journal{"ui 33/11"}));
  ui.ExitKeyEvents();
  EXPECT_EQ(ui.GetKeyEventManager().GetListenerCount(), 0);
}

TEST(KeyEvents, TheCurrentPlayerAndVisualizerMessagesSwitchPartitionedTriggers) {
  CUserInterface& ui = GetUserInterface();
  Journal journal;
  int player = 0;
  auto* visual = new JournalTrigger(journal, "Plugin/Visualizer/Bars", "visual", {"V"}, CTrigger::kPartitioned);
  auto* own = new JournalTrigger(journal, "Plugin/Player/Sound", "own", {"V"}, CTrigger::kPartitioned, &player);
  ui.GetTriggerManager().AddTrigger(visual);
  ui.GetTriggerManager().AddTrigger(own);
  visual->Release();
  own->Release();
  ui.OnMessage(CUserInterface::kVisualizerTriggersMessage, 0, 0);
  ui.OnMessage(CUserInterface::kPlayerTriggersMessage, 0, 0);
  // No viewer system and no current player: none of them is active.
  ui.GetTriggerManager().FireKey('V', 0);
  EXPECT_TRUE(journal.empty());
  ui.GetTriggerManager().RemoveAll();
  EXPECT_EQ(journal.size(), 2u);
}
