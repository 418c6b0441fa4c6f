#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>

#include "ControlsFixture.h"
#include "support/TestPaths.h"

namespace {

class ListView : public ControlsTest {
 protected:
  void SetUp() override {
    ControlsTest::SetUp();
    list = Make(WC_LISTVIEWA, "", LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS, 10, 10, 200, 120, 30,
                WS_EX_CLIENTEDGE);
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    column.fmt = LVCFMT_LEFT;
    column.cx = 120;
    column.pszText = const_cast<char*>("Name");
    ASSERT_EQ(SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column)), 0);
    column.cx = 60;
    column.pszText = const_cast<char*>("Size");
    ASSERT_EQ(SendMessageA(list, LVM_INSERTCOLUMNA, 1, reinterpret_cast<LPARAM>(&column)), 1);
  }

  int Add(const char* text, LPARAM param, const char* size = "") {
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = 0x7FFFFFFF;
    item.pszText = const_cast<char*>(text);
    item.lParam = param;
    int at = static_cast<int>(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    item.iSubItem = 1;
    item.pszText = const_cast<char*>(size);
    SendMessageA(list, LVM_SETITEMTEXTA, at, reinterpret_cast<LPARAM>(&item));
    return at;
  }

  void Select(int row) {
    LVITEMA item{};
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
  }

  RECT RowRect(int row) {
    RECT r{LVIR_BOUNDS, 0, 0, 0};
    EXPECT_TRUE(SendMessageA(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r)));
    return r;
  }

  std::vector<Heard> Notes() {
    std::vector<Heard> out;
    for (const Heard& h : heard)
      if (h.message == WM_NOTIFY) out.push_back(h);
    return out;
  }

  HWND list = nullptr;
};

TEST_F(ListView, ItemsKeepTextsSubItemsAndParams) {
  EXPECT_EQ(Add("alpha", 10, "1 KB"), 0);
  EXPECT_EQ(Add("beta", 20, "2 KB"), 1);
  EXPECT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 2);
  char text[16] = {};
  LVITEMA item{};
  item.mask = LVIF_TEXT | LVIF_PARAM;
  item.iItem = 1;
  item.iSubItem = 1;
  item.pszText = text;
  item.cchTextMax = 3;  // cut, never overrun
  ASSERT_TRUE(SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)));
  EXPECT_STREQ(text, "2 ");
  EXPECT_EQ(item.lParam, 20);
  EXPECT_EQ(SendMessageA(list, LVM_GETCOLUMNWIDTH, 1, 0), 60);
  EXPECT_TRUE(SendMessageA(list, LVM_DELETEALLITEMS, 0, 0));
  EXPECT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 0);
  item.iItem = 0;
  EXPECT_FALSE(SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

TEST_F(ListView, MovingTheSelectionNotifiesInWindowsOrder) {
  Add("alpha", 0);
  Add("beta", 0);
  Add("gamma", 0);
  Pump();
  Select(0);
  heard.clear();
  RECT row = RowRect(2);
  ClickAt(list, 30, (row.top + row.bottom) / 2);
  std::vector<Heard> notes = Notes();
  ASSERT_EQ(notes.size(), 5u);
  // The old row loses selection and focus, then the new row gains them,
  // each asked first and told after; the click comes last.
  EXPECT_EQ(notes[0].code, static_cast<UINT>(LVN_ITEMCHANGING));
  EXPECT_EQ(notes[0].item, 0);
  EXPECT_EQ(notes[1].code, static_cast<UINT>(LVN_ITEMCHANGED));
  EXPECT_EQ(notes[1].item, 0);
  EXPECT_EQ(notes[1].oldState, static_cast<UINT>(LVIS_SELECTED | LVIS_FOCUSED));
  EXPECT_EQ(notes[1].newState, 0u);
  EXPECT_EQ(notes[2].code, static_cast<UINT>(LVN_ITEMCHANGING));
  EXPECT_EQ(notes[3].code, static_cast<UINT>(LVN_ITEMCHANGED));
  EXPECT_EQ(notes[3].item, 2);
  EXPECT_EQ(notes[3].newState, static_cast<UINT>(LVIS_SELECTED | LVIS_FOCUSED));
  EXPECT_EQ(notes[4].code, static_cast<UINT>(NM_CLICK));
  EXPECT_EQ(notes[4].item, 2);
  EXPECT_EQ(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), 2);
  EXPECT_EQ(SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0), 1);

  // The arrow key moves it back up, after LVN_KEYDOWN.
  heard.clear();
  TwlTestKeyPress(VK_UP);
  Pump();
  notes = Notes();
  ASSERT_GE(notes.size(), 1u);
  EXPECT_EQ(notes[0].code, static_cast<UINT>(LVN_KEYDOWN));
  EXPECT_EQ(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED), 1);
}

