// Device contexts of windows: GetDC, GetWindowDC, ReleaseDC and the DC of
// a paint cycle (BeginPaint / EndPaint), all over the window's buffer.
#include "DeviceContext.h"
#include "PngWriter.h"
#include "WindowSurfaces.h"
#include "twlwin/errors.h"
#include "twlwin/gdi.h"
#include "twlwin/testing_gdi.h"
#include "user/PaintDevice.h"

using namespace twl::gdi;

namespace {

// GetDC(NULL): a screen-sized bitmap that text can be measured on. What is
// drawn there shows nowhere.
std::shared_ptr<Bitmap> ScreenScratch() {
  static auto bitmap = Bitmap::CreateDdb(1024, 768, false);
  return bitmap;
}

HDC OpenWindowDc(HWND window, bool wholeWindow) {
  std::shared_ptr<DeviceContext> dc;
  if (!window) {
    auto screen = ScreenScratch();
    dc = MakeSurfaceDc(screen, RECT{0, 0, screen->Width(), screen->Height()}, POINT{0, 0});
  } else {
    WindowSurface place;
    if (!FindWindowSurface(window, &place)) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return nullptr;
    }
    RECT area = wholeWindow ? place.window : place.client;
    dc = MakeSurfaceDc(place.surface, area, POINT{area.left, area.top});
    dc->window = window;
  }
  HDC handle = InsertDc(dc);
  if (!handle) SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  return handle;
}

}  // namespace

TWLAPI HDC GetDC(HWND window) { return OpenWindowDc(window, false); }

TWLAPI HDC GetWindowDC(HWND window) { return OpenWindowDc(window, true); }

TWLAPI int ReleaseDC(HWND window, HDC handle) {
  auto dc = FindObjectAs<DeviceContext>(handle);
  if (!dc || dc->isMemory) return 0;
  RemoveDc(handle);
  DeselectAll(*dc);
  return 1;
}

namespace twl::user {

HDC OpenPaintDevice(HWND window, const Region& clip) {
  HDC dc = GetDC(window);
  if (!dc) return nullptr;
  // The region is kept as its bounding rectangle: painting a little more
  // than needed is harmless, painting less is not.
  RECT bounds = clip.Bounds();
  IntersectClipRect(dc, bounds.left, bounds.top, bounds.right, bounds.bottom);
  return dc;
}

void ClosePaintDevice(HWND window, HDC dc) { ReleaseDC(window, dc); }

}  // namespace twl::user

TWLAPI BOOL TwlTestSaveWindowPng(HWND window, LPCSTR path) {
  auto bitmap = ComposeWindow(window);
  if (!bitmap || !path) {
    SetLastError(bitmap ? ERROR_INVALID_PARAMETER : ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  return WritePng(*bitmap, RECT{0, 0, bitmap->Width(), bitmap->Height()}, path) ? TRUE : FALSE;
}

TWLAPI BOOL TwlTestSaveScreenPng(LPCSTR path) {
  auto bitmap = ComposeScreen();
  if (!bitmap || !path) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return WritePng(*bitmap, RECT{0, 0, bitmap->Width(), bitmap->Height()}, path) ? TRUE : FALSE;
}

TWLAPI COLORREF TwlTestGetWindowPixel(HWND window, int x, int y) {
  auto bitmap = ComposeWindow(window);
  if (!bitmap || !bitmap->Contains(x, y)) return CLR_INVALID;
  return bitmap->GetPixel(x, y);
}

TWLAPI BOOL TwlTestGetWindowPixels(HWND window, COLORREF* pixels, int width, int height) {
  auto bitmap = ComposeWindow(window);
  if (!bitmap || !pixels || bitmap->Width() != width || bitmap->Height() != height) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) pixels[static_cast<size_t>(y) * width + x] = bitmap->GetPixel(x, y);
  return TRUE;
}
