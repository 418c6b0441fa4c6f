// The skinned list and tree views: the skin's list and tree colours on
// rows, header and tree, a new brush for each skin change with the old one
// deleted, the header subclassed in report view only, and the list's own
// item custom draw left to the owner.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "DisplayFixture.h"
#include "display/skinviews/SkinListView.h"
#include "display/skinviews/SkinTreeView.h"

using namespace displaytest;

namespace {

// The owner of the views: records the list's item custom draw and gives
// row 1 its own text colour.
constexpr COLORREF kOwnerRowColour = RGB(0x11, 0xEE, 0x22);
std::vector<DWORD_PTR> itemDrawsSeen;

LRESULT CALLBACK ViewsOwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_NOTIFY) return DefWindowProcA(window, message, wParam, lParam);
  auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(lParam);
  if (draw->nmcd.hdr.code != NM_CUSTOMDRAW) return 0;
  if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
  if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
    itemDrawsSeen.push_back(draw->nmcd.dwItemSpec);
    if (draw->nmcd.dwItemSpec == 1) draw->clrText = kOwnerRowColour;
  }
  return CDRF_DODEFAULT;
}

class SkinViewsTest : public DisplayTest {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    ui().SetSkinName(CUserInterface::kDefaultSkinName);
    ASSERT_TRUE(ui().InitSkin());
    itemDrawsSeen.clear();
    WNDCLASSA cls{};
    cls.lpfnWndProc = ViewsOwnerProc;
    cls.lpszClassName = "SkinViewsOwner";
    RegisterClassA(&cls);
    owner = CreateWindowExA(0, "SkinViewsOwner", "Views", WS_POPUP | WS_VISIBLE, 50, 50, 460, 240, nullptr, nullptr,
                            nullptr, nullptr);
    ASSERT_NE(owner, nullptr);
  }
  void TearDown() override {
    DestroyWindow(owner);
    ui().ExitSkin();
    DisplayTest::TearDown();
  }
  static DWORD Colour(int index) { return ui().GetDDSkin().GetColorSet().GetSourceColor(index); }
  // A pixel of a child, client coordinates.
  static COLORREF At(HWND child, int x, int y) {
    POINT at{x, y};
    ClientToScreen(child, &at);
    RECT top{};
    GetWindowRect(GetAncestor(child, GA_ROOT), &top);
    return TwlTestGetWindowPixel(GetAncestor(child, GA_ROOT), at.x - top.left, at.y - top.top);
  }

  HWND owner = nullptr;
};

TEST_F(SkinViewsTest, RowsHeaderAndTreeTakeTheSkinsColours) {
  CSkinListView list;
  ASSERT_TRUE(list.Create("Report", WS_CHILD | WS_VISIBLE | LVS_REPORT, 10, 10, 200, 150, owner, 1, nullptr));
  LVCOLUMNA column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH;
  column.cx = 150;
  column.pszText = const_cast<char*>("Title");
  SendMessageA(list.GetWindowHandle(), LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
  for (const char* title : {"one", "two"}) {
    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.iItem = 9;
    item.pszText = const_cast<char*>(title);
    SendMessageA(list.GetWindowHandle(), LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
  }
  CSkinTreeView tree;
  ASSERT_TRUE(tree.Create("Tree", WS_CHILD | WS_VISIBLE, 220, 10, 200, 150, owner, 2));
  TwlTestPumpMessages();

  ASSERT_NE(list.GetHeader(), nullptr);
  EXPECT_EQ(list.GetBackgroundColor(), Colour(14));
  EXPECT_EQ(list.GetTextColor(), Colour(15));
  EXPECT_EQ(At(list.GetHeader(), 170, 3), Colour(14)) << "the header band, right of the column";
  EXPECT_EQ(At(list.GetWindowHandle(), 100, 140), Colour(14)) << "below the rows";
  EXPECT_EQ(At(tree.GetWindowHandle(), 100, 140), Colour(17));
  EXPECT_EQ(SendMessageA(tree.GetWindowHandle(), TVM_GETTEXTCOLOR, 0, 0), static_cast<LRESULT>(Colour(18)));

  // The list's own item custom draw reaches the owner unchanged.
  EXPECT_NE(std::find(itemDrawsSeen.begin(), itemDrawsSeen.end(), 1u), itemDrawsSeen.end());
  RECT row{LVIR_BOUNDS, 0, 0, 0};
  SendMessageA(list.GetWindowHandle(), LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row));
  bool ownerColourShown = false;
  for (int x = row.left; x < row.left + 40 && !ownerColourShown; ++x)
    for (int y = row.top; y < row.bottom && !ownerColourShown; ++y)
      ownerColourShown = At(list.GetWindowHandle(), x, y) == kOwnerRowColour;
  EXPECT_TRUE(ownerColourShown) << "row 1's text in the owner's colour";
}

TEST_F(SkinViewsTest, ASkinChangeReplacesTheBrushAndDeletesTheOldOne) {
  CSkinListView list;
  ASSERT_TRUE(list.Create("Report", WS_CHILD | WS_VISIBLE | LVS_REPORT, 10, 10, 200, 150, owner, 1, nullptr));
  const HBRUSH first = list.GetBrush();
  ASSERT_NE(first, nullptr);
  list.UpdateColors();
  EXPECT_NE(list.GetBrush(), nullptr);
  EXPECT_EQ(GetObjectType(first), 0u) << "the old brush is deleted";
  for (int change = 0; change < 20; ++change) list.UpdateColors();
  list.Destroy();
  EXPECT_EQ(list.GetBrush(), nullptr);
}

TEST_F(SkinViewsTest, OnlyAReportSubclassesItsHeader) {
  CSkinListView names;
  ASSERT_TRUE(names.Create("Names", WS_CHILD | WS_VISIBLE | LVS_LIST, 10, 10, 200, 150, owner, 1, nullptr));
  EXPECT_EQ(names.GetHeader(), nullptr);
  // Switched to a report by its owner: the header comes with the view but
  // is only coloured once the owner asks.
  SetWindowLongPtrA(names.GetWindowHandle(), GWL_STYLE, WS_CHILD | WS_VISIBLE | LVS_REPORT);
  const HWND header = reinterpret_cast<HWND>(SendMessageA(names.GetWindowHandle(), LVM_GETHEADER, 0, 0));
  ASSERT_NE(header, nullptr);
  names.SubclassHeader();
  EXPECT_EQ(names.GetHeader(), nullptr) << "made without LVS_REPORT, it never subclasses one";

  CSkinListView report;
  ASSERT_TRUE(report.Create("Report", WS_CHILD | WS_VISIBLE | LVS_REPORT, 220, 10, 200, 150, owner, 2, nullptr));
  const HWND reportHeader = report.GetHeader();
  ASSERT_NE(reportHeader, nullptr);
  const auto subclassed = GetWindowLongPtrA(reportHeader, GWLP_WNDPROC);
  report.Unsubclass();
  EXPECT_NE(GetWindowLongPtrA(reportHeader, GWLP_WNDPROC), subclassed) << "the header's own procedure is back";
}

}  // namespace
