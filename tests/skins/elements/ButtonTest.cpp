// Push and animated button descriptions in their compiled form.
#include <gtest/gtest.h>

#include <cstring>

#include "../support/SkinTestSupport.h"
#include "foundation/bitmaps/DIBitmap.h"
#include "skins/base/SkinPointers.h"
#include "skins/elements/ButtonSkin.h"
#include "skins/masks/Mask.h"

using namespace skintest;

namespace {

CDIBitmap* Picture(DWORD width, DWORD height, DWORD seed) {
  CPixelFormat format;
  format.SetMasks(24, 0xFF, 0xFF00, 0xFF0000);
  CDIBitmap* picture = NewObject<CDIBitmap>();
  picture->Create(width, height, 0, format, true);
  for (DWORD i = 0; i < picture->GetDataSize(); ++i) picture->GetPixels()[i] = static_cast<BYTE>(i * 7 + seed);
  return picture;
}

std::string Record(DWORD width, DWORD height) {
  return Bytes().U32(32 + width * height * 4).U32(0).U32(width).U32(height).U32(32).U32(0xFF).U32(0xFF00).U32(0xFF0000).U32(0)
      .Zeros(width * height * 4).str();
}
std::string MaskRecord(DWORD width, DWORD height) { return Bytes().U32(width).U32(height).Zeros(width * height).str(); }
std::string Btmc(int x, int y, int w, int h) { return Bytes().I32(x).I32(y).I32(w).I32(h).str(); }

std::string Save(const CButtonSkinBase& button) {
  CMemoryStream out;
  OpenWritable(out);
  button.SaveCompiled(out);
  return StreamBytes(out);
}

void Load(CButtonSkinBase& button, const std::string& payload) {
  BytesStream in(payload);
  button.LoadCompiled(*in, static_cast<DWORD>(payload.size()));
  EXPECT_EQ(in->GetPosition(), static_cast<LONGLONG>(payload.size()));
}

bool SamePixels(const CDIBitmap& a, const CDIBitmap& b) {
  return a.GetWidth() == b.GetWidth() && a.GetHeight() == b.GetHeight() && a.GetDataSize() == b.GetDataSize() &&
         std::memcmp(a.GetPixels(), b.GetPixels(), a.GetDataSize()) == 0;
}

}  // namespace

TEST(ButtonSkin, SavedButtonsReloadEqual) {
  CButtonSkin push;
  push.SetRect(RECT{10, 20, 13, 22});
  for (int i = 0; i < 4; ++i) push.SetState(i, Picture(3, 2, i));
  CMask* mask = NewObject<CMask>();
  mask->Create(3, 2);
  const BYTE shape[6] = {0, 1, 1, 1, 1, 0};
  std::memcpy(mask->GetBytes(), shape, 6);
  push.SetMask(mask);
  CButtonSkin pushRead;
  Load(pushRead, Save(push));
  const RECT r = pushRead.GetRect();
  EXPECT_TRUE(r.left == 10 && r.top == 20 && r.right == 13 && r.bottom == 22);
  for (int i = 0; i < 4; ++i) EXPECT_TRUE(SamePixels(*push.GetState(i), *pushRead.GetState(i))) << i;
  ASSERT_NE(pushRead.GetMask(), nullptr);
  EXPECT_EQ(std::memcmp(pushRead.GetMask()->GetBytes(), shape, 6), 0);

  CAnimButtonSkin animated;
  animated.SetRect(RECT{-4, 0, 1, 1});
  for (int i = 0; i < 3; ++i) animated.SetState(i, Picture(5, 1, 9 + i));
  const std::string saved = Save(animated);
  EXPECT_EQ(saved.find("BTMK"), std::string::npos) << "no mask, no chunk";
  EXPECT_EQ(saved.find("BTBN"), std::string::npos);
  CAnimButtonSkin animatedRead;
  Load(animatedRead, saved);
  EXPECT_TRUE(animatedRead.IsDefined());
  EXPECT_EQ(animatedRead.GetMask(), nullptr);
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(SamePixels(*animated.GetState(i), *animatedRead.GetState(i))) << i;
}

TEST(ButtonSkin, CompiledPayloadCases) {
  const std::string states = Bytes()
                                 .Chunk("BTBN", Record(2, 1))
                                 .Chunk("BTBH", Record(2, 1))
                                 .Chunk("BTBD", Record(2, 1))
                                 .Chunk("BTBS", Record(2, 1))
                                 .str();
  const std::string common = Bytes().Chunk("BTMC", Btmc(0, 0, 2, 1)).str();
  const struct {
    const char* name;
    std::string payload;
    bool loads;
  } cases[] = {
      {"a 16-byte BTMC and four states", common + states, true},
      {"a 17-byte BTMC, the extra byte skipped", Bytes().Chunk("BTMC", Btmc(0, 0, 2, 1) + "x").str() + states, true},
      {"a 15-byte BTMC", Bytes().Chunk("BTMC", Btmc(0, 0, 2, 1).substr(0, 15)).str() + states, false},
      {"an empty payload", "", false},
      {"a payload of 7 bytes", "1234567", false},
      {"7 bytes after the last chunk", common + states + "1234567", false},
      {"a state before BTMC", Bytes().Chunk("BTBN", Record(2, 1)).str() + common + states.substr(states.find("BTBH")), false},
      {"a second BTMC", common + common + states, false},
      {"a second chunk of one state", common + states + Bytes().Chunk("BTBD", Record(2, 1)).str(), false},
      {"a missing state", common + states.substr(0, states.find("BTBS")), false},
      {"a mask before BTMC", Bytes().Chunk("BTMK", MaskRecord(2, 1)).str() + common + states, false},
      {"a second mask", common + states + Bytes().Chunk("BTMK", MaskRecord(2, 1)).Chunk("BTMK", MaskRecord(2, 1)).str(), false},
      {"a state one pixel wider", common + Bytes().Chunk("BTBN", Record(3, 1)).str() + states.substr(states.find("BTBH")), false},
      {"a mask one pixel higher", common + states + Bytes().Chunk("BTMK", MaskRecord(2, 2)).str(), false},
      {"unknown chunks wherever they stand", Bytes().Chunk("XTRA", "1").str() + common + Bytes().Chunk("NOTE", "").str() + states, true},
      {"a rectangle whose right edge needs 33 bits", Bytes().Chunk("BTMC", Btmc(0x7FFFFFFF, 0, 2, 1)).str() + states, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CButtonSkin button;
    if (c.loads) {
      Load(button, c.payload);
      EXPECT_TRUE(button.IsDefined());
      continue;
    }
    ExpectError([&] { Load(button, c.payload); }, kCorrupted);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(button.GetState(i), nullptr) << "left empty";
    EXPECT_EQ(button.GetMask(), nullptr);
  }

  // An animated button has no Normal state: "BTBN" is skipped.
  CAnimButtonSkin animated;
  Load(animated, common + states);
  EXPECT_TRUE(animated.IsDefined());
}
