// GetDC on a surface: GDI drawing lands in the surface's pixel format, and
// GDI reads what Lock wrote.
#include "DirectDrawFixture.h"

namespace {

using ddtest::DirectDrawTest;

class SurfaceDc : public DirectDrawTest {};

TEST_F(SurfaceDc, GdiDrawingLandsInThePixelFormat) {
  struct Case {
    int depth;
    uint32_t red;
    uint32_t teal;  // RGB(0, 128, 128)
  };
  const Case cases[] = {
      {15, 0x7C00, 0x0210},
      {16, 0xF800, 0x0410},
      {24, 0xFF0000, 0x008080},
      {32, 0xFF0000, 0x008080},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.depth);
    UseDisplay(c.depth);
    IDirectDrawSurface2* surface = MakeSurface(5, 4);
    ASSERT_EQ(FillColour(surface, nullptr, 0), DD_OK);
    HDC dc = nullptr;
    ASSERT_EQ(surface->GetDC(&dc), DD_OK);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    RECT box{1, 1, 3, 3};
    FillRect(dc, &box, red);
    SetPixel(dc, 4, 3, RGB(0, 128, 128));
    ASSERT_EQ(surface->ReleaseDC(dc), DD_OK);
    DeleteObject(red);
    std::vector<uint32_t> pixels = Pixels(surface);
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 5; ++x) {
        uint32_t expected = (x >= 1 && x < 3 && y >= 1 && y < 3) ? c.red : (x == 4 && y == 3) ? c.teal : 0;
        EXPECT_EQ(pixels[y * 5 + x], expected) << x << "," << y;
      }
    // And GDI reads what Lock wrote.
    SetPixels(surface, std::vector<uint32_t>(20, c.red));
    ASSERT_EQ(surface->GetDC(&dc), DD_OK);
    EXPECT_EQ(GetPixel(dc, 2, 2), RGB(255, 0, 0));
    ASSERT_EQ(surface->ReleaseDC(dc), DD_OK);
  }
}

TEST_F(SurfaceDc, EightBitDrawingPicksTheNearestSystemPaletteEntry) {
  UseDisplay(8);
  IDirectDrawSurface2* surface = MakeSurface(4, 1);
  HDC dc = nullptr;
  ASSERT_EQ(surface->GetDC(&dc), DD_OK);
  SetPixel(dc, 0, 0, RGB(255, 0, 0));
  SetPixel(dc, 1, 0, RGB(250, 250, 250));
  SetPixel(dc, 2, 0, RGB(0, 0, 0));
  ASSERT_EQ(surface->ReleaseDC(dc), DD_OK);
  // The static colours: red at 249, white at 255, black at 0.
  std::vector<uint32_t> pixels = Pixels(surface);
  EXPECT_EQ(pixels[0], 249u);
  EXPECT_EQ(pixels[1], 255u);
  EXPECT_EQ(pixels[2], 0u);
}

TEST_F(SurfaceDc, DrawingIntoASurfaceLostMeanwhileIsDropped) {
  IDirectDrawSurface2* surface = MakeSurface(3, 3);
  ASSERT_EQ(FillColour(surface, nullptr, 0x00123456), DD_OK);
  HDC dc = nullptr;
  ASSERT_EQ(surface->GetDC(&dc), DD_OK);
  TwlTestLoseSurfaces();
  SetPixel(dc, 1, 1, RGB(255, 255, 255));
  EXPECT_EQ(surface->ReleaseDC(dc), DD_OK);
  ASSERT_EQ(surface->Restore(), DD_OK);
  EXPECT_EQ(PixelAt(surface, 1, 1), 0x00123456u);
}

}  // namespace
