// twltool showbmp: shows a picture in a window of its size, painted the way
// every window of the player paints (tiles of the back buffer copied onto
// the screen by the primary blitter), and writes the screen as PNG.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <string>

#include "app/ui/UserInterface.h"
#include "display/WindowClassOnce.h"
#include "display/window/Window.h"
#include "driver/Command.h"
#include "driver/Numbers.h"
#include "foundation/bitmaps/ColorTable.h"
#include "foundation/bitmaps/DIBitmap.h"
#include "foundation/bitmaps/PixelConverter.h"
#include "foundation/kernel/Error.h"
#include "twlwin/testing_display.h"
#include "twlwin/testing_gdi.h"
#include "twlwin/testing_user.h"

namespace {

constexpr char kClassName[] = "TwlTool Picture Window";

// Splits "A<separator>B<separator>C..." into numbers.
bool ParseNumbers(const std::string& text, char separator, size_t count, int64_t* values) {
  size_t start = 0;
  for (size_t i = 0; i < count; ++i) {
    const size_t end = i + 1 == count ? text.size() : text.find(separator, start);
    if (end == std::string::npos || !tool::ParseSigned(text.substr(start, end - start), values[i])) return false;
    start = end + 1;
  }
  return true;
}

// A window of the picture's size whose background is the picture.
class PictureWindow : public CWindow {
 public:
  void SetPicture(IDirectDrawSurface2* picture) { m_Picture = picture; }

  bool BeginTile(IDirectDrawSurface2* backBuffer, int x, int y, const RECT& tile) override {
    if (!m_Picture) return true;
    RECT source{tile.left, tile.top, std::min<LONG>(tile.right, GetWidth()), std::min<LONG>(tile.bottom, GetHeight())};
    if (source.left >= source.right || source.top >= source.bottom) return true;
    RECT target{x, y, x + source.right - source.left, y + source.bottom - source.top};
    const HRESULT result = backBuffer->Blt(&target, m_Picture, &source, DDBLT_WAIT, nullptr);
    return SUCCEEDED(result);
  }

 private:
  IDirectDrawSurface2* m_Picture = nullptr;
};

// The picture as 32-bit pixels, red in the low byte, rows top first.
void ReadPicture(const std::string& path, CDIBitmap& picture, CPixelFormat& format) {
  picture.Load(path.c_str());
  format.SetMasks(32, 0xFF, 0xFF00, 0xFF0000);
  picture.SetColorKeyFlag(false);
  picture.ChangeFormat(format, nullptr, 1, 0);
}

// The picture in the display's format, every pixel as it is (no colour key).
std::string MakeSurface(const CDIBitmap& picture, const CPixelFormat& format, IDirectDrawSurface2** surface) {
  const CDisplayState& display = GetUserInterface().GetDisplayState();
  if (FAILED(display.CreateOffscreenSurface(picture.GetWidth(), picture.GetHeight(), surface)))
    return "no surface for the picture";
  CPixelConverter converter;
  converter.Prepare(display.GetFormat(), format, display.GetColorTable());
  DDSURFACEDESC desc{};
  desc.dwSize = sizeof desc;
  if (FAILED((*surface)->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_WRITEONLY, nullptr)))
    return "the picture's surface cannot be locked";
  const size_t stride = static_cast<size_t>(picture.GetBytesPerRow()) + picture.GetRowPadding();
  for (DWORD y = 0; y < picture.GetHeight(); ++y)
    converter.ConvertRows(static_cast<BYTE*>(desc.lpSurface) + static_cast<ptrdiff_t>(y) * desc.lPitch, 0,
                          picture.GetPixels() + y * stride, 0, picture.GetWidth(), 1);
  (*surface)->Unlock(nullptr);
  return "";
}

// 8-bit displays: a palette of the picture's colours, realised as the
// foreground palette, and the blitter's table to the system palette.
void UsePictureColors(const CDIBitmap& picture, HWND window) {
  CUserInterface& ui = GetUserInterface();
  CColorTable colors;
  colors.Setup(5, 6, 5, 16);
  picture.CollectColors(colors, true);
  ui.BuildPalette(colors);
  HDC dc = GetDC(window);
  HPALETTE old = SelectPalette(dc, ui.GetDisplayState().GetPalette(), FALSE);
  RealizePalette(dc);
  SelectPalette(dc, old, FALSE);
  ReleaseDC(window, dc);
  ui.GetPrimaryBlitter().BuildPaletteMap();
}

