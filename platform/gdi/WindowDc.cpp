// Device contexts of windows: GetDC, GetWindowDC, ReleaseDC and the DC of
// a paint cycle (BeginPaint / EndPaint), all over the window's buffer.
#include "DeviceContext.h"
#include "PngWriter.h"
#include "Screen.h"
#include "WindowSurfaces.h"
#include "platform/user/PaintDevice.h"
#include "twlwin/errors.h"
#include "twlwin/gdi.h"
#include "twlwin/presenter.h"
#include "twlwin/testing_gdi.h"

using namespace twl::gdi;
namespace user = twl::user;

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
    std::shared_ptr<WindowBuffer> buffer;
    user::WindowFrame frame;
    if (!OpenWindowBuffer(window, &buffer, &frame)) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return nullptr;
    }
    RECT area = wholeWindow ? RECT{0, 0, frame.screen.right - frame.screen.left, frame.screen.bottom - frame.screen.top}
                            : frame.client;
    std::shared_ptr<Bitmap> pixels;
    {
      std::lock_guard hold(buffer->lock);
      pixels = buffer->pixels;
    }
    dc = MakeSurfaceDc(std::move(pixels), area, POINT{area.left, area.top});
    if (frame.shape) dc->mask = frame.shape;
    dc->pixelLock = std::shared_ptr<std::mutex>(buffer, &buffer->lock);
    dc->window = frame.id;
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

TWLAPI BOOL TwlSaveWindowPng(HWND window, LPCSTR path) {
  auto bitmap = ComposeWindow(window);
  if (!bitmap || !path) {
    SetLastError(bitmap ? ERROR_INVALID_PARAMETER : ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  return WritePng(*bitmap, RECT{0, 0, bitmap->Width(), bitmap->Height()}, path) ? TRUE : FALSE;
}

TWLAPI BOOL TwlSaveScreenPng(LPCSTR path) {
  auto bitmap = ComposeScreen();
  if (!bitmap || !path) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return WritePng(*bitmap, RECT{0, 0, bitmap->Width(), bitmap->Height()}, path) ? TRUE : FALSE;
}

TWLAPI BOOL TwlTestSaveWindowPng(HWND window, LPCSTR path) { return TwlSaveWindowPng(window, path); }

TWLAPI BOOL TwlTestSaveScreenPng(LPCSTR path) { return TwlSaveScreenPng(path); }

namespace {

// The window's own area in window coordinates, as its dump shows it.
bool OwnAreaOf(HWND window, twl::Region* area) {
  twl::user::WindowFrame frame;
  if (!twl::user::DescribeWindow(window, &frame)) return false;
  *area = twl::user::OwnArea(frame);
  return true;
}

}  // namespace

TWLAPI COLORREF TwlTestGetWindowPixel(HWND window, int x, int y) {
  twl::Region own;
  auto bitmap = ComposeWindow(window);
  if (!bitmap || !OwnAreaOf(window, &own) || !bitmap->Contains(x, y) || !own.Contains(x, y)) return CLR_INVALID;
  return bitmap->GetPixel(x, y);
}

TWLAPI BOOL TwlTestGetWindowPixels(HWND window, COLORREF* pixels, int width, int height) {
  twl::Region own;
  auto bitmap = ComposeWindow(window);
  if (!bitmap || !OwnAreaOf(window, &own) || !pixels || bitmap->Width() != width || bitmap->Height() != height) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      pixels[static_cast<size_t>(y) * width + x] = own.Contains(x, y) ? bitmap->GetPixel(x, y) : CLR_INVALID;
  return TRUE;
}
