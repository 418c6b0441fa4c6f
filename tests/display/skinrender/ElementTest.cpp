// Element renderers: buttons take the mask over and give one surface per
// state, an animation gives its change frames with their delays, a bar
// keeps a surface or, with a script, its converted picture and bar data.
#include <gtest/gtest.h>

#include "../../skins/support/SkinTestSupport.h"
#include "RenderFixture.h"
#include "display/skinrender/DDBarSkin.h"
#include "display/skinrender/DDBitmapAnimation.h"
#include "display/skinrender/DDButtonSkin.h"
#include "skins/animation/BitmapAnimation.h"
#include "skins/bars/BarSkin.h"
#include "skins/base/SkinBase.h"
#include "skins/base/SkinPointers.h"
#include "skins/elements/ButtonSkin.h"
#include "skins/masks/Mask.h"
#include "support/TestPaths.h"

using namespace rendertest;

namespace {

std::vector<DWORD> Solid(int count, DWORD colour) { return std::vector<DWORD>(static_cast<size_t>(count), colour); }

}  // namespace

class Elements : public RenderTest {};

TEST_F(Elements, ButtonWithoutMaskGivesOpaqueStatesAndTakesAMaskOver) {
  CButtonSkin button;
  button.SetRect(RECT{5, 6, 7, 8});
  for (int state = 0; state < 4; ++state) button.SetState(state, MakePicture(2, 2, Solid(4, 0x000100)));
  CDDButtonSkin plain;
  ASSERT_EQ(plain.Create(button), DD_OK);
  EXPECT_TRUE(plain.IsCreated());
  EXPECT_EQ(plain.GetMask(), nullptr);
  EXPECT_EQ(plain.GetRect().right, 7);
  for (int state = 0; state < 4; ++state) {
    ASSERT_NE(plain.GetSurface(state), nullptr) << state;
    EXPECT_EQ(ReadSurface(plain.GetSurface(state)), Solid(4, 0)) << "opaque: the key value became black";
    EXPECT_EQ(plain.GetStateSize(state).cx, 2);
  }

  CMask* mask = new CMask;
  mask->Create(2, 2);
  const BYTE bytes[] = {1, 0, 0, 1};
  std::memcpy(mask->GetBytes(), bytes, 4);
  button.SetMask(mask);
  CDDAnimButtonSkin animated;
  ASSERT_EQ(animated.Create(button), DD_OK);
  EXPECT_EQ(button.GetMask(), nullptr) << "the renderer owns the mask now";
  EXPECT_EQ(animated.GetMask(), mask);
  EXPECT_EQ(animated.GetSurface(3), nullptr) << "an animated button has three states";
  const DWORD key = display.GetColorKey();
  EXPECT_EQ(ReadSurface(animated.GetSurface(0)), (std::vector<DWORD>{0, key, key, 0}));
}

TEST_F(Elements, UndefinedButtonAndBarStayNotCreated) {
  CButtonSkin button;
  CBarSkin bar;
  CDDButtonSkin buttonRenderer;
  CDDBarSkin barRenderer;
  EXPECT_EQ(buttonRenderer.Create(button), DD_OK);
  EXPECT_EQ(barRenderer.Create(bar, CDDBarSkin::kVolumeSteps), DD_OK);
  EXPECT_FALSE(buttonRenderer.IsCreated());
  EXPECT_FALSE(barRenderer.IsCreated());
}

TEST_F(Elements, ButtonFailureReleasesEverything) {
  CButtonSkin button;
  for (int state = 0; state < 4; ++state) button.SetState(state, MakePicture(1, 1, {0}));
  button.SetMask(new CMask);
  button.GetMask()->Create(1, 1);
  CDDButtonSkin renderer;
  TwlTestLockDisplay(TRUE);
  EXPECT_EQ(renderer.Create(button), DDERR_UNSUPPORTEDMODE);
  TwlTestLockDisplay(FALSE);
  EXPECT_FALSE(renderer.IsCreated());
  EXPECT_EQ(renderer.GetMask(), nullptr);
  EXPECT_EQ(renderer.GetSurface(0), nullptr);
}

