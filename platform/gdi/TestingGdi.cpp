// The drawing side of the testing interface.
#include <cstring>

#include "DeviceContext.h"
#include "Font.h"
#include "PngWriter.h"
#include "Screen.h"
#include "twlwin/errors.h"
#include "twlwin/testing_gdi.h"

using namespace twl::gdi;

TWLAPI BOOL TwlTestSaveBitmapPng(HBITMAP handle, LPCSTR path) {
  auto bitmap = FindObjectAs<Bitmap>(handle);
  if (!bitmap || !path) {
    SetLastError(bitmap ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return WritePng(*bitmap, RECT{0, 0, bitmap->Width(), bitmap->Height()}, path) ? TRUE : FALSE;
}

TWLAPI BOOL TwlTestSaveDcPng(HDC handle, LPCSTR path) {
  auto dc = FindDc(handle);
  if (!dc) return FALSE;
  if (!dc->surface || !path) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  PixelAccess access(*dc);
  return WritePng(*dc->surface, dc->baseClip, path) ? TRUE : FALSE;
}

TWLAPI DWORD TwlTestGetFontFile(HFONT handle, LPSTR buffer, DWORD size) {
  auto font = FindObjectAs<Font>(handle);
  if (!font || !buffer || size == 0) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  size_t length = std::min<size_t>(std::strlen(font->FilePath()), size - 1);
  std::memcpy(buffer, font->FilePath(), length);
  buffer[length] = '\0';
  return static_cast<DWORD>(length);
}

TWLAPI BOOL TwlTestWriteScreenPixels(const RECT* area, const DWORD* rows, int stride, HWND onlyWindow) {
  if (!area || !rows || stride < 4 * (area->right - area->left) ||
      !WriteScreen(*area, reinterpret_cast<const uint32_t*>(rows), static_cast<size_t>(stride),
                   ScreenTarget{onlyWindow, nullptr})) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return TRUE;
}
