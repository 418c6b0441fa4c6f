// "COMBOBOX" as a drop-down list: entries with their data, the choices of
// the user (and only those) reported once each, the drop-down opened and
// closed by clicks and keys, and the colours the parent gives.
#include <string>

#include "ControlsFixture.h"

namespace {

class ComboBox : public ControlsTest {
 protected:
  void SetUp() override {
    ControlsTest::SetUp();
    combo = Make(WC_COMBOBOXA, "", CBS_DROPDOWNLIST, 10, 10, 150, 22, 50);
    for (const char* name : {"Normal", "Small", "Mini"})
      SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    SendMessageA(combo, CB_SETITEMDATA, 2, 77);
    heard.clear();
  }
  int SelChanges() const {
    int count = 0;
    for (const Heard& h : heard) count += h.message == WM_COMMAND && h.code == CBN_SELCHANGE && h.id == 50;
    return count;
  }
  int Selection() const { return static_cast<int>(SendMessageA(combo, CB_GETCURSEL, 0, 0)); }
  bool Dropped() const { return SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0) != 0; }
  void Key(UINT key) {
    TwlTestKeyPress(key);
    Pump();
  }

  HWND combo = nullptr;
};

TEST_F(ComboBox, EntriesKeepTheirDataAndSettingTheSelectionTellsNobody) {
  EXPECT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), 3);
  EXPECT_EQ(SendMessageA(combo, CB_GETITEMDATA, 2, 0), 77);
  EXPECT_EQ(SendMessageA(combo, CB_GETITEMDATA, 3, 0), CB_ERR);
  EXPECT_EQ(Selection(), CB_ERR);
  EXPECT_EQ(SendMessageA(combo, CB_SETCURSEL, 1, 0), 1);
  EXPECT_EQ(SendMessageA(combo, CB_SETCURSEL, 9, 0), CB_ERR);
  EXPECT_EQ(Selection(), CB_ERR) << "out of range clears it";
  SendMessageA(combo, CB_SETCURSEL, 1, 0);
  char text[32] = "";
  EXPECT_EQ(SendMessageA(combo, CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(text)), 5);
  EXPECT_STREQ(text, "Small");
  EXPECT_EQ(SelChanges(), 0);
  SendMessageA(combo, CB_RESETCONTENT, 0, 0);
  EXPECT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), 0);
  EXPECT_EQ(Selection(), CB_ERR);
}

TEST_F(ComboBox, AClickOpensTheListAndAClickOnAnEntryChoosesIt) {
  SendMessageA(combo, CB_SETCURSEL, 0, 0);
  ClickAt(combo, 20, 10);
  ASSERT_TRUE(Dropped());
  // The list lies below the field, one line per entry; its third line.
  RECT field{};
  GetWindowRect(combo, &field);
  HWND list = WindowFromPoint(POINT{field.left + 20, field.bottom + 2});
  char cls[32] = "";
  GetClassNameA(list, cls, sizeof cls);
  ASSERT_STREQ(cls, WC_COMBOLBOXA);
  RECT lines{};
  GetClientRect(list, &lines);
  const int line = (lines.bottom - lines.top) / 3;
  const POINT third{field.left + 20, field.bottom + 1 + 2 * line + line / 2};
  ASSERT_TRUE(TwlTestClick(third.x, third.y));
  Pump();
  EXPECT_FALSE(Dropped());
  EXPECT_EQ(Selection(), 2);
  EXPECT_EQ(SelChanges(), 1);

  // Choosing the entry already chosen is no change.
  ClickAt(combo, 20, 10);
  ASSERT_TRUE(TwlTestClick(third.x, third.y));
  Pump();
  EXPECT_EQ(SelChanges(), 1);
}

TEST_F(ComboBox, KeysChooseDirectlyOrMoveTheOpenListsHighlight) {
  SendMessageA(combo, CB_SETCURSEL, 0, 0);
  SetFocus(combo);
  Key(VK_DOWN);
  Key(VK_END);
  Key(VK_END);
  EXPECT_EQ(Selection(), 2);
  EXPECT_EQ(SelChanges(), 2) << "one per change; End at the end changes nothing";
  Key(VK_HOME);
  EXPECT_EQ(SelChanges(), 3);

  // Open: the keys move the highlight only; Escape keeps the old choice.
  SendMessageA(combo, CB_SHOWDROPDOWN, TRUE, 0);
  Key(VK_DOWN);
  Key(VK_ESCAPE);
  EXPECT_FALSE(Dropped());
  EXPECT_EQ(Selection(), 0);
  EXPECT_EQ(SelChanges(), 3);
  // Enter takes the highlighted entry.
  SendMessageA(combo, CB_SHOWDROPDOWN, TRUE, 0);
  Key(VK_DOWN);
  Key(VK_DOWN);
  Key(VK_RETURN);
  EXPECT_FALSE(Dropped());
  EXPECT_EQ(Selection(), 2);
  EXPECT_EQ(SelChanges(), 4);
}

}  // namespace