TEST_F(Elements, BarWithoutScriptKeepsASurfaceAndNoPicture) {
  CBarSkin bar;
  bar.SetRect(RECT{0, 0, 3, 1});
  bar.SetBitmap(MakePicture(3, 1, Solid(3, 0xFF)));
  CDDBarSkin renderer;
  ASSERT_EQ(renderer.Create(bar, CDDBarSkin::kPositionSteps), DD_OK);
  EXPECT_TRUE(renderer.IsCreated());
  EXPECT_NE(renderer.GetSurface(), nullptr);
  EXPECT_EQ(renderer.GetBitmap(), nullptr);
  EXPECT_EQ(renderer.GetBarData(), nullptr);
  EXPECT_NE(bar.GetBitmap(), nullptr) << "the picture stays with the description";
}

TEST_F(Elements, AnimationOfTwoFramesGivesTwoChangesAndTheClosingFrame) {
  const std::string folder = twltest::MakeTempDir("anim") + "/";
  const auto draw = [&](const std::string& name, DWORD colour) {
    BitmapPtr picture(MakePicture(4, 2, Solid(8, 0x402010)));
    reinterpret_cast<DWORD*>(picture->GetPixels())[0] = colour;
    skintest::WriteBMP(*picture, folder + name);
  };
  draw("MainWindowNormal.bmp", 0x402010);
  draw("MainWindowNormal2.bmp", 0x0000FF);
  draw("MainWindowNormal3.bmp", 0x00FF00);
  twltest::WriteFile(folder + "MainWindowNormalAnim.ini", "Delay1=100\nDelay2=200\nDelay3=300\n");
  CBitmapAnimation animation;
  CStr errors;
  ASSERT_TRUE(animation.LoadFromFolder(folder.c_str(), "", "MainWindowNormal", errors)) << errors.c_str();
  BitmapPtr base(CSkinBase::LoadBitmap(folder.c_str(), "", "MainWindowNormal", ""));
  ASSERT_TRUE(animation.SetBase(base.get(), nullptr, errors)) << errors.c_str();
  base.release();

  CDDBitmapAnimation renderer;
  ASSERT_EQ(renderer.Create(animation), DD_OK);
  ASSERT_NE(renderer.GetBaseSurface(), nullptr);
  ASSERT_EQ(renderer.GetFrameCount(), 3);
  EXPECT_EQ(renderer.GetFrameDelay(0), 200);
  EXPECT_EQ(renderer.GetFrameDelay(1), 300);
  EXPECT_EQ(renderer.GetFrameDelay(2), 100);
  const DWORD key = display.GetColorKey();
  std::vector<DWORD> closing = ReadSurface(renderer.GetFrameSurface(2));
  EXPECT_EQ(closing[0], 0x102040u) << "the closing frame brings the base back";
  EXPECT_EQ(closing[1], key) << "and leaves the rest alone";
  EXPECT_EQ(renderer.GetFrameSurface(3), nullptr);
}

TEST_F(Elements, AnimationWithoutFramesHasABaseOnly) {
  CBitmapAnimation animation;
  CStr errors;
  ASSERT_TRUE(animation.SetBase(MakePicture(2, 2, Solid(4, 0x112233)), nullptr, errors));
  CDDBitmapAnimation renderer;
  ASSERT_EQ(renderer.Create(animation), DD_OK);
  EXPECT_NE(renderer.GetBaseSurface(), nullptr);
  EXPECT_EQ(renderer.GetFrameCount(), 0);
  EXPECT_EQ(renderer.GetFrameSurface(0), nullptr);
  EXPECT_EQ(renderer.GetFrameDelay(0), 0);
}
