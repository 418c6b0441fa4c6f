#include "display/lineanim/LineAnimationWindow.h"

#include <algorithm>

#include "display/directx/DirectDrawFailure.h"
#include "display/frames/FramePainting.h"
#include "display/paint/PrimaryBlitter.h"
#include "display/state/DisplayLock.h"
#include "display/state/DisplayState.h"
#include "display/state/DisplaySurfaces.h"
#include "display/window/Window.h"
#include "foundation/errors/LocalText.h"
#include "foundation/errors/ThreadErrorState.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CLineAnimationWindow, CTypedObject)

namespace {

bool IsEmptyRect(const RECT& rect) { return rect.right <= rect.left || rect.bottom <= rect.top; }

// Length of a line that has come `progress` of `full` pixels across an
// extent. A rectangle one pixel across has no way to grow: the line is
// drawn whole.
LONG GrownLength(LONG progress, LONG extent, LONG full) {
  if (full <= 0) return extent;
  const long long length = static_cast<long long>(progress) * extent / full;
  return static_cast<LONG>(std::clamp<long long>(length, 0, extent));
}

}  // namespace

void CLineAnimationWindow::Setup(CWindow* target, const RECT& rect, int direction, int steps, int passes,
                                 int thickness, int pause, DWORD color) {
  Stop();
  m_Target = target;
  m_Rect = rect;
  m_Direction = direction;
  m_StepCount = std::max(1, steps);
  m_Passes = passes;
  m_Thickness = thickness;
  m_Pause = pause;
  m_Color = color;
  m_HorizontalLines = direction == kUpwards || direction == kDownwards;
  const long extent = m_HorizontalLines ? rect.bottom - rect.top : rect.right - rect.left;
  m_Step = m_StepCount <= 1 ? 0.0 : static_cast<double>(extent - thickness) / (m_StepCount - 1);
}

bool CLineAnimationWindow::Start() {
  EndAnimation();
  if (!CreateBackground()) return false;
  m_Running = true;
  m_CurrentStep = 0;
  m_PassesLeft = m_Passes;
  m_PauseLeft = 0;
  m_Position = m_Direction == kLeftwards   ? m_Rect.right - m_Thickness
               : m_Direction == kRightwards ? m_Rect.left
               : m_Direction == kUpwards    ? m_Rect.bottom - m_Thickness
                                            : m_Rect.top;
  m_DrawnLine = RECT{};
  return true;
}

void CLineAnimationWindow::EndAnimation() {
  if (m_Running && m_Background) {
    DisplayLockScope lock;
    EraseLine(LineRect());
  }
  ReleaseBackground();
  m_Running = false;
}

void CLineAnimationWindow::Stop() {
  if (!m_Target) return;
  EndAnimation();
  m_Target = nullptr;
}

void CLineAnimationWindow::Tick() {
  m_DrawnLine = RECT{};
  if (!m_Running || !m_Background) return;
  bool outOfPause = false;
  if (m_PauseLeft > 0) {
    if (--m_PauseLeft > 0) return;
    m_PassesLeft = m_Passes;
    outOfPause = true;
  }
  DisplayLockScope lock;
  if (!outOfPause) EraseLine(LineRect());
  Advance();
  if (m_PauseLeft > 0) return;
  const RECT line = LineRect();
  DrawLine(line);
  if (!IsEmptyRect(line)) m_DrawnLine = line;
}

void CLineAnimationWindow::Advance() {
  if (++m_CurrentStep >= m_StepCount) {
    if (--m_PassesLeft <= 0) m_PauseLeft = m_Pause + 1;
    m_CurrentStep = 0;
  }
  const int s = static_cast<int>(m_CurrentStep * m_Step);
  switch (m_Direction) {
    case kLeftwards: m_Position = m_Rect.right - s - m_Thickness; break;
    case kRightwards: m_Position = m_Rect.left + s; break;
    case kUpwards: m_Position = m_Rect.bottom - s - m_Thickness; break;
    default: m_Position = m_Rect.top + s; break;
  }
}

