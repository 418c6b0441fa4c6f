// The presenter's way in to tracked menus (twlwin/presenter.h): its C
// callback becomes the menu presenter of MenuPresenter.h.
#include "MenuPresenter.h"
#include "twlwin/presenter.h"

using namespace twl::user::menus;

TWLAPI void TwlSetMenuPresenter(TWLMENUPRESENTER presenter, void* context) {
  if (!presenter) {
    SetMenuPresenter(nullptr);
    return;
  }
  SetMenuPresenter([presenter, context](const MenuTrack& track) {
    int chosen = presenter(track.menu, track.flags, track.at.x, track.at.y, track.owner, context);
    if (chosen < 0) return MenuAnswer{MenuAnswer::Kind::Failed, 0};
    if (chosen == 0) return MenuAnswer{};
    return MenuAnswer{MenuAnswer::Kind::Chosen, static_cast<UINT>(chosen)};
  });
}
