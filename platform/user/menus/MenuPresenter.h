// Who shows a tracked menu and takes the user's choice. Headless the
// scripted answers of the testing header choose; a presenter on a real
// desktop installs itself here and shows the menu model as a real menu.
// The presenter runs on the thread that called TrackPopupMenu, with no
// lock of the layer held; it may read the menu through the menu calls.
#pragma once

#include <functional>

#include "twlwin/menus.h"

namespace twl::user::menus {

struct MenuTrack {
  HMENU menu = nullptr;
  UINT flags = 0;  // TPM_ flags as given
  POINT at{};      // screen point
  HWND owner = nullptr;
  bool systemMenu = false;
};

struct MenuAnswer {
  enum class Kind { Chosen, Dismissed, Failed };
  Kind kind = Kind::Dismissed;
  UINT id = 0;  // with Chosen
};

using MenuPresenter = std::function<MenuAnswer(const MenuTrack&)>;

// An empty presenter brings back the scripted answers.
void SetMenuPresenter(MenuPresenter presenter);

// Asks the presenter (or the script) for the answer to one track.
MenuAnswer PresentMenu(const MenuTrack& track);

}  // namespace twl::user::menus
