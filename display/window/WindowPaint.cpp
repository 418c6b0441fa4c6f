// Painting a window: the dirty rectangle, the tiles drawn into the shared
// back buffer and copied onto the screen, and what a failed paint leaves
// behind.
#include <algorithm>

#include "display/directx/DirectDrawFailure.h"
#include "display/paint/PrimaryBlitter.h"
#include "display/state/DisplayLock.h"
#include "display/state/DisplaySurfaces.h"
#include "display/window/Window.h"
#include "foundation/appcore/LogFront.h"
#include "foundation/appcore/ThreadErrorLog.h"
#include "foundation/errors/LocalText.h"
#include "foundation/errors/ThreadErrorState.h"
#include "foundation/kernel/Placeholder.h"

namespace {

// Paint failures go to the log under their own category.
constexpr DWORD kLogPaint = 0x200;

bool IsZero(const RECT& rect) { return rect.left == 0 && rect.top == 0 && rect.right == 0 && rect.bottom == 0; }

bool Contains(const RECT& outer, const RECT& inner) {
  return inner.left >= outer.left && inner.right <= outer.right && inner.top >= outer.top &&
         inner.bottom <= outer.bottom;
}

void SetNoPrimarySurfaceError() {
  SetThreadError(THREAD_ERROR_GENERAL, 0, LocalText("CWindow.NoPrimarySurface", "No primary surface."));
}

// Frees a copied thread error when the paint is over.
struct ErrorCopy {
  ThreadErrorState* copy = nullptr;
  ~ErrorCopy() { FreeThreadErrorCopy(copy); }
};

}  // namespace

void CWindow::InvalidateRect(const RECT* rect) {
  if (!rect) {
    m_DirtyRect = RECT{0, 0, GetWidth(), GetHeight()};
    return;
  }
  if (IsZero(m_DirtyRect))
    m_DirtyRect = *rect;
  else
    UnionRect(&m_DirtyRect, &m_DirtyRect, rect);
  m_DirtyRect.left = std::max<LONG>(m_DirtyRect.left, 0);
  m_DirtyRect.top = std::max<LONG>(m_DirtyRect.top, 0);
  m_DirtyRect.right = std::min<LONG>(m_DirtyRect.right, GetWidth());
  m_DirtyRect.bottom = std::min<LONG>(m_DirtyRect.bottom, GetHeight());
}

void CWindow::ClipDirtyRect() {
  m_DirtyRect.right = std::min<LONG>(m_DirtyRect.right, GetWidth());
  m_DirtyRect.bottom = std::min<LONG>(m_DirtyRect.bottom, GetHeight());
  if (m_DirtyRect.left >= m_DirtyRect.right || m_DirtyRect.top >= m_DirtyRect.bottom) m_DirtyRect = RECT{};
}

bool CWindow::PaintDirty() {
  if (IsZero(m_DirtyRect)) return true;
  // Paint changes the dirty rectangle as it goes.
  const RECT dirty = m_DirtyRect;
  return Paint(&dirty);
}

void CWindow::OnControlInvalidate(CDDControl*, const RECT* rect) {
  InvalidateRect(rect);
  if (!m_InInputBroadcast) PaintDirty();
}

void CWindow::OnPaint() {
  // The screen is painted from the surfaces, not through the DC: the paint
  // only tells Windows that the window is valid again.
  m_PaintRecord = PAINTSTRUCT{};
  if (BeginPaint(m_Window, &m_PaintRecord))
    EndPaint(m_Window, &m_PaintRecord);
  else
    LogText(kLogPaint, "CWindow.BeginPaintFailed", "Unable to begin painting.", "\n");
  CDisplaySurfaces* surfaces = CDisplaySurfaces::GetCurrent();
  if (surfaces && surfaces->AreSurfacesLost()) surfaces->RestoreSurfaces();
  const RECT& invalid = m_PaintRecord.rcPaint;
  const bool fromOrigin = invalid.left == 0 && invalid.top == 0;
  const bool empty = invalid.right == 0 && invalid.bottom == 0;
  const bool whole = invalid.right == GetWidth() && invalid.bottom == GetHeight();
  if (fromOrigin && (empty || whole)) {
    Paint(nullptr);
  } else {
    const RECT area = invalid;
    Paint(&area);
  }
}

