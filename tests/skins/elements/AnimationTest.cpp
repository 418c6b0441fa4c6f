// Bitmap animations: frames and Anim.ini of a skin folder drawn by
// ImageMagick, the pixel work of the preparation, and the compiled form.
#include <gtest/gtest.h>

#include <cstring>

#include "../support/SkinTestSupport.h"
#include "foundation/bitmaps/DIBitmap.h"
#include "skins/animation/BitmapAnimation.h"
#include "skins/base/SkinBase.h"
#include "skins/base/SkinPointers.h"
#include "support/TestPaths.h"

using namespace skintest;

namespace {

const char* const kName = "MainWindowNormal";

// A base of noise and numbered frames that each change a part of it.
std::string DrawAnimationFolder(const std::vector<int>& numbers, const std::string& ini) {
  const std::string folder = twltest::MakeTempDir("anim") + "/";
  const std::string base = folder + "MainWindowNormal.bmp";
  EXPECT_EQ(Shell("convert -size 40x30 -seed 4 plasma:fractal -type TrueColor BMP3:" + Quote(base)), 0);
  for (int number : numbers) {
    const int x = 3 * number;
    EXPECT_EQ(Shell("convert " + Quote(base) + " -fill '#" + (number % 2 ? "2050f0" : "f04010") + "' -draw 'rectangle " +
                    std::to_string(x) + ",4 " + std::to_string(x + 14) + ",20' -type TrueColor BMP3:" +
                    Quote(folder + "MainWindowNormal" + std::to_string(number) + ".bmp")),
              0);
  }
  if (!ini.empty()) twltest::WriteFile(folder + "MainWindowNormalAnim.ini", ini);
  return folder;
}

void LoadWithBase(CBitmapAnimation& animation, const std::string& folder) {
  CStr errors;
  ASSERT_TRUE(animation.LoadFromFolder(folder.c_str(), "", kName, errors)) << errors.c_str();
  BitmapPtr base(CSkinBase::LoadBitmap(folder.c_str(), "", kName, ""));
  ASSERT_TRUE(animation.SetBase(base.get(), nullptr, errors)) << errors.c_str();
  base.release();
}

DWORD* Pixels(CDIBitmap& bitmap) { return reinterpret_cast<DWORD*>(bitmap.GetPixels()); }

}  // namespace

TEST(BitmapAnimation, FramesDelaysAndFadesFromAFolder) {
  RequireImageMagick();
  const std::string folder = DrawAnimationFolder({2, 3, 5}, "Delay = 150\nDelay3=300\nTransition2 = fade, 3\nDelay9=20\n");
  CBitmapAnimation animation;
  LoadWithBase(animation, folder);
  EXPECT_EQ(animation.GetFrameCount(), 2u) << "the gap at 4 ends the frames";
  EXPECT_EQ(animation.GetFirstDelay(), 150);
  ASSERT_EQ(animation.GetDelays().size(), 2u);
  EXPECT_EQ(animation.GetDelays()[0], 150);
  EXPECT_EQ(animation.GetDelays()[1], 300);
  ASSERT_EQ(animation.GetTransitions().size(), 3u);
  EXPECT_EQ(animation.GetTransitions()[1].type, CBitmapAnimation::kFade);
  EXPECT_EQ(animation.GetTransitions()[1].count, 3);
  EXPECT_EQ(animation.GetTransitions()[1].delay, 150) << "frame 2's delay";

  animation.Prepare();
  // frame 2, three fades, frame 3, the closing frame.
  ASSERT_EQ(animation.GetFrames().size(), 2u + 1 + 3);
  const std::vector<INT> delays = {150, 150, 150, 150, 300, 150};
  EXPECT_EQ(animation.GetDelays(), delays);
}

