// Clippers with a clip list: what a blit through one may write, the checks
// on the list a caller hands over, and the states of a clipper.
#include <cstring>

#include "DirectDrawFixture.h"
#include "MessageLog.h"

namespace {

using ddtest::DirectDrawTest;

// RDH_RECTANGLES data in one buffer: header, then the rectangles.
struct ClipList {
  explicit ClipList(std::vector<RECT> rects) : bytes(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT)) {
    RGNDATAHEADER header{};
    header.dwSize = sizeof header;
    header.iType = RDH_RECTANGLES;
    header.nCount = static_cast<DWORD>(rects.size());
    header.nRgnSize = static_cast<DWORD>(rects.size() * sizeof(RECT));
    std::memcpy(bytes.data(), &header, sizeof header);
    if (!rects.empty()) std::memcpy(bytes.data() + sizeof header, rects.data(), rects.size() * sizeof(RECT));
  }
  RGNDATA* Data() { return reinterpret_cast<RGNDATA*>(bytes.data()); }
  RGNDATAHEADER& Header() { return Data()->rdh; }
  std::vector<BYTE> bytes;
};

class Clipping : public DirectDrawTest {
 protected:
  IDirectDrawClipper* MakeClipper(std::vector<RECT> rects) {
    IDirectDrawClipper* clipper = nullptr;
    EXPECT_EQ(draw->CreateClipper(0, &clipper, nullptr), DD_OK);
    ClipList list(std::move(rects));
    EXPECT_EQ(clipper->SetClipList(list.Data(), 0), DD_OK);
    return Keep(clipper);
  }

  static bool Inside(int x, int y, const RECT& r) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }
};

TEST_F(Clipping, FillWritesOnlyWhereListAndTargetMeet) {
  IDirectDrawSurface2* surface = MakeSurface(10, 8);
  ASSERT_EQ(FillColour(surface, nullptr, 1), DD_OK);
  const RECT a{1, 1, 4, 3};
  const RECT b{6, 2, 9, 7};
  ASSERT_EQ(surface->SetClipper(MakeClipper({a, b})), DD_OK);
  RECT target{0, 0, 8, 5};
  ASSERT_EQ(FillColour(surface, &target, 2), DD_OK);
  std::vector<uint32_t> pixels = Pixels(surface);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 10; ++x) {
      bool written = (Inside(x, y, a) || Inside(x, y, b)) && Inside(x, y, target);
      EXPECT_EQ(pixels[y * 10 + x], written ? 2u : 1u) << x << "," << y;
    }
}

TEST_F(Clipping, TargetMayReachPastTheSurfaceAndStretchKeepsItsScale) {
  IDirectDrawSurface2* source = MakeSurface(4, 4);
  std::vector<uint32_t> pattern(16);
  for (int i = 0; i < 16; ++i) pattern[i] = 100 + i;
  SetPixels(source, pattern);
  IDirectDrawSurface2* surface = MakeSurface(10, 8);
  ASSERT_EQ(FillColour(surface, nullptr, 1), DD_OK);
  ASSERT_EQ(surface->SetClipper(MakeClipper({RECT{0, 0, 10, 8}})), DD_OK);
  // 4 x 4 doubled onto (-2, -2, 6, 6): the surface shows the lower right
  // three quarters of the doubled picture.
  RECT target{-2, -2, 6, 6};
  ASSERT_EQ(surface->Blt(&target, source, nullptr, DDBLT_WAIT, nullptr), DD_OK);
  std::vector<uint32_t> pixels = Pixels(surface);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 10; ++x) {
      uint32_t expected = x < 6 && y < 6 ? pattern[((y + 2) / 2) * 4 + (x + 2) / 2] : 1u;
      EXPECT_EQ(pixels[y * 10 + x], expected) << x << "," << y;
    }
  // Far outside: nothing to write, and no error.
  RECT away{-100, -100, -50, -50};
  EXPECT_EQ(surface->Blt(&away, source, nullptr, DDBLT_WAIT, nullptr), DD_OK);
  // Still refused: an inverted target and a source outside its surface.
  RECT inverted{5, 5, 1, 1};
  EXPECT_EQ(surface->Blt(&inverted, source, nullptr, DDBLT_WAIT, nullptr), DDERR_INVALIDRECT);
  RECT outside{2, 2, 6, 6};
  EXPECT_EQ(surface->Blt(nullptr, source, &outside, DDBLT_WAIT, nullptr), DDERR_INVALIDRECT);
  EXPECT_EQ(Pixels(surface), pixels);
}

TEST_F(Clipping, EmptyListLetsNothingThrough) {
  IDirectDrawSurface2* surface = MakeSurface(4, 4);
  ASSERT_EQ(FillColour(surface, nullptr, 7), DD_OK);
  ASSERT_EQ(surface->SetClipper(MakeClipper({})), DD_OK);
  EXPECT_EQ(FillColour(surface, nullptr, 9), DD_OK);
  EXPECT_EQ(Pixels(surface), std::vector<uint32_t>(16, 7));
}

