// Painting the main window: the background (and the current animation
// frame) under each tile, the info field and the background animation
// drawn straight onto the screen between paints, and the animated buttons
// painted again into the animation's frames when their state changed.
#include "app/ui/UserInterface.h"
#include "display/controls/DDBitmapButtons.h"
#include "display/controls/DDSurfaceText.h"
#include "display/directx/DirectDrawFailure.h"
#include "display/skinrender/DDSkin.h"
#include "display/state/DisplayLock.h"
#include "foundation/appcore/LogFront.h"
#include "foundation/appcore/ThreadErrorLog.h"
#include "foundation/errors/LocalText.h"
#include "foundation/errors/ThreadErrorState.h"
#include "foundation/kernel/Placeholder.h"
#include "windows/main/MainWindow.h"

namespace {

constexpr DWORD kLogPaint = 512;

void SetNoSurfaceError(const char* key, const char* text) { SetThreadError(THREAD_ERROR_GENERAL, 0, LocalText(key, text)); }

// The clipper of the window on the primary surface for one draw.
class PrimaryClip {
 public:
  PrimaryClip(IDirectDrawSurface2* primary, IDirectDrawClipper* clipper) : m_Primary(primary) {
    m_Result = primary->SetClipper(clipper);
  }
  ~PrimaryClip() { m_Primary->SetClipper(nullptr); }
  HRESULT GetResult() const { return m_Result; }

 private:
  IDirectDrawSurface2* m_Primary;
  HRESULT m_Result;
};

}  // namespace

bool CMainWindow::BeginTile(IDirectDrawSurface2* backBuffer, int x, int y, const RECT& tile) {
  HRESULT result = DD_OK;
  {
    DisplayLockScope lock;
    if (m_ButtonRefreshPending && !RefreshButtonsOverAnimation()) return false;
    CDDBitmapAnimation& animation = GetUserInterface().GetDDSkin().GetMainWindowSkin(m_Mode).GetAnimation();
    IDirectDrawSurface2* background = animation.GetBaseSurface();
    if (!background) {
      SetNoSurfaceError("GenericError.NoBackgroundSurface", "No background surface.");
      return false;
    }
    DDBLTFX effects{};
    effects.dwSize = sizeof effects;
    RECT target{x, y, x + (tile.right - tile.left), y + (tile.bottom - tile.top)};
    RECT source = tile;
    result = backBuffer->Blt(&target, background, &source, DDBLT_WAIT, &effects);
    const INT frames = animation.GetFrameCount();
    if (SUCCEEDED(result) && m_AnimationFrame >= 0 && m_AnimationFrame < frames - 1) {
      if (IDirectDrawSurface2* frame = animation.GetFrameSurface(m_AnimationFrame))
        result = backBuffer->Blt(&target, frame, &source, DDBLT_WAIT | DDBLT_KEYSRC, &effects);
    }
  }
  if (FAILED(result)) {
    SetDirectDrawThreadError(result);
    return false;
  }
  return true;
}

bool CMainWindow::Paint(const RECT* rect) {
  // The info field draws over what lies under it, so it is always drawn
  // again with it.
  if (m_InfoField) {
    RECT field = m_InfoField->GetRect();
    if (rect) IntersectRect(&field, &field, rect);
    if (!IsRectEmpty(&field)) InvalidateRect(&field);
  }
  return CWindow::Paint(rect);
}

void CMainWindow::PaintInfoPager() {
  CDDSurfaceText* field = GetInfoField();
  if (!field || !IsShown() || IsMinimized()) return;
  if (!field->Step()) return;
  bool drawn = false;
  {
    DisplayLockScope lock;
    CDisplaySurfaces* surfaces = CDisplaySurfaces::GetCurrent();
    IDirectDrawSurface2* primary = surfaces ? surfaces->GetPrimarySurface() : nullptr;
    if (!primary) {
      SetNoSurfaceError("GenericError.NoPrimarySurface", "No primary surface.");
    } else {
      PrimaryClip clip(primary, GetClipper());
      if (FAILED(clip.GetResult()))
        SetDirectDrawThreadError(clip.GetResult());
      else
        drawn = field->DrawStep(primary, GetRect().left, GetRect().top, true) != 0;
    }
  }
  if (!drawn) ReportDrawFailure("info pager");
}

