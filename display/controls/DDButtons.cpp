#include "display/controls/DDButtons.h"

#include "display/controls/DDControlServices.h"

namespace {

bool IsClickKey(int key) { return key == VK_SPACE || key == VK_RETURN; }

}  // namespace

// ---------------------------------------------------------------------------
// CDDButtonBase

CDDButtonBase::~CDDButtonBase() {
  if (IsCreated()) CDDButtonBase::Destroy();
}

int CDDButtonBase::Create(int id, DDControlCallback callback, void* owner, const RECT& rect, const BYTE* hitMask) {
  if (!CDDControl::Create(id, callback, owner, rect)) return 0;
  m_HitMask = hitMask;
  return 1;
}

void CDDButtonBase::Destroy() {
  m_Disabled = 0;
  m_Pressed = 0;
  m_Hover = 0;
  m_HitMask = nullptr;
  CDDControl::Destroy();
}

void CDDButtonBase::SetDisabled(int disabled) {
  m_Disabled = disabled;
  if (GetFocusWindow()) EnableWindow(GetFocusWindow(), disabled ? FALSE : TRUE);
}

int CDDButtonBase::GetState() const {
  if (m_Disabled) return 3;
  if (m_Pressed) return 2;
  return m_Hover ? 1 : 0;
}

int CDDButtonBase::HitTestInput(int x, int y) const {
  if (!HitTest(x, y)) return 0;
  if (!m_HitMask) return 1;
  const RECT& rect = GetRect();
  const size_t offset =
      static_cast<size_t>(y - rect.top) * static_cast<size_t>(GetWidth()) + static_cast<size_t>(x - rect.left);
  return m_HitMask[offset] != 0 ? 1 : 0;
}

void CDDButtonBase::OnMouseMove(int x, int y) {
  if (!IsVisible()) return;
  if (HitTestInput(x, y)) {
    if (m_Hover) return;
    m_Hover = 1;
    if (m_Disabled) return;
    Notify(DDN_ENTER, nullptr);
    Invalidate(nullptr);
    return;
  }
  const bool repaint = m_Hover || m_Pressed;
  if (m_Hover) {
    m_Hover = 0;
    if (!m_Disabled) Notify(DDN_LEAVE, nullptr);
  }
  m_Pressed = 0;
  if (repaint && !m_Disabled) Invalidate(nullptr);
}

void CDDButtonBase::Press(int data) {
  const bool wasPressed = m_Pressed;
  m_Pressed = 1;
  Notify(DDN_PRESSED, reinterpret_cast<void*>(static_cast<intptr_t>(data)));
  if (!wasPressed) Invalidate(nullptr);
}

void CDDButtonBase::Release() {
  m_Pressed = 0;
  Notify(DDN_RELEASED, nullptr);
  Invalidate(nullptr);
  OnClick();
}

void CDDButtonBase::OnMouseDown(int button, int x, int y) {
  CDDControl::OnMouseDown(button, x, y);
  if (button != 0 || !IsVisible() || m_Disabled || !HitTestInput(x, y)) return;
  Press(button);
}

void CDDButtonBase::OnMouseUp(int button, int x, int y) {
  // The focus goes where the button was released, as where it was pressed.
  CDDControl::OnMouseDown(button, x, y);
  if (button != 0 || !IsVisible() || m_Disabled || !m_Pressed || !HitTestInput(x, y)) return;
  Release();
}

void CDDButtonBase::OnFocusKeyDown(int key, int repeatCount) {
  if (!IsClickKey(key) || m_Disabled) return;
  Press(0);
}

void CDDButtonBase::OnFocusKeyUp(int key) {
  if (!IsClickKey(key) || !m_Pressed || m_Disabled) return;
  Release();
}

void CDDButtonBase::SetFocus(int focused) {
  CDDControl::SetFocus(focused);
  Invalidate(nullptr);
}

int CDDButtonBase::Draw(IDirectDrawSurface2* surface, int x, int y, const RECT* clip) {
  if (!IsVisible()) return 1;
  return DrawState(GetState(), surface, x, y, clip);
}

// ---------------------------------------------------------------------------
// CDDToggleButton