RECT CLineAnimationWindow::LineRect() const {
  const LONG width = m_Rect.right - m_Rect.left;
  const LONG height = m_Rect.bottom - m_Rect.top;
  if (m_HorizontalLines) {
    if (m_Position < m_Rect.top || m_Position + m_Thickness > m_Rect.bottom) return RECT{};
    const LONG progress = m_Direction == kUpwards ? m_Rect.bottom - m_Position - 1 : m_Position - m_Rect.top;
    const LONG length = GrownLength(progress, width, height - 1);
    const LONG left = m_Rect.left + ((width - length) >> 1);
    return RECT{left, m_Position, left + length, m_Position + m_Thickness};
  }
  if (m_Position < m_Rect.left || m_Position + m_Thickness > m_Rect.right) return RECT{};
  const LONG progress = m_Direction == kLeftwards ? m_Rect.right - m_Position - 1 : m_Position - m_Rect.left;
  const LONG length = GrownLength(progress, height, width - 1);
  const LONG top = m_Rect.top + ((height - length) >> 1);
  return RECT{m_Position, top, m_Position + m_Thickness, top + length};
}

bool CLineAnimationWindow::CreateBackground() {
  if (IsEmptyRect(m_Rect) || !m_Target) return true;
  DisplayLockScope lock;
  const DWORD width = static_cast<DWORD>(m_Rect.right - m_Rect.left);
  const DWORD height = static_cast<DWORD>(m_Rect.bottom - m_Rect.top);
  IDirectDrawSurface2* surface = nullptr;
  const CDisplayState* display = CDisplayState::GetCurrent();
  HRESULT result = display ? display->CreateOffscreenSurface(width, height, &surface, DDSCAPS_VIDEOMEMORY)
                           : DDERR_INVALIDOBJECT;
  if (FAILED(result) && display) result = display->CreateOffscreenSurface(width, height, &surface);
  if (SUCCEEDED(result))
    result = PaintAuxFrame(surface, 0, 0, m_Target->GetWidth(), m_Target->GetHeight(), m_Target->GetTitle().c_str(),
                           &m_Rect);
  if (FAILED(result)) {
    if (surface) surface->Release();
    SetDirectDrawThreadError(result);
    return false;
  }
  m_Background = surface;
  return true;
}

void CLineAnimationWindow::ReleaseBackground() {
  if (m_Background) m_Background->Release();
  m_Background = nullptr;
}

void CLineAnimationWindow::DrawLine(const RECT& line) {
  if (IsEmptyRect(line) || !m_Target) return;
  CDisplaySurfaces* surfaces = CDisplaySurfaces::GetCurrent();
  IDirectDrawSurface2* primary = surfaces ? surfaces->GetPrimarySurface() : nullptr;
  if (!primary) {
    SetThreadError(THREAD_ERROR_GENERAL, 0, LocalText("GenericError.NoPrimarySurface", "No primary surface.").c_str());
    return;
  }
  RECT onScreen = line;
  OffsetRect(&onScreen, m_Target->GetRect().left, m_Target->GetRect().top);
  DDBLTFX effects{};
  effects.dwSize = sizeof effects;
  effects.dwFillColor = m_Color;
  CPrimaryBlitter& blitter = surfaces->GetPrimaryBlitter();
  if (blitter.IsConversionActive())
    effects.dwFillColor = static_cast<DWORD>(blitter.GetPaletteTranslationTable()[m_Color & 0xFF]);
  HRESULT result = primary->SetClipper(m_Target->GetClipper());
  if (SUCCEEDED(result)) {
    result = primary->Blt(&onScreen, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &effects);
    primary->SetClipper(nullptr);
  }
  if (FAILED(result)) SetDirectDrawThreadError(result);
}

void CLineAnimationWindow::EraseLine(const RECT& line) {
  if (IsEmptyRect(line) || !m_Target || !m_Background) return;
  CDisplaySurfaces* surfaces = CDisplaySurfaces::GetCurrent();
  IDirectDrawSurface2* primary = surfaces ? surfaces->GetPrimarySurface() : nullptr;
  if (!primary) return;
  RECT source = line;
  OffsetRect(&source, -m_Rect.left, -m_Rect.top);
  DDBLTFX effects{};
  effects.dwSize = sizeof effects;
  HRESULT result = primary->SetClipper(m_Target->GetClipper());
  if (SUCCEEDED(result)) {
    result = surfaces->GetPrimaryBlitter().Blt(primary, m_Target->GetRect().left + line.left,
                                               m_Target->GetRect().top + line.top, m_Background, source, DDBLT_WAIT,
                                               &effects);
    primary->SetClipper(nullptr);
  }
  if (FAILED(result)) SetDirectDrawThreadError(result);
}