TEST_F(Clipping, UnsoundListsAreRefused) {
  IDirectDrawClipper* clipper = nullptr;
  ASSERT_EQ(draw->CreateClipper(0, &clipper, nullptr), DD_OK);
  Keep(clipper);
  struct Case {
    const char* name;
    void (*spoil)(ClipList&);
  };
  const Case cases[] = {
      {"header of another size", [](ClipList& l) { l.Header().dwSize = 28; }},
      {"not rectangles", [](ClipList& l) { l.Header().iType = 2; }},
      {"rectangles past the stated size", [](ClipList& l) { l.Header().nRgnSize = 16; }},
      {"a count no list has", [](ClipList& l) {
         l.Header().nCount = 0x40000000;
         l.Header().nRgnSize = 0;
       }},
      {"an inverted rectangle", [](ClipList& l) {
         RECT bad{5, 5, 1, 9};
         std::memcpy(l.bytes.data() + sizeof(RGNDATAHEADER) + sizeof(RECT), &bad, sizeof bad);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ClipList list({RECT{0, 0, 2, 2}, RECT{3, 3, 4, 4}});
    c.spoil(list);
    EXPECT_EQ(clipper->SetClipList(list.Data(), 0), DDERR_INVALIDCLIPLIST);
  }
  ClipList sound({RECT{0, 0, 2, 2}});
  EXPECT_EQ(clipper->SetClipList(sound.Data(), 1), DDERR_INVALIDPARAMS);
  // A refused list leaves the clipper without one.
  DWORD size = 0;
  EXPECT_EQ(clipper->GetClipList(nullptr, nullptr, &size), DDERR_NOCLIPLIST);
}

TEST_F(Clipping, ClipListComesBackAsSet) {
  IDirectDrawClipper* clipper = MakeClipper({RECT{0, 0, 640, 480}, RECT{700, 500, 710, 510}});
  DWORD size = 0;
  ASSERT_EQ(clipper->GetClipList(nullptr, nullptr, &size), DD_OK);
  EXPECT_EQ(size, sizeof(RGNDATAHEADER) + 2 * sizeof(RECT));
  ClipList out({RECT{}, RECT{}});
  DWORD tooSmall = size - 1;
  EXPECT_EQ(clipper->GetClipList(nullptr, out.Data(), &tooSmall), DDERR_REGIONTOOSMALL);
  ASSERT_EQ(clipper->GetClipList(nullptr, out.Data(), &size), DD_OK);
  EXPECT_EQ(out.Header().nCount, 2u);
  EXPECT_EQ(out.Header().rcBound.right, 710);
  EXPECT_EQ(out.Header().rcBound.bottom, 510);
  RECT cut{600, 0, 705, 505};
  size = static_cast<DWORD>(out.bytes.size());
  ASSERT_EQ(clipper->GetClipList(&cut, out.Data(), &size), DD_OK);
  ASSERT_EQ(out.Header().nCount, 2u);
  RECT first;
  std::memcpy(&first, out.bytes.data() + sizeof(RGNDATAHEADER), sizeof first);
  EXPECT_EQ(first.left, 600);
  EXPECT_EQ(first.right, 640);
  EXPECT_EQ(first.bottom, 480);
}

TEST_F(Clipping, ClipperStatesAndRefusals) {
  IDirectDrawSurface2* surface = MakeSurface(4, 4);
  IDirectDrawSurface2* source = MakeSurface(2, 2);
  LPDIRECTDRAWCLIPPER attached = nullptr;
  EXPECT_EQ(surface->GetClipper(&attached), DDERR_NOCLIPPERATTACHED);

  IDirectDrawClipper* clipper = nullptr;
  ASSERT_EQ(draw->CreateClipper(0, &clipper, nullptr), DD_OK);
  Keep(clipper);
  ASSERT_EQ(surface->SetClipper(clipper), DD_OK);
  EXPECT_EQ(FillColour(surface, nullptr, 1), DDERR_NOCLIPLIST);
  EXPECT_EQ(surface->BltFast(0, 0, source, nullptr, DDBLTFAST_WAIT), DDERR_BLTFASTCANTCLIP);
  ASSERT_EQ(surface->GetClipper(&attached), DD_OK);
  EXPECT_EQ(attached, clipper);
  attached->Release();

  EXPECT_EQ(clipper->SetHWnd(0, reinterpret_cast<HWND>(0x7FFFFFF0)), DDERR_INVALIDPARAMS);
  HWND window = ddtest::MessageLog::MakeWindow(RECT{10, 10, 50, 50});
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(clipper->SetHWnd(1, window), DDERR_INVALIDPARAMS);
  ASSERT_EQ(clipper->SetHWnd(0, window), DD_OK);
  HWND bound = nullptr;
  ASSERT_EQ(clipper->GetHWnd(&bound), DD_OK);
  EXPECT_EQ(bound, window);
  ClipList list({RECT{0, 0, 1, 1}});
  EXPECT_EQ(clipper->SetClipList(list.Data(), 0), DDERR_CLIPPERISUSINGHWND);

  ASSERT_EQ(surface->SetClipper(nullptr), DD_OK);
  EXPECT_EQ(surface->BltFast(0, 0, source, nullptr, DDBLTFAST_WAIT), DD_OK);
  DestroyWindow(window);
}

}  // namespace
