#include "app/keys/BuiltInTriggers.h"

#include "app/keys/Hotkey.h"
#include "app/keys/Trigger.h"

namespace {

constexpr DWORD kFixed = CTrigger::kKeysFixed | CTrigger::kBuiltInFixed;
constexpr DWORD kCtrl = CHotkey::kCtrl;
constexpr DWORD kAlt = CHotkey::kAlt;
constexpr DWORD kHold = CHotkey::kHold;

// Keys with no name of their own in the key tables.
constexpr DWORD kPlayKey = 250;
constexpr DWORD kMediaNextTrack = 176;
constexpr DWORD kMediaPreviousTrack = 177;
constexpr DWORD kMediaStop = 178;
constexpr DWORD kMediaPlayPause = 179;
constexpr DWORD kVolumeDown = 174;
constexpr DWORD kVolumeUp = 175;

constexpr TriggerTableEntry kBuiltInTriggers[BUILT_IN_TRIGGER_COUNT] = {
    {kMainTriggerCategory, "Play", "", 0, 2, {{'P', 0}, {kPlayKey, 0}}},
    {kMainTriggerCategory, "Stop", "", 0, 2, {{'S', 0}, {kMediaStop, 0}}},
    {kMainTriggerCategory, "Pause", "", 0, 2, {{VK_PAUSE, 0}, {kMediaPlayPause, 0}}},
    {kMainTriggerCategory, "Next File", "", 0, 2, {{VK_DOWN, 0}, {kMediaNextTrack, 0}}},
    {kMainTriggerCategory, "Previous File", "", 0, 2, {{VK_UP, 0}, {kMediaPreviousTrack, 0}}},
    {kMainTriggerCategory, "First File", "", 0, 1, {{VK_HOME, 0}}},
    {kMainTriggerCategory, "Last File", "", 0, 1, {{VK_END, 0}}},
    {kMainTriggerCategory, "Loop", "", 0, 1, {{'L', 0}}},
    {kMainTriggerCategory, "Shuffle", "", 0, 1, {{'R', 0}}},
    {kMainTriggerCategory, "Increase Volume", "", 0, 2, {{VK_PRIOR, kHold}, {kVolumeUp, kHold}}},
    {kMainTriggerCategory, "Decrease Volume", "", 0, 2, {{VK_NEXT, kHold}, {kVolumeDown, kHold}}},
    {kMainTriggerCategory, "Seek Back", "", 0, 1, {{VK_LEFT, kHold}}},
    {kMainTriggerCategory, "Seek Ahead", "", 0, 1, {{VK_RIGHT, kHold}}},
    {kMainTriggerCategory, "Fullscreen", "", 0, 2, {{VK_RETURN, kAlt}, {VK_RETURN, kCtrl | kAlt}}},
    {kMainTriggerCategory, "Menu", "", kFixed, 1, {{VK_APPS, 0}}},
    {kMainTriggerCategory, "Exit", "", kFixed, 1, {{VK_F4, kAlt}}},
    {kFullscreenTriggerCategory, "Fullscreen Leave", "", kFixed, 3, {{VK_SPACE, 0}, {VK_RETURN, 0}, {VK_ESCAPE, 0}}},
    {kFullscreenTriggerCategory,
     "Fullscreen Deactivate",
     "",
     kFixed,
     6,
     {{VK_TAB, kAlt}, {VK_ESCAPE, kCtrl}, {VK_ESCAPE, kAlt}, {VK_ESCAPE, kCtrl | kAlt}, {VK_LWIN, 0}, {VK_RWIN, 0}}},
};

}  // namespace

std::span<const TriggerTableEntry> BuiltInTriggerTable() { return kBuiltInTriggers; }
