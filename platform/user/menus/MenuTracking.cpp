// Showing a menu: TrackPopupMenu asks the presenter (headless: the scripted
// answers), checks that the answer is an item a user could choose, keeps a
// record of the track, and delivers the choice. One menu is shown at a time.
#include <cstdio>
#include <cstring>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "MenuModel.h"
#include "MenuPresenter.h"
#include "platform/user/WindowManager.h"
#include "twlwin/errors.h"
#include "twlwin/testing_desktop.h"
#include "twlwin/windowing.h"

namespace twl::user::menus {

namespace {

struct TrackRecord {
  TWL_MENU_TRACK track{};
  std::string description;
};

struct Script {
  std::mutex lock;
  std::deque<MenuAnswer> answers;
  TWL_MENU_SCRIPT script = nullptr;
  void* context = nullptr;
  MenuPresenter presenter;
  std::vector<TrackRecord> tracks;
  bool tracking = false;
};

Script& TheScript() {
  static auto* script = new Script;  // never destroyed: menus may be shown during exit
  return *script;
}

MenuAnswer ScriptedAnswer(const MenuTrack& track) {
  Script& s = TheScript();
  TWL_MENU_SCRIPT script = nullptr;
  void* context = nullptr;
  {
    std::lock_guard guard(s.lock);
    if (!s.answers.empty()) {
      MenuAnswer answer = s.answers.front();
      s.answers.pop_front();
      return answer;
    }
    script = s.script;
    context = s.context;
  }
  if (!script) return MenuAnswer{};
  int chosen = script(track.menu, track.flags, track.at.x, track.at.y, context);
  if (chosen < 0) return MenuAnswer{MenuAnswer::Kind::Failed, 0};
  if (chosen == 0) return MenuAnswer{};
  return MenuAnswer{MenuAnswer::Kind::Chosen, static_cast<UINT>(chosen)};
}

// Only one menu is shown at a time, as on a desktop.
bool BeginTracking() {
  Script& s = TheScript();
  std::lock_guard guard(s.lock);
  if (s.tracking) return false;
  s.tracking = true;
  return true;
}

void EndTracking(const TrackRecord& record) {
  Script& s = TheScript();
  std::lock_guard guard(s.lock);
  s.tracking = false;
  s.tracks.push_back(record);
}

bool IsWindowOfThisProcess(HWND window) {
  Guard guard(Lock());
  return FindLocked(window) != nullptr;
}

}  // namespace

void SetMenuPresenter(MenuPresenter presenter) {
  Script& s = TheScript();
  std::lock_guard guard(s.lock);
  s.presenter = std::move(presenter);
}

MenuAnswer PresentMenu(const MenuTrack& track) {
  MenuPresenter presenter;
  {
    Script& s = TheScript();
    std::lock_guard guard(s.lock);
    presenter = s.presenter;
  }
  return presenter ? presenter(track) : ScriptedAnswer(track);
}

// Shows the menu and delivers the choice; TrackPopupMenu's answer.
BOOL Track(const MenuTrack& track) {
  if (!BeginTracking()) {
    SetLastError(ERROR_POPUP_ALREADY_ACTIVE);
    return FALSE;
  }
  TrackRecord record;
  record.description = Describe(track.menu);
  MenuAnswer answer = PresentMenu(track);
  if (answer.kind == MenuAnswer::Kind::Chosen && !IsChoosable(track.menu, answer.id)) {
    std::fprintf(stderr, "[menu] answer %u is no item a user could choose here; the menu is dismissed\n", answer.id);
    answer = MenuAnswer{};
  }
  record.track = TWL_MENU_TRACK{track.flags, track.at, track.owner, track.systemMenu, 0};
  if (answer.kind == MenuAnswer::Kind::Chosen) record.track.answer = static_cast<int>(answer.id);
  if (answer.kind == MenuAnswer::Kind::Failed) record.track.answer = -1;
  EndTracking(record);

  if (answer.kind == MenuAnswer::Kind::Failed) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return FALSE;
  }
  const bool chosen = answer.kind == MenuAnswer::Kind::Chosen;
  if (track.flags & TPM_RETURNCMD) return chosen ? static_cast<BOOL>(answer.id) : 0;
  if (!chosen) return TRUE;
  if (track.systemMenu)
    PostMessageA(track.owner, WM_SYSCOMMAND, answer.id,
                 MAKELPARAM(static_cast<WORD>(track.at.x), static_cast<WORD>(track.at.y)));
  else
    PostMessageA(track.owner, WM_COMMAND, MAKEWPARAM(answer.id, 0), 0);
  return TRUE;
}

}  // namespace twl::user::menus