TEST_F(ListView, DoubleClickSendsNmDblclk) {
  Add("alpha", 0);
  Pump();
  RECT row = RowRect(0);
  POINT p{30, (row.top + row.bottom) / 2};
  ClientToScreen(list, &p);
  TwlTestClick(p.x, p.y);
  TwlTestClick(p.x, p.y);
  Pump();
  bool doubled = false;
  for (const Heard& h : Notes()) doubled = doubled || (h.code == static_cast<UINT>(NM_DBLCLK) && h.item == 0);
  EXPECT_TRUE(doubled);
}

TEST_F(ListView, StringWidthAndEnsureVisible) {
  HDC dc = GetDC(list);
  SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  SIZE size{};
  GetTextExtentPoint32A(dc, "Quit Player", 11, &size);
  ReleaseDC(list, dc);
  EXPECT_EQ(SendMessageA(list, LVM_GETSTRINGWIDTHA, 0, reinterpret_cast<LPARAM>("Quit Player")), size.cx);

  for (int i = 0; i < 40; ++i) Add(("row " + std::to_string(i)).c_str(), 0);
  int perPage = static_cast<int>(SendMessageA(list, LVM_GETCOUNTPERPAGE, 0, 0));
  ASSERT_LT(perPage, 40);
  EXPECT_EQ(SendMessageA(list, LVM_GETTOPINDEX, 0, 0), 0);
  SendMessageA(list, LVM_ENSUREVISIBLE, 39, FALSE);
  EXPECT_EQ(SendMessageA(list, LVM_GETTOPINDEX, 0, 0), 40 - perPage);
  SendMessageA(list, LVM_ENSUREVISIBLE, 3, FALSE);
  EXPECT_EQ(SendMessageA(list, LVM_GETTOPINDEX, 0, 0), 3);
}

TEST_F(ListView, CustomDrawSetsItemTextColours) {
  Add("ordinary", 0);
  Add("coloured", 1);
  InvalidateRect(list, nullptr, TRUE);
  Pump();
  // Text is anti-aliased: look for orange-ish ink (red over green over
  // blue) in each row of the composed window.
  RECT outer;
  GetWindowRect(host, &outer);
  int width = outer.right - outer.left;
  int height = outer.bottom - outer.top;
  std::vector<COLORREF> pixels(static_cast<size_t>(width) * height);
  ASSERT_TRUE(TwlTestGetWindowPixels(host, pixels.data(), width, height));
  auto rowHasColour = [&](int row, COLORREF) {
    RECT r = RowRect(row);
    POINT origin{0, 0};
    MapWindowPoints(list, host, &origin, 1);
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = 0; x < 120; ++x) {
        COLORREF c = pixels[static_cast<size_t>(origin.y + y) * width + origin.x + x];
        if (GetRValue(c) > GetGValue(c) + 40 && GetGValue(c) > GetBValue(c) + 40) return true;
      }
    return false;
  };
  EXPECT_TRUE(rowHasColour(1, kItemColour));
  EXPECT_FALSE(rowHasColour(0, kItemColour));
}

