// The main window's pop-up menus built from a picture of the state they
// show: the main menu, the tray menu (the same playback items without the
// window submenus, ending in "Open the player" and "Never mind"), the
// Internet menu and the one-item "What's this?" menu. A builder answers
// the new menu, which the caller tracks and destroys, or null with the
// reason as the thread's last error (nothing half-built is left).
//
// User-interface thread: the playlist is walked as it stands.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "app/keys/BuiltInTriggers.h"
#include "foundation/kernel/CriticalSection.h"
#include "foundation/kernel/Str.h"

class CPlayListEntry;
class CPlayListEntryHolder;

namespace mainwindow {

// What the main and tray menus show.
struct MainMenuState {
  bool playing = false;
  bool paused = false;
  bool loop = false;
  bool shuffle = false;
  int mode = 0;  // 0 normal, 1 small, 2 mini
  bool onTopNormalSmall = false;
  bool onTopMini = false;
  // The playlist whose file entries "Go to..." offers (none: no entries),
  // the current entry's file number (-1 none), and the lock of the file
  // information records that give the entries' names (none: no lock).
  const CPlayListEntryHolder* playList = nullptr;
  INT currentEntry = -1;
  CriticalSection* infoLock = nullptr;
  // Today's date as the Internet menu shows it.
  CStr date;
  // The key of each built-in trigger as its items show it, by id.
  std::array<CStr, BUILT_IN_TRIGGER_COUNT> triggerKeys;
};

enum class MenuFor { kMainWindow, kTray };

HMENU BuildMainMenu(const MainMenuState& state, MenuFor target);
HMENU BuildInternetMenu(const CStr& date);
// The "What's this?" item for the introduction page with that index.
HMENU BuildWhatsThisMenu(int page);

// Adds the Internet items to `menu`; throws the menu error.
void FillInternetMenu(HMENU menu, const CStr& date);
// Adds the "Go to..." items of the file entries to `menu`; throws the menu
// error.
void FillGoToMenu(HMENU menu, const MainMenuState& state);

// Today's local date without the weekday, as the program writes dates.
CStr TodaysDate();

// Only so many file entries get a "Go to..." item: their ids must fit in
// the 16 bits a command travels in.
constexpr size_t kMaxGoToItems = 0xFFFF - 5000 + 1;
constexpr size_t kGoToGroupSize = 25;

// The file entries of a playlist in walk order, descending into folder
// entries (whose contents stand in for them), at most `limit` of them.
std::vector<const CPlayListEntry*> CollectFileEntries(const CPlayListEntryHolder& list, size_t limit);
// The walk position of the file entry with this serial number among the
// file entries of the playlist, or -1 when none has it (it was removed).
INT FindFileEntryNumber(const CPlayListEntryHolder& list, uint64_t serial);

// The "What's this?" page for a control: the first of the pages' control
// ids (-1 for a page without one) that equals it, with the time fields
// 120 to 124 counting as 120. -1 when no page points at the control.
int FindIntroPage(int controlId, std::span<const int> pageControls);

}  // namespace mainwindow