TEST(BitmapAnimation, IniFaultsAreReportedOneLineEach) {
  RequireImageMagick();
  const struct {
    const char* ini;
    const char* line;
  } cases[] = {
      {"Delay=9\n", "The 'Delay' entry in 'MainWindowNormalAnim.ini' must be >=10\n"},
      {"Delay=10\nDelay2=5\n", "The entry 'Delay2' in 'MainWindowNormalAnim.ini' must be >=10\n"},
      {"Delay=-20\n", "value must be a non negative integer"},
      {"Transition1=Wipe,2\n", "value must be of the form 'TYPE,FRAMECOUNT' with FRAMECOUNT>=0\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.ini);
    const std::string folder = DrawAnimationFolder({2}, c.ini);
    CBitmapAnimation animation;
    CStr errors;
    EXPECT_FALSE(animation.LoadFromFolder(folder.c_str(), "", kName, errors));
    EXPECT_NE(std::string(errors.c_str()).find(c.line), std::string::npos) << errors.c_str();
    EXPECT_EQ(animation.GetFrameCount(), 0u) << "cleared";
  }
  // No numbered frames: no ini is read, however wrong.
  const std::string still = DrawAnimationFolder({}, "Delay=1\n");
  CBitmapAnimation animation;
  CStr errors;
  EXPECT_TRUE(animation.LoadFromFolder(still.c_str(), "", kName, errors));
  EXPECT_EQ(animation.GetDefaultDelay(), 200);
}

TEST(BitmapAnimation, FrameOfAnotherSizeIsReportedBySetBase) {
  RequireImageMagick();
  const std::string folder = DrawAnimationFolder({2, 3}, "");
  ASSERT_EQ(Shell("convert -size 41x30 xc:red -type TrueColor BMP3:" + Quote(folder + "MainWindowNormal3.bmp")), 0);
  CBitmapAnimation animation;
  CStr errors;
  ASSERT_TRUE(animation.LoadFromFolder(folder.c_str(), "", kName, errors));
  BitmapPtr base(CSkinBase::LoadBitmap(folder.c_str(), "", kName, ""));
  EXPECT_FALSE(animation.SetBase(base.get(), nullptr, errors));
  EXPECT_EQ(std::string(errors.c_str()),
            "Frame 2 (41 x 30) of animation 'MainWindowNormal' has not the same size as the first frame (40 x 30). "
            "All frames in an animation must be the same size.\n");
}

// Drawing the change frames over the base in order, keyed pixels left
// alone, must show each loaded frame exactly as ImageMagick drew it.
TEST(BitmapAnimation, ChangeFramesDrawnOverTheBaseReproduceEveryLoadedFrame) {
  RequireImageMagick();
  const std::string folder = DrawAnimationFolder({2, 3, 4, 5}, "");
  CBitmapAnimation animation;
  LoadWithBase(animation, folder);
  animation.Prepare();
  ASSERT_EQ(animation.GetFrames().size(), 5u);
  CDIBitmap screen;
  screen.Copy(*animation.GetBase());
  const size_t count = static_cast<size_t>(screen.GetWidth()) * screen.GetHeight();
  size_t keyed = 0;
  for (size_t f = 0; f < animation.GetFrames().size(); ++f) {
    const DWORD* frame = Pixels(*animation.GetFrames()[f]);
    for (size_t p = 0; p < count; ++p) {
      if (frame[p] == CBitmapAnimation::kKey)
        ++keyed;
      else
        Pixels(screen)[p] = frame[p];
    }
    const std::string shown = folder + "shown" + std::to_string(f) + ".bmp";
    WriteBMP(screen, shown);
    const std::string expected = folder + (f < 4 ? "MainWindowNormal" + std::to_string(f + 2) : "MainWindowNormal") + ".bmp";
    EXPECT_EQ(DifferingPixels(shown, expected), "0") << "after change frame " << f;
  }
  EXPECT_GT(keyed, count * 3) << "unchanged pixels are keyed";
}

namespace {

// A compiled payload over 32-bit pictures of w x h: the base, then the
// frames and transitions given.
std::string BitmapRecord(DWORD width, DWORD height, DWORD pixel) {
  Bytes body;
  body.U32(0).U32(width).U32(height).U32(32).U32(0xFF).U32(0xFF00).U32(0xFF0000).U32(0);
  for (DWORD i = 0; i < width * height; ++i) body.U32(pixel);
  return Bytes().U32(static_cast<DWORD>(body.size())).Raw(body.str()).str();
}

std::string Payload(DWORD flags, const std::vector<std::string>& frames, const std::vector<DWORD>& transitions) {
  Bytes payload;
  payload.Raw(BitmapRecord(1, 1, 0x00C8C8C8));
  payload.U32(16 + 4 * static_cast<DWORD>(frames.size())).U32(flags).U32(1).U32(static_cast<DWORD>(frames.size())).U32(100);
  for (size_t i = 0; i < frames.size(); ++i) payload.U32(100);
  for (const std::string& frame : frames) payload.Raw(frame);
  if (!frames.empty()) {
    payload.U32(4 * static_cast<DWORD>(transitions.size()));
    for (DWORD value : transitions) payload.U32(value);
  }
  return payload.str();
}

void LoadPayload(CBitmapAnimation& animation, const std::string& payload) {
  BytesStream in(payload);
  animation.LoadCompiled(*in, static_cast<DWORD>(payload.size()));
}

}  // namespace

// From 200 to 199 halfway: t = 32768, and 200 + floor(-0.5) is 199 where
// truncation would give 200.
TEST(BitmapAnimation, FadeChannelsAreFlooredNotTruncated) {
  CBitmapAnimation animation;
  LoadPayload(animation, Payload(7, {BitmapRecord(1, 1, 0x00C7C7C7)}, {1, 1, 40, 0, 0, 0}));
  animation.Prepare();
  ASSERT_EQ(animation.GetFrames().size(), 3u) << "fade, frame 2, closing frame";
  EXPECT_EQ(Pixels(*animation.GetFrames()[0])[0], 0x00C7C7C7u);
  EXPECT_EQ(animation.GetDelays()[0], 40);

  // Upwards: 100 to 201 over three steps at t = 16384, 32768, 49152.
  CBitmapAnimation rising;
  std::string payload = Payload(7, {BitmapRecord(1, 1, 0x000000C9)}, {1, 3, 10, 0, 0, 0});
  // The base of this one is 100 in its red channel.
  const DWORD base = 0x00000064;
  std::memcpy(payload.data() + 36, &base, 4);
  LoadPayload(rising, payload);
  rising.Prepare();
  ASSERT_EQ(rising.GetFrames().size(), 5u);
  EXPECT_EQ(Pixels(*rising.GetFrames()[0])[0], 125u);  // 100 + floor(101 / 4)
  EXPECT_EQ(Pixels(*rising.GetFrames()[1])[0], 150u);  // 100 + floor(101 / 2)
  EXPECT_EQ(Pixels(*rising.GetFrames()[2])[0], 175u);  // 100 + floor(303 / 4)
}

TEST(BitmapAnimation, CompiledPayloadFaults) {
  const std::string frame = BitmapRecord(1, 1, 5);
  const struct {
    const char* name;
    std::string payload;
  } cases[] = {
      {"flags without masked", Payload(5, {frame}, {0, 0, 0, 0, 0, 0})},
      {"a frame of another size", Payload(7, {BitmapRecord(2, 1, 5)}, {0, 0, 0, 0, 0, 0})},
      {"a transition of type 2", Payload(7, {frame}, {0, 0, 0, 2, 1, 1})},
      {"a transitions block of fewer than N + 1 records", Payload(7, {frame}, {0, 0, 0})},
      {"no transitions block", Payload(7, {frame}, {}).substr(0, Payload(7, {frame}, {}).size() - 4)},
      {"a header below 12 bytes", BitmapRecord(1, 1, 0) + Bytes().U32(8).U32(7).U32(1).str()},
      {"a header beyond the payload", BitmapRecord(1, 1, 0) + Bytes().U32(100).U32(7).U32(1).U32(0).U32(0).str()},
      // 4 x 0x40000000 + 4 wraps to 4 in 32 bits.
      {"a frame count whose delays wrap", BitmapRecord(1, 1, 0) + Bytes().U32(16).U32(7).U32(1).U32(0x40000000).U32(0).str()},
      {"converted, yet an 8-bit palettized base",
       Bytes().U32(25).U32(1).U32(1).U32(1).U32(8).U32(1).U32(0x00FFFFFF).Zeros(1).U32(16).U32(7).U32(1).U32(0).U32(0).str()},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CBitmapAnimation animation;
    ExpectError([&] { LoadPayload(animation, c.payload); }, kCorrupted);
    EXPECT_EQ(animation.GetBase(), nullptr);
  }
}

TEST(BitmapAnimation, CompiledRoundTripKeepsFramesDelaysAndTransitions) {
  RequireImageMagick();
  const std::string folder = DrawAnimationFolder({2, 3}, "Delay=120\nTransition3=Fade,2,70\n");
  CBitmapAnimation animation;
  LoadWithBase(animation, folder);
  animation.Prepare();  // saving works after the full preparation too
  CMemoryStream out;
  OpenWritable(out);
  animation.SaveCompiled(out);
  const std::string payload = StreamBytes(out);
  CBitmapAnimation read;
  LoadPayload(read, payload);
  EXPECT_EQ(read.GetFrameCount(), 2u);
  EXPECT_EQ(read.GetFirstDelay(), 120);
  ASSERT_EQ(read.GetTransitions().size(), 3u);
  EXPECT_EQ(read.GetTransitions()[2].count, 2);
  EXPECT_EQ(read.GetTransitions()[2].delay, 70);
  read.Prepare();
  ASSERT_EQ(read.GetFrames().size(), animation.GetFrames().size());
  for (size_t i = 0; i < read.GetFrames().size(); ++i)
    EXPECT_EQ(std::memcmp(read.GetFrames()[i]->GetPixels(), animation.GetFrames()[i]->GetPixels(),
                          animation.GetFrames()[i]->GetDataSize()),
              0)
        << i;
  EXPECT_EQ(read.GetDelays(), animation.GetDelays());

  // A still picture: a header of N = 0 and nothing after it.
  CBitmapAnimation still;
  LoadPayload(still, Payload(7, {}, {}));
  still.Prepare();
  EXPECT_TRUE(still.GetFrames().empty());
}

TEST(BitmapAnimation, SkincDescribesTheFolderAndTheCompiledFormAlike) {
  RequireImageMagick();
  const std::string folder = DrawAnimationFolder({2, 3}, "Delay=90\nTransition2=Fade,3\n");
  const std::string skinc = Quote(twltest::ProgramPath("skinc"));
  std::string folderOut, compiledOut, err;
  ASSERT_EQ(RunTool(skinc + " describe anim " + Quote(folder), &folderOut, &err), 0) << err;
  ASSERT_EQ(RunTool(skinc + " describe anim " + Quote(folder) + " --compiled", &compiledOut, &err), 0) << err;
  EXPECT_EQ(folderOut,
            "Base: 40x30\nFrames: 2\nDelays: 90,90,90\nTransition1: none\nTransition2: fade,3,90\nTransition3: none\n"
            "Prepared: 6\n");
  EXPECT_EQ(compiledOut, folderOut);

  twltest::WriteFile(folder + "MainWindowNormalAnim.ini", "Delay=9\n");
  EXPECT_EQ(RunTool(skinc + " describe anim " + Quote(folder), &folderOut, &err), 1);
  EXPECT_EQ(err, "skinc: The 'Delay' entry in 'MainWindowNormalAnim.ini' must be >=10\n\n");
}

// Fade counts come from files: a count that would fill the memory with
// in-between frames is refused when the animation is prepared.
// Fades whose in-between frames would exhaust the memory are refused when
// the animation is loaded, compiled or from a folder, so that such a skin
// never loads only to fail when it is drawn.
TEST(BitmapAnimation, FadesThatWouldExhaustTheMemoryAreRefused) {
  CBitmapAnimation animation;
  EXPECT_EQ(ExpectError([&] {
              LoadPayload(animation, Payload(7, {BitmapRecord(1, 1, 5)}, {1, 0x7FFFFFFF, 10, 1, 0x7FFFFFFF, 10}));
            },
                        "The fades of animation '' need too many in-between frames."),
            "Skin error");
  EXPECT_EQ(animation.GetFrameCount(), 0u) << "cleared";

  RequireImageMagick();
  const std::string folder = DrawAnimationFolder({2}, "Transition2=Fade,2147483647\n");
  CStr errors;
  ASSERT_TRUE(animation.LoadFromFolder(folder.c_str(), "", kName, errors)) << errors.c_str();
  BitmapPtr base(CSkinBase::LoadBitmap(folder.c_str(), "", kName, ""));
  EXPECT_FALSE(animation.SetBase(base.get(), nullptr, errors));
  EXPECT_EQ(std::string(errors.c_str()),
            "The fades of animation 'MainWindowNormal' need too many in-between frames.\n");
  // The fades of one picture of this size fit.
  const std::string fitting = DrawAnimationFolder({2}, "Transition2=Fade,50000\n");
  errors = CStr();
  ASSERT_TRUE(animation.LoadFromFolder(fitting.c_str(), "", kName, errors)) << errors.c_str();
  EXPECT_TRUE(animation.SetBase(base.release(), nullptr, errors)) << errors.c_str();
}
