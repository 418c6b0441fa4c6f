// A memory DC over a 32-bit top-down DIB section, cleared to white, for
// tests that draw and then read pixels back.
#pragma once

#include <windows.h>
#include <gtest/gtest.h>

class MemoryDcTest : public ::testing::Test {
 protected:
  static constexpr int kWidth = 40;
  static constexpr int kHeight = 30;

  void SetUp() override {
    dc = CreateCompatibleDC(nullptr);
    ASSERT_NE(dc, nullptr);
    bitmap = MakeDib(kWidth, kHeight, &bits);
    ASSERT_NE(bitmap, nullptr);
    oldBitmap = SelectObject(dc, bitmap);
    ASSERT_NE(oldBitmap, nullptr);
    RECT all{0, 0, kWidth, kHeight};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  }

  void TearDown() override {
    SelectObject(dc, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }

public:
  static HBITMAP MakeDib(int width, int height, void** bitsOut, int bitCount = 32, bool topDown = true) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = topDown ? -height : height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = static_cast<WORD>(bitCount);
    info.bmiHeader.biCompression = BI_RGB;
    return CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, bitsOut, nullptr, 0);
  }

protected:
  COLORREF At(int x, int y) const { return GetPixel(dc, x, y); }

  // Pixels of `colour` inside the rectangle.
  int Count(COLORREF colour, RECT r = RECT{0, 0, kWidth, kHeight}) const {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) n += At(x, y) == colour;
    return n;
  }

  // Bounding box of the pixels that are not white; empty when none.
  RECT InkBox() const {
    RECT box{kWidth, kHeight, 0, 0};
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x)
        if (At(x, y) != RGB(255, 255, 255)) {
          box.left = std::min<LONG>(box.left, x);
          box.top = std::min<LONG>(box.top, y);
          box.right = std::max<LONG>(box.right, x + 1);
          box.bottom = std::max<LONG>(box.bottom, y + 1);
        }
    return box;
  }

  HDC dc = nullptr;
  HBITMAP bitmap = nullptr;
  HGDIOBJ oldBitmap = nullptr;
  void* bits = nullptr;
};
