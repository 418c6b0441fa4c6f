// A display with a skin whose aux window frame the test draws: a 36 x 36
// frame of 8-pixel borders around a 20 x 20 centre, its outermost ring of
// pixels transparent, the centre tiled across (or stretched) and stretched
// down; the rest of the skin is the built-in one.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "DisplayFixture.h"
#include "display/auxwindow/AuxWindow.h"
#include "foundation/kernel/Error.h"
#include "skins/skin/Skin.h"
#include "support/TestPaths.h"

namespace displaytest {

// A 24-bit bottom-up BMP of pixels 0x00RRGGBB, rows given top first.
inline void WriteBmp(const std::string& path, int width, int height, const std::vector<DWORD>& pixels) {
  const int stride = (width * 3 + 3) & ~3;
  std::string bytes(54 + static_cast<size_t>(stride) * height, '\0');
  auto put = [&](size_t at, uint32_t value, int size) {
    for (int i = 0; i < size; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
  };
  bytes[0] = 'B';
  bytes[1] = 'M';
  put(2, static_cast<uint32_t>(bytes.size()), 4);
  put(10, 54, 4);
  put(14, 40, 4);
  put(18, width, 4);
  put(22, height, 4);
  put(26, 1, 2);
  put(28, 24, 2);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) put(54 + static_cast<size_t>(height - 1 - y) * stride + x * 3, pixels[y * width + x], 3);
  twltest::WriteFile(path, bytes);
}

// The skin folder: the built-in one with the test's aux window frame.
inline std::string DrawAuxSkin(bool tileAcross) {
  namespace fs = std::filesystem;
  const std::string folder = twltest::MakeTempDir("auxskin") + "/";
  fs::copy(twltest::SourceDir() + "/resources/skins/builtin", folder, fs::copy_options::recursive);
  constexpr int kSize = 36;
  std::vector<DWORD> picture(kSize * kSize), map(kSize * kSize, 0);
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x) {
      picture[y * kSize + x] = static_cast<DWORD>(0x203040 + x * 5 + y * 0x500);
      DWORD& mark = map[y * kSize + x];
      if (x == 0 || y == 0 || x == kSize - 1 || y == kSize - 1) mark = 0xFF00FF;  // transparent
      else if (y < 8 && x >= 8 && x < 28) mark = 0x00FF00;                      // top
      else if (y >= 28 && x >= 8 && x < 28) mark = 0xFFFF00;                    // bottom
      else if (x < 8 && y >= 8 && y < 28) mark = 0xFF0000;                      // left
      else if (x >= 28 && y >= 8 && y < 28) mark = 0x0000FF;                    // right
    }
  WriteBmp(folder + "AuxWindow.bmp", kSize, kSize, picture);
  WriteBmp(folder + "AuxWindowMask.bmp", kSize, kSize, map);
  twltest::WriteFile(folder + "AuxWindow.ini",
                     std::string("Left=3,20\nTop=20,3\nRight=32,20\nBottom=20,32\nTransparent=0,0\n"
                                 "Margins=8,8,8,8\nHorzExpansionType=") +
                         (tileAcross ? "tile" : "stretch") + "\nHorzExpansionCut=false\n");
  return folder;
}

class AuxTest : public DisplayTest {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    UseSkin(true);
  }
  void TearDown() override {
    ui().GetDDSkin().Release();
    DisplayTest::TearDown();
  }

  void UseSkin(bool tileAcross) {
    CSkin skin;
    try {
      skin.LoadFromFolder(DrawAuxSkin(tileAcross).c_str());
    } catch (CError* error) {
      ADD_FAILURE() << error->GetCaption().c_str() << ": " << error->GetText().c_str();
      DisposeError(error);
      return;
    }
    ASSERT_EQ(ui().GetDDSkin().Create(skin), DD_OK);
  }
};

}  // namespace displaytest