CDDToggleButton::~CDDToggleButton() {
  if (IsCreated()) CDDToggleButton::Destroy();
}

void CDDToggleButton::Destroy() {
  m_Checked = 0;
  m_Held = 0;
  CDDButtonBase::Destroy();
}

void CDDToggleButton::SetChecked(int checked) {
  m_Checked = checked ? 1 : 0;
  SetPressed(m_Checked);
  Notify(m_Checked ? DDN_PRESSED : DDN_RELEASED, nullptr);
}

void CDDToggleButton::OnMouseMove(int x, int y) {
  if (!IsActive()) return;
  if (HitTestInput(x, y)) {
    if (IsHovered()) return;
    SetHovered(1);
    Notify(DDN_ENTER, nullptr);
    Invalidate(nullptr);
    return;
  }
  const bool repaint = IsHovered() || (IsPressed() && !m_Checked);
  if (IsHovered()) {
    SetHovered(0);
    Notify(DDN_LEAVE, nullptr);
  }
  m_Held = 0;
  // The look falls back to the checked state.
  SetPressed(m_Checked);
  if (repaint) Invalidate(nullptr);
}

void CDDToggleButton::BeginHold() {
  if (!IsPressed()) {
    SetPressed(1);
    Notify(DDN_PRESSED, nullptr);
    Invalidate(nullptr);
  }
  m_Held = 1;
}

void CDDToggleButton::Toggle() {
  m_Checked = m_Checked ? 0 : 1;
  SetPressed(m_Checked);
  if (!m_Checked) Notify(DDN_RELEASED, nullptr);
  m_Held = 0;
  Invalidate(nullptr);
  OnClick();
}

void CDDToggleButton::OnMouseDown(int button, int x, int y) {
  CDDControl::OnMouseDown(button, x, y);
  if (button != 0 || !IsActive() || !HitTestInput(x, y)) return;
  BeginHold();
}

void CDDToggleButton::OnMouseUp(int button, int x, int y) {
  if (button != 0 || !IsActive() || !m_Held || !HitTestInput(x, y)) return;
  Toggle();
}

void CDDToggleButton::OnFocusKeyDown(int key, int repeatCount) {
  if (key != VK_SPACE || !IsActive()) return;
  BeginHold();
}

void CDDToggleButton::OnFocusKeyUp(int key) {
  if (key != VK_SPACE || !IsActive()) return;
  Toggle();
}

// ---------------------------------------------------------------------------
// Text buttons

int DDTextButtonLook::Draw(const CDDControl& button, int state, IDirectDrawSurface2* surface, int x, int y) {
  HOST_WRITER font = fonts[state];
  const RECT& rect = button.GetRect();
  const int width = button.GetWidth();
  int textWidth = ddcontrols::TextWidth(font, text.c_str());
  while (textWidth > width && !text.empty()) {
    text.pop_back();
    textWidth = ddcontrols::TextWidth(font, text.c_str());
  }
  const int shift = state == 2 ? 1 : 0;
  const int left = rect.left + (width - textWidth) / 2 + shift;
  const int top = rect.top + (button.GetHeight() - ddcontrols::FontHeight(font)) / 2 + shift;
  if (!ddcontrols::DrawText(font, surface, left + x, top + y, text.c_str())) return 0;
  if (state == 1 && !DrawRectFrame(surface, x, y, rect, light, shadow)) return 0;
  if (state == 2 && !DrawRectFrame(surface, x, y, rect, shadow, light)) return 0;
  if (button.IsFocused() && !DrawFocusRect(surface, x, y, rect, state, focusColor)) return 0;
  return 1;
}

namespace {

void SetLook(DDTextButtonLook& look, const char* text, const HOST_WRITER fonts[4], DWORD light, DWORD shadow,
             DWORD focusColor) {
  look.text = text ? text : "";
  for (int index = 0; index < 4; ++index) look.fonts[index] = fonts ? fonts[index] : nullptr;
  look.light = light;
  look.shadow = shadow;
  look.focusColor = focusColor;
}

}  // namespace