int Show(const std::string& in, const std::string& out, const int64_t* mode, POINT at) {
  CDIBitmap picture;
  CPixelFormat format;
  ReadPicture(in, picture, format);
  const int width = static_cast<int>(picture.GetWidth());
  const int height = static_cast<int>(picture.GetHeight());
  const bool fits = mode ? TwlTestSetDisplayMode(static_cast<int>(mode[0]), static_cast<int>(mode[1]),
                                                 static_cast<int>(mode[2]))
                         : TwlTestSetDisplayMode(width, height, 32);
  if (!fits) return tool::Fail("showbmp: the display cannot take that mode");

  CUserInterface& ui = GetUserInterface();
  ui.InitDisplay();
  static std::atomic<bool> registered{false};
  if (!RegisterWindowClassOnce(registered, kClassName, &CWindow::StaticWindowProc))
    return tool::Fail("showbmp: the window class cannot be registered");
  if (!ui.GetPrimarySurface()) return tool::Fail("showbmp: the display has no primary surface");

  // Made first, so that an 8-bit palette can be realised in its DC.
  PictureWindow window;
  window.Create("Picture", "picture", kClassName, WS_POPUP, 0, at.x, at.y, width, height, nullptr, nullptr);
  if (ui.GetDisplayState().IsPalettized()) UsePictureColors(picture, window.GetWindowHandle());
  IDirectDrawSurface2* surface = nullptr;
  std::string problem = MakeSurface(picture, format, &surface);
  int status = 0;
  if (problem.empty()) {
    window.SetPicture(surface);
    window.Show(true);
    TwlTestPumpMessages();
    if (!window.Paint(nullptr)) problem = "the window cannot be painted";
    if (problem.empty() && !TwlTestSaveScreenPng(out.c_str())) problem = "cannot write '" + out + "'";
  }
  window.Destroy();
  if (!problem.empty()) status = tool::Fail("showbmp: " + problem);
  if (surface) surface->Release();
  ui.ExitDisplay();
  return status;
}

}  // namespace

TOOL_COMMAND(RunShowBmp, "showbmp",
             "IN.bmp OUT.png [--mode WxHxBPP] [--at X,Y]\n"
             "      show the picture in a window of its size at X,Y (default 0,0) painted through the back buffer\n"
             "      and the primary blitter, and write the whole screen to OUT.png; prints nothing. Without\n"
             "      --mode the display takes the picture's size at 32 bits (8 bits: a palette of the picture's\n"
             "      colours)") {
  if (args.size() < 2 || args.size() % 2 != 0) return tool::Fail("showbmp needs IN.bmp OUT.png [--mode WxHxBPP] [--at X,Y]");
  int64_t mode[3] = {};
  bool hasMode = false;
  int64_t at[2] = {};
  for (size_t i = 2; i < args.size(); i += 2) {
    if (args[i] == "--mode" && ParseNumbers(args[i + 1], 'x', 3, mode) && mode[0] > 0 && mode[1] > 0) {
      hasMode = true;
      continue;
    }
    if (args[i] == "--at" && ParseNumbers(args[i + 1], ',', 2, at) && at[0] >= INT16_MIN && at[0] <= INT16_MAX &&
        at[1] >= INT16_MIN && at[1] <= INT16_MAX)
      continue;
    return tool::Fail("showbmp: the options are --mode WIDTHxHEIGHTxBITS (8, 15, 16, 24, 32) and --at X,Y");
  }
  try {
    return Show(args[0], args[1], hasMode ? mode : nullptr, POINT{static_cast<LONG>(at[0]), static_cast<LONG>(at[1])});
  } catch (CError* error) {
    const std::string text = std::string(error->GetCaption().c_str()) + ": " + error->GetText().c_str();
    DisposeError(error);
    GetUserInterface().ExitDisplay();
    return tool::Fail("showbmp: " + text);
  }
}