TEST_F(ListView, AWindowWithButtonEditAndListDumpsToPng) {
  HFONT font = CreateFontA(14, 0, 0, 0, 400, 0, 0, 0, 0, 3, 2, 1, 0x21, "MS Sans Serif");
  HWND button = Make("BUTTON", "Quit Player", BS_PUSHBUTTON | BS_CENTER, 10, 140, 110, 26, 501);
  HWND edit = Make("EDIT", "The problem has been dealt with.", ES_AUTOHSCROLL, 10, 176, 250, 22, 20,
                   WS_EX_CLIENTEDGE);
  HWND label = Make("STATIC", "Full log:", SS_LEFT, 220, 10, 150, 20, 21);
  for (HWND w : {button, edit, label, list}) SendMessageA(w, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  Add("Player started", 1, "12:00");
  Add("Skin loaded", 0, "12:01");
  Add("Cannot open the sound device", 2, "12:02");
  Select(1);
  Pump();
  std::string path = twltest::MakeTempDir("dump") + "/controls.png";
  ASSERT_TRUE(TwlTestSaveWindowPng(host, path.c_str()));
  if (const char* keep = std::getenv("TWL_KEEP_PNG")) TwlTestSaveWindowPng(host, keep);
  // The button face is where the button was placed, the edit is white.
  EXPECT_EQ(TwlTestGetWindowPixel(host, 12, 142), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(TwlTestGetWindowPixel(host, 200, 186), GetSysColor(COLOR_WINDOW));
  DeleteObject(font);
}

TEST_F(ListView, ASubItemHitNamesTheColumnUnderThePointWhateverTheOrder) {
  Add("a.mp3", 0, "3 MB");
  Pump();
  const RECT row = RowRect(0);
  auto hit = [&](int x) {
    LVHITTESTINFO info{};
    info.pt = POINT{x, (row.top + row.bottom) / 2};
    SendMessageA(list, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&info));
    return std::pair{info.iItem, info.iSubItem};
  };
  EXPECT_EQ(hit(10), (std::pair{0, 0}));
  EXPECT_EQ(hit(130), (std::pair{0, 1}));
  EXPECT_EQ(hit(190), (std::pair{-1, -1})) << "beyond the last column";
  // Size shown first: the point at 10 now lies in column 1, at 70 in 0.
  LVCOLUMNA order{};
  order.mask = LVCF_ORDER;
  order.iOrder = 0;
  ASSERT_TRUE(SendMessageA(list, LVM_SETCOLUMNA, 1, reinterpret_cast<LPARAM>(&order)));
  EXPECT_EQ(hit(10), (std::pair{0, 1}));
  EXPECT_EQ(hit(70), (std::pair{0, 0}));
  order.mask = LVCF_ORDER;
  ASSERT_TRUE(SendMessageA(list, LVM_GETCOLUMNA, 0, reinterpret_cast<LPARAM>(&order)));
  EXPECT_EQ(order.iOrder, 1);
}

TEST_F(ListView, TheHeaderIsAChildOfAReportAndOfNothingElse) {
  const HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
  ASSERT_NE(header, nullptr);
  EXPECT_EQ(GetParent(header), list);
  char cls[32] = "";
  GetClassNameA(header, cls, sizeof cls);
  EXPECT_STREQ(cls, WC_HEADERA);
  EXPECT_EQ(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0), 2);
  HWND names = Make(WC_LISTVIEWA, "", LVS_LIST, 220, 10, 150, 60, 31);
  EXPECT_EQ(SendMessageA(names, LVM_GETHEADER, 0, 0), 0);
}

TEST_F(ListView, SortedListsStaySortedAndListViewFillsColumnsDownFirst) {
  HWND names = Make(WC_LISTVIEWA, "", LVS_LIST | LVS_SORTASCENDING, 10, 140, 300, 60, 32);
  const char* inserted[] = {"m", "b", "Z", "a", "k", "c", "q", "d"};
  for (const char* text : inserted) {
    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.iItem = 0;  // asked for the top: sorting decides
    item.pszText = const_cast<char*>(text);
    SendMessageA(names, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
  }
  std::string order;
  for (int row = 0; row < 8; ++row) {
    char text[8] = "";
    LVITEMA item{};
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(names, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    order += text;
  }
  EXPECT_EQ(order, "abcdkmqZ");
  Pump();
  // Rows fill the first column top down, then the next one to the right.
  RECT first{LVIR_BOUNDS, 0, 0, 0}, second{LVIR_BOUNDS, 0, 0, 0};
  SendMessageA(names, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first));
  SendMessageA(names, LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&second));
  EXPECT_EQ(second.left, first.left);
  EXPECT_GT(second.top, first.top);
  const int perColumn = static_cast<int>(SendMessageA(names, LVM_GETCOUNTPERPAGE, 0, 0));
  ASSERT_LT(perColumn, 8);
  RECT next{LVIR_BOUNDS, 0, 0, 0};
  SendMessageA(names, LVM_GETITEMRECT, perColumn, reinterpret_cast<LPARAM>(&next));
  EXPECT_EQ(next.top, first.top);
  EXPECT_GT(next.left, first.left);
}

}  // namespace
