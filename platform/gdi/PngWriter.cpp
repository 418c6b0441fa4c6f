#include "PngWriter.h"

#include <png.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <vector>

#include "platform/kernel/ErrnoMap.h"
#include "twlwin/errors.h"

namespace twl::gdi {

bool WritePng(const Bitmap& bitmap, const RECT& area, const std::string& path) {
  RECT r{std::max<LONG>(area.left, 0), std::max<LONG>(area.top, 0), std::min<LONG>(area.right, bitmap.Width()),
         std::min<LONG>(area.bottom, bitmap.Height())};
  if (r.right <= r.left || r.bottom <= r.top) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  int width = r.right - r.left;
  int height = r.bottom - r.top;
  std::vector<png_byte> pixels(static_cast<size_t>(width) * height * 3);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      COLORREF c = bitmap.GetPixel(r.left + x, r.top + y);
      png_byte* p = &pixels[(static_cast<size_t>(y) * width + x) * 3];
      p[0] = GetRValue(c);
      p[1] = GetGValue(c);
      p[2] = GetBValue(c);
    }
  }

  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) {
    SetLastError(Win32ErrorFromErrno(errno));
    return false;
  }
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!png || !info) {
    png_destroy_write_struct(&png, nullptr);
    std::fclose(file);
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return false;
  }
  std::vector<png_bytep> rows(height);
  for (int y = 0; y < height; ++y) rows[y] = &pixels[static_cast<size_t>(y) * width * 3];
  // libpng reports errors by longjmp; nothing with a destructor is made
  // between here and the end.
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
    SetLastError(ERROR_WRITE_FAULT);
    return false;
  }
  png_init_io(png, file);
  png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  png_write_image(png, rows.data());
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  if (std::fclose(file) != 0) {
    SetLastError(ERROR_WRITE_FAULT);
    return false;
  }
  return true;
}

}  // namespace twl::gdi