int CDDPushButton::Create(int id, DDControlCallback callback, void* owner, const RECT& rect, const char* text,
                          const HOST_WRITER fonts[4], DWORD light, DWORD shadow, DWORD focusColor) {
  if (!CDDButtonBase::Create(id, callback, owner, rect, nullptr)) return 0;
  SetLook(m_Look, text, fonts, light, shadow, focusColor);
  return 1;
}

int CDDPushButton::DrawState(int state, IDirectDrawSurface2* surface, int x, int y, const RECT*) {
  return m_Look.Draw(*this, state, surface, x, y);
}

int CDDCheckBox::Create(int id, DDControlCallback callback, void* owner, const RECT& rect, const char* text,
                        const HOST_WRITER fonts[4], DWORD light, DWORD shadow, DWORD focusColor) {
  if (!CDDButtonBase::Create(id, callback, owner, rect, nullptr)) return 0;
  SetLook(m_Look, text, fonts, light, shadow, focusColor);
  return 1;
}

int CDDCheckBox::DrawState(int state, IDirectDrawSurface2* surface, int x, int y, const RECT*) {
  return m_Look.Draw(*this, state, surface, x, y);
}

// ---------------------------------------------------------------------------
// Picture buttons

void DDStatePictures::Take(IDirectDrawSurface2* const* pictures, int count) {
  Release();
  for (int index = 0; index < count && pictures; ++index) {
    m_Pictures[index] = pictures[index];
    if (m_Pictures[index]) m_Pictures[index]->AddRef();
    m_Flags[index] = KeyFlagOf(m_Pictures[index]);
  }
}

void DDStatePictures::Release() {
  for (int index = 0; index < 4; ++index) {
    if (m_Pictures[index]) m_Pictures[index]->Release();
    m_Pictures[index] = nullptr;
    m_Flags[index] = 0;
  }
}

int DDStatePictures::Blit(int index, IDirectDrawSurface2* surface, int x, int y, const RECT& rect) const {
  IDirectDrawSurface2* picture = index >= 0 && index < 4 ? m_Pictures[index] : nullptr;
  if (!picture) return 1;
  RECT target{rect.left + x, rect.top + y, rect.right + x, rect.bottom + y};
  const HRESULT result = surface->Blt(&target, picture, nullptr, m_Flags[index] | DDBLT_WAIT, nullptr);
  if (FAILED(result)) {
    ddcontrols::SetDirectDrawError(result);
    return 0;
  }
  return 1;
}

CDDSurfacePushButton::~CDDSurfacePushButton() {
  if (IsCreated()) CDDSurfacePushButton::Destroy();
}

int CDDSurfacePushButton::Create(int id, DDControlCallback callback, void* owner, const RECT& rect, const BYTE* hitMask,
                                 IDirectDrawSurface2* const pictures[4]) {
  if (!CDDButtonBase::Create(id, callback, owner, rect, hitMask)) return 0;
  m_Pictures.Take(pictures, 4);
  return 1;
}

void CDDSurfacePushButton::Destroy() {
  m_Pictures.Release();
  CDDButtonBase::Destroy();
}

int CDDSurfacePushButton::DrawState(int state, IDirectDrawSurface2* surface, int x, int y, const RECT*) {
  return m_Pictures.Blit(state, surface, x, y, GetRect());
}

CDDSurfaceToggleButton::~CDDSurfaceToggleButton() {
  if (IsCreated()) CDDSurfaceToggleButton::Destroy();
}

int CDDSurfaceToggleButton::Create(int id, DDControlCallback callback, void* owner, const RECT& rect,
                                   const BYTE* hitMask, IDirectDrawSurface2* const pictures[4]) {
  if (!CDDButtonBase::Create(id, callback, owner, rect, hitMask)) return 0;
  m_Pictures.Take(pictures, 4);
  return 1;
}

void CDDSurfaceToggleButton::Destroy() {
  m_Pictures.Release();
  CDDToggleButton::Destroy();
}

int CDDSurfaceToggleButton::DrawState(int state, IDirectDrawSurface2* surface, int x, int y, const RECT*) {
  return m_Pictures.Blit(state, surface, x, y, GetRect());
}