using namespace twl::user::menus;

TWLAPI BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int, HWND owner, const RECT*) {
  if (!Exists(menu)) {
    SetLastError(ERROR_INVALID_MENU_HANDLE);
    return FALSE;
  }
  if (!IsWindowOfThisProcess(owner)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  return Track(MenuTrack{menu, flags, POINT{x, y}, owner, SystemMenuOwner(menu) != 0});
}

TWLAPI BOOL TwlTestOpenSystemMenu(HWND window) {
  HMENU menu = GetSystemMenu(window, FALSE);
  if (!menu) return FALSE;
  POINT at{};
  GetCursorPos(&at);
  Track(MenuTrack{menu, TPM_RIGHTBUTTON, at, window, true});
  return TRUE;
}

TWLAPI void TwlTestPushMenuChoice(UINT id) {
  Script& s = TheScript();
  std::lock_guard guard(s.lock);
  s.answers.push_back(id ? MenuAnswer{MenuAnswer::Kind::Chosen, id} : MenuAnswer{});
}

TWLAPI void TwlTestPushMenuFailure() {
  Script& s = TheScript();
  std::lock_guard guard(s.lock);
  s.answers.push_back(MenuAnswer{MenuAnswer::Kind::Failed, 0});
}

TWLAPI void TwlTestSetMenuScript(TWL_MENU_SCRIPT script, void* context) {
  Script& s = TheScript();
  std::lock_guard guard(s.lock);
  s.script = script;
  s.context = context;
}

TWLAPI void TwlTestFailMenuCreation(int skip) { FailCreation(skip); }

TWLAPI void TwlTestFailMenuInsertion(int skip) { FailInsertion(skip); }

TWLAPI void TwlTestResetMenus() {
  {
    Script& s = TheScript();
    std::lock_guard guard(s.lock);
    s.answers.clear();
    s.script = nullptr;
    s.context = nullptr;
    s.tracks.clear();
  }
  FailCreation(-1);
  FailInsertion(-1);
}

TWLAPI int TwlTestMenuTrackCount() {
  Script& s = TheScript();
  std::lock_guard guard(s.lock);
  return static_cast<int>(s.tracks.size());
}

namespace {

DWORD CopyOut(const std::string& text, LPSTR buffer, DWORD size) {
  if (buffer && size > 0) {
    size_t n = text.size() < size - 1 ? text.size() : size - 1;
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
  }
  return static_cast<DWORD>(text.size());
}

}  // namespace

TWLAPI BOOL TwlTestGetMenuTrack(int index, TWL_MENU_TRACK* track, LPSTR description, DWORD size) {
  Script& s = TheScript();
  std::lock_guard guard(s.lock);
  if (index < 0 || static_cast<size_t>(index) >= s.tracks.size()) return FALSE;
  const TrackRecord& record = s.tracks[static_cast<size_t>(index)];
  if (track) *track = record.track;
  CopyOut(record.description, description, size);
  return TRUE;
}

TWLAPI DWORD TwlTestDescribeMenu(HMENU menu, LPSTR buffer, DWORD size) {
  return CopyOut(Describe(menu), buffer, size);
}
