#include "display/controls/DDBitmapButtons.h"

#include "display/controls/ControlSurfaces.h"
#include "display/controls/DDControlServices.h"

// ---------------------------------------------------------------------------
// DDTargetPainter

bool DDTargetPainter::Create(IDirectDrawSurface2* const pictures[3], int targetCount, int width, int height) {
  Release();
  for (int index = 0; index < 3 && pictures; ++index) {
    m_Pictures[index] = pictures[index];
    if (m_Pictures[index]) m_Pictures[index]->AddRef();
    m_Flags[index] = KeyFlagOf(m_Pictures[index]);
  }
  for (int index = 0; index < targetCount; ++index) {
    IDirectDrawSurface2* saved = nullptr;
    const HRESULT result = ddcontrols::CreateControlSurface(static_cast<DWORD>(width), static_cast<DWORD>(height),
                                                            DDSCAPS_SYSTEMMEMORY, false, &saved);
    if (FAILED(result)) {
      ddcontrols::SetDirectDrawError(result);
      return false;
    }
    m_SavedBackgrounds.push_back(saved);
  }
  return true;
}

void DDTargetPainter::Release() {
  for (int index = 0; index < 3; ++index) {
    if (m_Pictures[index]) m_Pictures[index]->Release();
    m_Pictures[index] = nullptr;
    m_Flags[index] = 0;
  }
  for (IDirectDrawSurface2* saved : m_SavedBackgrounds) saved->Release();
  m_SavedBackgrounds.clear();
  m_Saved = false;
  m_PaintedState = -1;
}

int DDTargetPainter::SaveBackgrounds(IDirectDrawSurface2* const* targets, const RECT& rect) {
  for (size_t index = 0; index < m_SavedBackgrounds.size(); ++index)
    if (!ddcontrols::CopyRect(m_SavedBackgrounds[index], 0, 0, targets[index], rect)) return 0;
  m_Saved = true;
  return 1;
}

int DDTargetPainter::RestoreBackgrounds(IDirectDrawSurface2* const* targets, const RECT& rect) const {
  const RECT whole{0, 0, rect.right - rect.left, rect.bottom - rect.top};
  for (size_t index = 0; index < m_SavedBackgrounds.size(); ++index)
    if (!ddcontrols::CopyRect(targets[index], rect.left, rect.top, m_SavedBackgrounds[index], whole)) return 0;
  return 1;
}

int DDTargetPainter::ResetState(IDirectDrawSurface2* const* targets, const RECT& rect) {
  if (m_Saved && !RestoreBackgrounds(targets, rect)) return 0;
  m_PaintedState = 0;
  return 1;
}

int DDTargetPainter::SaveBackgroundIfNeeded(int state, IDirectDrawSurface2* const* targets, const RECT& rect) {
  if (state == m_PaintedState || state == 0 || m_Saved) return 1;
  return SaveBackgrounds(targets, rect);
}

int DDTargetPainter::UpdateState(int state, IDirectDrawSurface2* const* targets, const RECT& rect) {
  if (state == m_PaintedState) return 1;
  if (state == 0) {
    if (m_Saved && !RestoreBackgrounds(targets, rect)) return 0;
    m_PaintedState = 0;
    return 1;
  }
  if (!m_Saved && !SaveBackgrounds(targets, rect)) return 0;
  IDirectDrawSurface2* picture = m_Pictures[state - 1];
  for (size_t index = 0; picture && index < m_SavedBackgrounds.size(); ++index) {
    RECT target = rect;
    const HRESULT result = targets[index]->Blt(&target, picture, nullptr, m_Flags[state - 1] | DDBLT_WAIT, nullptr);
    if (FAILED(result)) {
      ddcontrols::SetDirectDrawError(result);
      return 0;
    }
  }
  m_PaintedState = state;
  return 1;
}

int DDTargetPainter::DrawPicture(int state, IDirectDrawSurface2* surface, int x, int y, const RECT& rect) const {
  IDirectDrawSurface2* picture = state >= 1 && state <= 3 ? m_Pictures[state - 1] : nullptr;
  if (!picture) return 1;
  RECT target{rect.left + x, rect.top + y, rect.right + x, rect.bottom + y};
  const HRESULT result = surface->Blt(&target, picture, nullptr, m_Flags[state - 1] | DDBLT_WAIT, nullptr);
  if (FAILED(result)) {
    ddcontrols::SetDirectDrawError(result);
    return 0;
  }
  return 1;
}

// ---------------------------------------------------------------------------
// CDDBitmapButton, CDDBitmapCheckBox

CDDBitmapButton::~CDDBitmapButton() {
  if (IsCreated()) CDDBitmapButton::Destroy();
}

int CDDBitmapButton::Create(int id, DDControlCallback callback, void* owner, const RECT& rect, const BYTE* hitMask,
                            IDirectDrawSurface2* const pictures[3], int targetCount) {
  if (!CDDButtonBase::Create(id, callback, owner, rect, hitMask)) return 0;
  m_Mode = 1;
  if (m_Painter.Create(pictures, targetCount, GetWidth(), GetHeight())) return 1;
  Destroy();
  return 0;
}

void CDDBitmapButton::Destroy() {
  m_Painter.Release();
  CDDButtonBase::Destroy();
}

int CDDBitmapButton::DrawState(int state, IDirectDrawSurface2* surface, int x, int y, const RECT*) {
  return m_Mode == 1 ? 1 : m_Painter.DrawPicture(state, surface, x, y, GetRect());
}

CDDBitmapCheckBox::~CDDBitmapCheckBox() {
  if (IsCreated()) CDDBitmapCheckBox::Destroy();
}

int CDDBitmapCheckBox::Create(int id, DDControlCallback callback, void* owner, const RECT& rect, const BYTE* hitMask,
                              IDirectDrawSurface2* const pictures[3], int targetCount) {
  if (!CDDButtonBase::Create(id, callback, owner, rect, hitMask)) return 0;
  m_Mode = 1;
  if (m_Painter.Create(pictures, targetCount, GetWidth(), GetHeight())) return 1;
  Destroy();
  return 0;
}

void CDDBitmapCheckBox::Destroy() {
  m_Painter.Release();
  CDDToggleButton::Destroy();
}

int CDDBitmapCheckBox::DrawState(int state, IDirectDrawSurface2* surface, int x, int y, const RECT*) {
  return m_Mode == 1 ? 1 : m_Painter.DrawPicture(state, surface, x, y, GetRect());
}