void CMainWindow::ReportDrawFailure(const char* control) {
  if (!m_ReportPaintErrors) return;
  m_ReportPaintErrors = false;
  LogTime(kLogPaint);
  const CStr prefix = FillPlaceholders(
      LocalText("CMainWindow.PaintErrorPrefix", "Error during paint of window '%NAME%' (%CONTROL%):"),
      {{"%NAME%", GetName()}, {"%CONTROL%", control}});
  LogThreadError(kLogPaint, prefix.c_str());
}

void CMainWindow::NextAnimationFrame() {
  if (!m_AnimationRunning || !m_AnimationEnabled || IsMinimized() || !IsShown()) return;
  const DWORD now = timeGetTime();
  if (static_cast<LONG>(now - m_NextFrameTime) < 0) return;
  {
    DisplayLockScope lock;
    CDDBitmapAnimation& animation = GetUserInterface().GetDDSkin().GetMainWindowSkin(m_Mode).GetAnimation();
    const INT frames = animation.GetFrameCount();
    if (frames <= 0) return;
    if (++m_AnimationFrame >= frames) m_AnimationFrame = 0;
    const DWORD delay = static_cast<DWORD>(animation.GetFrameDelay(m_AnimationFrame));
    m_NextFrameTime += delay;
    if (static_cast<LONG>(now - m_NextFrameTime) >= 0) m_NextFrameTime = now + delay;
  }
  if (!DrawAnimationFrame()) ReportDrawFailure("background animation");
}

bool CMainWindow::DrawAnimationFrame() {
  DisplayLockScope lock;
  if (m_ButtonRefreshPending && !RefreshButtonsOverAnimation()) return false;
  CDisplaySurfaces* surfaces = CDisplaySurfaces::GetCurrent();
  IDirectDrawSurface2* primary = surfaces ? surfaces->GetPrimarySurface() : nullptr;
  if (!primary) {
    SetNoSurfaceError("GenericError.NoPrimarySurface", "No primary surface.");
    return false;
  }
  CDDBitmapAnimation& animation = GetUserInterface().GetDDSkin().GetMainWindowSkin(m_Mode).GetAnimation();
  IDirectDrawSurface2* frame = animation.GetFrameSurface(m_AnimationFrame);
  if (!frame) return true;
  PrimaryClip clip(primary, GetClipper());
  HRESULT result = clip.GetResult();
  if (SUCCEEDED(result)) {
    DDBLTFX effects{};
    effects.dwSize = sizeof effects;
    const RECT whole{0, 0, GetWidth(), GetHeight()};
    result = surfaces->GetPrimaryBlitter().Blt(primary, GetRect().left, GetRect().top, frame, whole,
                                               DDBLT_KEYSRC | DDBLT_WAIT, &effects);
  }
  if (FAILED(result)) {
    SetDirectDrawThreadError(result);
    return false;
  }
  return true;
}

bool CMainWindow::RefreshButtonsOverAnimation() {
  if (m_FrameTargets.empty()) return true;
  IDirectDrawSurface2* const* targets = m_FrameTargets.data();
  // Three passes: restore what lay under each button, save it anew, draw
  // the button's current state.
  for (int pass = 0; pass < 3; ++pass) {
    for (int index = 0; index < kButtonCount; ++index) {
      CDDControl* control = m_Buttons[static_cast<size_t>(index)];
      if (!control || !m_ButtonAnimated[static_cast<size_t>(index)]) continue;
      int done = 0;
      if (auto* box = dynamic_cast<CDDBitmapCheckBox*>(control))
        done = pass == 0 ? box->ResetState(targets) : pass == 1 ? box->SaveBackgroundIfNeeded(targets)
                                                                 : box->UpdateState(targets);
      else if (auto* button = dynamic_cast<CDDBitmapButton*>(control))
        done = pass == 0 ? button->ResetState(targets) : pass == 1 ? button->SaveBackgroundIfNeeded(targets)
                                                                    : button->UpdateState(targets);
      if (!done) return false;
    }
  }
  m_ButtonRefreshPending = false;
  return true;
}
