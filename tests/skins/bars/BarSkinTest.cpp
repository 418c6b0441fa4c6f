// Bar descriptions in their compiled form, and the points of their
// scripts checked as a folder load checks them.
#include <gtest/gtest.h>

#include "../support/SkinTestSupport.h"
#include "foundation/bitmaps/DIBitmap.h"
#include "skins/bars/BarConnector.h"
#include "skins/bars/BarScript.h"
#include "skins/bars/BarSkin.h"
#include "skins/masks/Mask.h"

using namespace skintest;

namespace {

std::string Brmc(int x, int y, int w, int h) { return Bytes().I32(x).I32(y).I32(w).I32(h).str(); }
std::string Picture(DWORD width, DWORD height) {
  return Bytes().U32(32 + width * height * 4).U32(0).U32(width).U32(height).U32(32).U32(0xFF).U32(0xFF00).U32(0xFF0000).U32(0)
      .Zeros(width * height * 4).str();
}
// A 4 x 3 mask whose left column is outside.
std::string Mask() {
  return Bytes().U32(4).U32(3).Raw(std::string("\0\1\1\1\0\1\1\1\0\1\1\1", 12)).str();
}
// Fill point and two way points joined by a line.
std::string Script(int fx, int fy, int x1, int y1, int x2, int y2) {
  return Bytes().I32(fx).I32(fy).U32(2).I32(x1).I32(y1).I32(x2).I32(y2).U32(0).str();
}

void Load(CBarSkin& bar, const std::string& payload) {
  BytesStream in(payload);
  bar.LoadCompiled(*in, static_cast<DWORD>(payload.size()));
}

}  // namespace

TEST(BarSkin, CompiledPayloadCases) {
  const std::string common = Bytes().Chunk("BRMC", Brmc(10, 20, 4, 3)).str();
  const std::string picture = Bytes().Chunk("BRBM", Picture(4, 3)).str();
  const std::string mask = Bytes().Chunk("BRMK", Mask()).str();
  const std::string script = Bytes().Chunk("BRST", Script(1, 1, 1, 1, 3, 1)).str();
  const struct {
    const char* name;
    std::string payload;
    bool loads;
  } cases[] = {
      {"only BRMC", common, false},
      {"rectangle and picture", common + picture, true},
      {"everything", common + picture + mask + script, true},
      {"BRST before BRBM", common + script + picture, true},
      {"BRMK after BRST", common + picture + script + mask, false},
      {"a picture one pixel narrower", common + Bytes().Chunk("BRBM", Picture(3, 3)).str(), false},
      {"a mask of another size", common + picture + Bytes().Chunk("BRMK", Bytes().U32(4).U32(2).Zeros(8)).str(), false},
      {"BRBM before BRMC", picture + common, false},
      {"a second BRMC", common + common + picture, false},
      {"a BRMC of 15 bytes", Bytes().Chunk("BRMC", Brmc(10, 20, 4, 3).substr(0, 15)).str() + picture, false},
      // The script's points must lie in the bar, as a folder load demands.
      {"a fill point outside the rectangle", common + picture + Bytes().Chunk("BRST", Script(4, 1, 1, 1, 3, 1)).str(), false},
      {"a way point outside the rectangle", common + picture + Bytes().Chunk("BRST", Script(1, 1, 1, -1, 3, 1)).str(), false},
      {"a fill point masked out", common + picture + mask + Bytes().Chunk("BRST", Script(0, 1, 1, 1, 3, 1)).str(), false},
      {"a way point masked out", common + picture + mask + Bytes().Chunk("BRST", Script(1, 1, 0, 2, 3, 1)).str(), false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CBarSkin bar;
    if (c.loads) {
      Load(bar, c.payload);
      EXPECT_TRUE(bar.IsDefined());
      continue;
    }
    ExpectError([&] { Load(bar, c.payload); }, kCorrupted);
    EXPECT_FALSE(bar.IsDefined());
    EXPECT_EQ(bar.GetScript(), nullptr);
  }
}

TEST(BarSkin, SavedBarsReloadEqualWithTheirConnectorsInitialised) {
  CBarSkin bar;
  BytesStream in(Bytes().Chunk("BRMC", Brmc(10, 20, 4, 3)).Chunk("BRBM", Picture(4, 3)).str());
  bar.LoadCompiled(*in, static_cast<DWORD>(in->GetLength(true, nullptr)));
  CMemoryStream out;
  OpenWritable(out);
  bar.SaveCompiled(out);
  const std::string plain = StreamBytes(out);
  EXPECT_EQ(plain, Bytes().Chunk("BRMC", Brmc(10, 20, 4, 3)).Chunk("BRBM", Picture(4, 3)).str())
      << "without mask and script only BRMC and BRBM";

  const std::string full = Bytes()
                               .Chunk("BRMC", Brmc(10, 20, 4, 3))
                               .Chunk("BRBM", Picture(4, 3))
                               .Chunk("BRMK", Mask())
                               .Chunk("BRST", Script(1, 1, 1, 2, 3, 2))
                               .str();
  CBarSkin read;
  BytesStream fullIn(full);
  read.LoadCompiled(*fullIn, static_cast<DWORD>(full.size()));
  ASSERT_NE(read.GetScript(), nullptr);
  // An initialised line connector knows its length.
  EXPECT_DOUBLE_EQ(read.GetScript()->GetConnector(0)->GetLength(), 2.0);
  CMemoryStream again;
  OpenWritable(again);
  read.SaveCompiled(again);
  EXPECT_EQ(StreamBytes(again), full);
}