bool CWindow::Paint(const RECT* rect) {
  const RECT area = rect ? *rect : RECT{0, 0, GetWidth(), GetHeight()};
  CDisplaySurfaces* surfaces = CDisplaySurfaces::GetCurrent();
  ErrorCopy drawError;
  bool painted = true;
  if (m_Shown && !m_Minimized) {
    DisplayLockScope lock;
    IDirectDrawSurface2* backBuffer = nullptr;
    if (!surfaces || !surfaces->GetPrimarySurface()) {
      SetNoPrimarySurfaceError();
      painted = false;
    } else if (!(backBuffer = surfaces->GetBackBuffer())) {
      painted = false;
    } else {
      painted = PaintTiles(backBuffer, area, drawError.copy);
    }
  }

  if (painted) {
    if (Contains(area, m_DirtyRect)) m_DirtyRect = RECT{};
    m_LastPaintError = 0;
    m_LastPaintSucceeded = true;
    return true;
  }

  if (drawError.copy) SetThreadError(drawError.copy->type, drawError.copy->code, drawError.copy->text);
  // A run of failures is logged once: when the paint before succeeded.
  if (m_LastPaintSucceeded) LogPaintError();
  const ThreadErrorState* error = GetThreadErrorState();
  const HRESULT code = error->type == THREAD_ERROR_DIRECTDRAW ? static_cast<HRESULT>(error->code) : 0;
  if (code == DDERR_SURFACELOST && m_LastPaintError != DDERR_SURFACELOST) {
    // Restored once per run; the dirty rectangle stays for the next try.
    m_LastPaintError = DDERR_SURFACELOST;
    m_LastPaintSucceeded = false;
    if (surfaces && surfaces->RestoreSurfaces()) painted = Paint(rect ? &area : nullptr);
  } else {
    m_LastPaintError = code != 0 ? code : E_FAIL;
  }
  m_LastPaintSucceeded = painted;
  return painted;
}

bool CWindow::PaintTiles(IDirectDrawSurface2* backBuffer, const RECT& area, ThreadErrorState*& drawError) {
  const LONG tileWidth = static_cast<LONG>(CDisplaySurfaces::kBackBufferWidth);
  const LONG tileHeight = static_cast<LONG>(CDisplaySurfaces::kBackBufferHeight);
  bool painted = true;
  for (LONG top = area.top; top < area.bottom; top += tileHeight) {
    for (LONG left = area.left; left < area.right; left += tileWidth) {
      const RECT tile{left, top, std::min(left + tileWidth, area.right), std::min(top + tileHeight, area.bottom)};
      const bool begun = BeginTile(backBuffer, 0, 0, tile);
      if (begun && !DrawTile(backBuffer, 0, 0, tile)) {
        // The controls' failure is reported, but the tile still shows.
        painted = false;
        if (!drawError) drawError = CopyThreadError();
      }
      const RECT drawn{0, 0, tile.right - tile.left, tile.bottom - tile.top};
      const bool blitted = BlitTile(tile.left, tile.top, backBuffer, drawn);
      if (!begun || !blitted) return false;
    }
  }
  return painted;
}

void CWindow::LogPaintError() {
  LogTime(kLogPaint);
  const CStr text =
      ReplacePlaceholder(LocalText("CWindow.ErrorDuringPaint", "Error during paint of window '%WINDOW%':"),
                         {"%WINDOW%", m_Name});
  LogThreadError(kLogPaint, text.c_str());
}

bool CWindow::BlitTile(int x, int y, IDirectDrawSurface2* backBuffer, const RECT& source) {
  DisplayLockScope lock;
  CDisplaySurfaces* surfaces = CDisplaySurfaces::GetCurrent();
  IDirectDrawSurface2* primary = surfaces ? surfaces->GetPrimarySurface() : nullptr;
  if (!primary) {
    SetNoPrimarySurfaceError();
    return false;
  }
  HRESULT result = primary->SetClipper(m_Clipper);
  if (SUCCEEDED(result)) {
    DDBLTFX effects{};
    effects.dwSize = sizeof effects;
    result = surfaces->GetPrimaryBlitter().Blt(primary, m_Rect.left + x, m_Rect.top + y, backBuffer, source,
                                               DDBLT_WAIT, &effects);
    const HRESULT removed = primary->SetClipper(nullptr);
    if (SUCCEEDED(result)) result = removed;
  }
  if (FAILED(result)) {
    SetDirectDrawThreadError(result);
    return false;
  }
  return true;
}
