// The player's own triggers: their ids (the row of the table), categories,
// names and default keys. The user's Keys.ini replaces the defaults of
// those whose keys are not fixed; the defaults are never written to it.
#pragma once

#include <windows.h>

#include <span>

inline constexpr const char* kMainTriggerCategory = "Main";
inline constexpr const char* kFullscreenTriggerCategory = "Main/Fullscreen";

enum BuiltInTriggerId : int {
  TRIGGER_PLAY = 0,
  TRIGGER_STOP = 1,
  TRIGGER_PAUSE = 2,
  TRIGGER_NEXT_FILE = 3,
  TRIGGER_PREVIOUS_FILE = 4,
  TRIGGER_FIRST_FILE = 5,
  TRIGGER_LAST_FILE = 6,
  TRIGGER_LOOP = 7,
  TRIGGER_SHUFFLE = 8,
  TRIGGER_INCREASE_VOLUME = 9,
  TRIGGER_DECREASE_VOLUME = 10,
  TRIGGER_SEEK_BACK = 11,
  TRIGGER_SEEK_AHEAD = 12,
  TRIGGER_FULLSCREEN = 13,
  TRIGGER_MENU = 14,
  TRIGGER_EXIT = 15,
  TRIGGER_FULLSCREEN_LEAVE = 16,
  TRIGGER_FULLSCREEN_DEACTIVATE = 17,
  BUILT_IN_TRIGGER_COUNT = 18,
};

struct TriggerTableEntry {
  const char* category;
  const char* name;
  const char* description;
  DWORD flags;  // as CTrigger's
  DWORD keyCount;
  struct Key {
    DWORD key;
    DWORD modifiers;  // as CHotkey's
  } keys[10];
};

// The built-in triggers, in id order.
std::span<const TriggerTableEntry> BuiltInTriggerTable();
