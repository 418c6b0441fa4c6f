// The palette calls and the display DC.
#include <unistd.h>

#include <strings.h>

#include <vector>

#include "DeviceContext.h"
#include "Palette.h"
#include "twlwin/errors.h"
#include "twlwin/messages.h"
#include "twlwin/testing_display.h"
#include "twlwin/windowing.h"

using namespace twl::gdi;

namespace {

constexpr WORD kPaletteVersion = 0x300;

BOOL CALLBACK CollectOwnTopLevel(HWND window, LPARAM list) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process == static_cast<DWORD>(getpid())) reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
  return TRUE;
}

// The system palette belongs to this process's display, so only its own
// top-level windows hear of a change.
void TellPaletteChanged(HWND cause) {
  std::vector<HWND> windows;
  EnumWindows(CollectOwnTopLevel, reinterpret_cast<LPARAM>(&windows));
  for (HWND window : windows) SendMessageA(window, WM_PALETTECHANGED, reinterpret_cast<WPARAM>(cause), 0);
}

}  // namespace

TWLAPI HDC CreateDCA(LPCSTR driver, LPCSTR device, LPCSTR, const void*) {
  bool display = driver && strcasecmp(driver, "DISPLAY") == 0 && (!device || strcasecmp(device, "DISPLAY") == 0);
  if (!display) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return CreateCompatibleDC(nullptr);
}

TWLAPI UINT GetSystemPaletteEntries(HDC dc, UINT first, UINT count, LPPALETTEENTRY entries) {
  if (!FindDc(dc)) return 0;
  if (!DisplayHasPalette()) return 0;
  if (!entries) return SystemPaletteSize();
  std::vector<PALETTEENTRY> found = SystemPaletteEntries(first, count);
  std::copy(found.begin(), found.end(), entries);
  return static_cast<UINT>(found.size());
}

TWLAPI HPALETTE CreatePalette(const LOGPALETTE* palette) {
  if (!palette || palette->palVersion != kPaletteVersion || palette->palNumEntries == 0 ||
      palette->palNumEntries > 256) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  std::vector<PALETTEENTRY> entries(palette->palPalEntry, palette->palPalEntry + palette->palNumEntries);
  HGDIOBJ handle = InsertObject(std::make_shared<Palette>(std::move(entries)));
  if (!handle) SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  return static_cast<HPALETTE>(handle);
}

TWLAPI HPALETTE SelectPalette(HDC handle, HPALETTE palette, BOOL forceBackground) {
  auto dc = FindDc(handle);
  if (!dc) return nullptr;
  if (!FindObjectAs<Palette>(palette)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  HGDIOBJ previous = dc->palette ? dc->palette : DefaultPalette();
  dc->palette = palette;
  dc->paletteInBackground = forceBackground != FALSE;
  return static_cast<HPALETTE>(previous);
}

TWLAPI UINT RealizePalette(HDC handle) {
  auto dc = FindDc(handle);
  if (!dc) return GDI_ERROR;
  if (!DisplayHasPalette()) return 0;
  auto palette = FindObjectAs<Palette>(dc->palette ? dc->palette : DefaultPalette());
  if (!palette) {
    // The selected palette was deleted; the DC falls back to the default.
    palette = FindObjectAs<Palette>(DefaultPalette());
    if (!palette) return GDI_ERROR;
  }
  Realisation done = Realise(palette->entries, !dc->paletteInBackground);
  if (done.changed) TellPaletteChanged(reinterpret_cast<HWND>(static_cast<uintptr_t>(dc->window)));
  return done.placed;
}

TWLAPI BOOL UnrealizeObject(HGDIOBJ object) {
  auto found = FindObject(object);
  // Realising always maps a palette afresh here, so there is nothing to
  // forget; brushes have no origin to reset.
  if (!found || (found->Type() != OBJ_PAL && found->Type() != OBJ_BRUSH)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return TRUE;
}

TWLAPI void TwlTestSetSystemPaletteSize(int entries) { SetSystemPaletteSize(entries); }
