// A window's surface-drawn controls: the buttons and labels a window makes
// in the skin's style, the callback that routes their reports back to the
// window, and drawing them into a tile.
#include <memory>

#include "display/controls/DDButtons.h"
#include "display/controls/DDTextControls.h"
#include "display/controls/SkinControlStyle.h"
#include "display/skinrender/DDSkin.h"
#include "display/skinrender/DDSkinFontSet.h"
#include "display/state/DisplaySurfaces.h"
#include "display/window/Window.h"

namespace {

const CDDSkin* LoadedSkin() {
  CDisplaySurfaces* surfaces = CDisplaySurfaces::GetCurrent();
  const CDDSkin* skin = surfaces ? surfaces->GetDrawableSkin() : nullptr;
  return skin && skin->IsLoaded() ? skin : nullptr;
}

HOST_WRITER Writer(CDDWriter* writer) { return reinterpret_cast<HOST_WRITER>(writer); }

}  // namespace

int CWindow::ControlCallback(int type, CDDControl* control, void* data) {
  auto* window = static_cast<CWindow*>(control->GetOwner());
  // A window being ended hears nothing more from its controls (their
  // focus windows lose the focus as they go).
  if (!window || window->m_Destroying) return 1;
  return window->OnControlEvent(type, control, data);
}

CDDControl* CWindow::CreateButton(int id, const char* text, const RECT* rect, const SkinControlStyle& style,
                                  bool checkBox) {
  if (!rect || !LoadedSkin()) return nullptr;
  const HOST_WRITER fonts[4] = {Writer(style.fonts[0]), Writer(style.fonts[1]), Writer(style.fonts[2]),
                                Writer(style.fonts[3])};
  std::unique_ptr<CDDControl> made;
  int created = 0;
  if (checkBox) {
    auto box = std::make_unique<CDDCheckBox>();
    created = box->Create(id, &ControlCallback, this, *rect, text, fonts, style.light, style.shadow, style.focusColor);
    made = std::move(box);
  } else {
    auto button = std::make_unique<CDDPushButton>();
    created =
        button->Create(id, &ControlCallback, this, *rect, text, fonts, style.light, style.shadow, style.focusColor);
    made = std::move(button);
  }
  if (!created) return nullptr;
  m_Controls.Add(made.get());
  return made.release();
}

CDDLabel* CWindow::CreateLabel(int id, const char* text, const RECT* rect, int fontIndex) {
  const CDDSkin* skin = rect ? LoadedSkin() : nullptr;
  if (!skin) return nullptr;
  CDDWriter* font = skin->GetFontSet().GetFont(fontIndex == -1 ? 0 : fontIndex);
  auto label = std::make_unique<CDDLabel>();
  if (!label->Create(id, &ControlCallback, this, *rect, Writer(font), text)) return nullptr;
  m_Controls.Add(label.get());
  return label.release();
}

bool CWindow::DrawTile(IDirectDrawSurface2* backBuffer, int x, int y, const RECT& tile) {
  return m_Controls.Draw(backBuffer, x - tile.left, y - tile.top, &tile) != 0;
}
