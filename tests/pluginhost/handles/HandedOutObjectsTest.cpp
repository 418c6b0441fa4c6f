// The registry of objects plug-ins hold by handle: which handles it
// refuses, that an object ended while slots hold it goes with the last of
// them (woken first, disposed of once), and that a slot may end its own
// handle.
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "pluginhost/handles/HandedOutObjects.h"

namespace {

struct Thing {
  std::string name;
};
struct OpaqueThingHandle;
using ThingHandle = OpaqueThingHandle*;

// What the registry did with the things, in order.
std::mutex eventsLock;
std::vector<std::string> events;

void Note(const std::string& event) {
  std::lock_guard guard(eventsLock);
  events.push_back(event);
}

std::vector<std::string> TakeEvents() {
  std::lock_guard guard(eventsLock);
  return std::exchange(events, {});
}

using Things = HandedOutObjects<Thing, ThingHandle>;

void DisposeThing(Thing* thing) noexcept {
  Note("dispose " + thing->name);
  delete thing;
}

void WakeThing(Thing& thing) noexcept { Note("wake " + thing.name); }

class HandedOutThings : public testing::Test {
 protected:
  void SetUp() override { TakeEvents(); }
  Things things{DisposeThing, WakeThing};
};

TEST_F(HandedOutThings, RefusesHandlesNeverHandedOutOrEnded) {
  Thing stranger{"stranger"};
  const ThingHandle kept = things.Add(new Thing{"kept"});
  const ThingHandle ended = things.Add(new Thing{"ended"});
  ASSERT_TRUE(things.Retire(ended));
  EXPECT_FALSE(things.Find(nullptr)) << "no handle";
  EXPECT_FALSE(things.Find(reinterpret_cast<ThingHandle>(&stranger))) << "made up";
  EXPECT_FALSE(things.Find(ended)) << "ended";
  EXPECT_FALSE(things.Retire(ended)) << "ended twice";
  EXPECT_FALSE(things.Withdraw(ended).handedOut);
  Things::Pin pin = things.Find(kept);
  ASSERT_TRUE(pin);
  EXPECT_EQ(pin->name, "kept");
  EXPECT_EQ(TakeEvents(), (std::vector<std::string>{"dispose ended"})) << "no slot held it: gone at once";
  pin = {};
  EXPECT_TRUE(things.Retire(kept));
}

TEST_F(HandedOutThings, AThingEndedWhileSlotsHoldItIsWokenAndGoesWithTheLastOfThem) {
  const ThingHandle handle = things.Add(new Thing{"busy"});
  Things::Pin first = things.Find(handle);
  Things::Pin second = things.Find(handle);
  EXPECT_EQ(things.CountPins(handle), 2u);
  EXPECT_TRUE(things.Retire(handle));
  EXPECT_FALSE(things.Find(handle)) << "ended: refused while it waits to go";
  EXPECT_EQ(things.CountPins(handle), 2u);
  first = {};
  EXPECT_EQ(TakeEvents(), (std::vector<std::string>{"wake busy"}));
  Things::Pin moved = std::move(second);
  EXPECT_EQ(moved->name, "busy");
  moved = {};
  EXPECT_EQ(TakeEvents(), (std::vector<std::string>{"dispose busy"}));
  EXPECT_EQ(things.CountPins(handle), 0u);
}

TEST_F(HandedOutThings, WithdrawHandsBackAThingNoSlotHoldsAndLeavesAHeldOneToItsSlot) {
  const ThingHandle idle = things.Add(new Thing{"idle"});
  Things::Withdrawn withdrawn = things.Withdraw(idle);
  EXPECT_TRUE(withdrawn.handedOut);
  ASSERT_NE(withdrawn.owned, nullptr);
  EXPECT_EQ(withdrawn.owned->name, "idle");
  delete withdrawn.owned;
  EXPECT_TRUE(TakeEvents().empty()) << "the caller ends it";

  const ThingHandle held = things.Add(new Thing{"held"});
  Things::Pin pin = things.Find(held);
  withdrawn = things.Withdraw(held);
  EXPECT_TRUE(withdrawn.handedOut);
  EXPECT_EQ(withdrawn.owned, nullptr);
  pin = {};
  EXPECT_EQ(TakeEvents(), (std::vector<std::string>{"wake held", "dispose held"}));
}

TEST_F(HandedOutThings, ASlotEndingItsOwnHandleKeepsTheThingUntilItReturns) {
  const ThingHandle handle = things.Add(new Thing{"own"});
  {
    Things::Pin pin = things.Find(handle);
    EXPECT_TRUE(things.Retire(handle));
    EXPECT_EQ(pin->name, "own");
  }
  EXPECT_EQ(TakeEvents(), (std::vector<std::string>{"wake own", "dispose own"}));
}

// Many slots on several threads while another thread ends the handles:
// every thing goes exactly once, after its last slot (the sanitizers watch).
TEST_F(HandedOutThings, ThingsEndedUnderBusySlotsOfManyThreadsGoExactlyOnce) {
  constexpr int kThings = 200;
  std::vector<ThingHandle> handles;
  for (int n = 0; n < kThings; ++n) handles.push_back(things.Add(new Thing{std::to_string(n)}));
  std::atomic<bool> ending{false};
  std::atomic<int> used{0};
  std::vector<std::thread> slots;
  for (int t = 0; t < 4; ++t) {
    slots.emplace_back([&] {
      while (!ending) std::this_thread::yield();
      for (int round = 0; round < 20; ++round) {
        for (ThingHandle handle : handles) {
          if (Things::Pin pin = things.Find(handle)) used += pin->name.empty() ? 0 : 1;
        }
      }
    });
  }
  ending = true;
  int ended = 0;
  for (ThingHandle handle : handles) ended += things.Retire(handle) ? 1 : 0;
  for (std::thread& slot : slots) slot.join();
  EXPECT_EQ(ended, kThings);
  int disposed = 0;
  for (const std::string& event : TakeEvents()) disposed += event.rfind("dispose ", 0) == 0 ? 1 : 0;
  EXPECT_EQ(disposed, kThings);
}

}  // namespace
