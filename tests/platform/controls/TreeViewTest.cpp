// "SysTreeView32": items under parents, what the parent hears and when
// (expanding before the children show, one selection notice per change),
// the rows a click or a key reaches, and expand buttons.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "ControlsFixture.h"

namespace {

// What the tree's parent heard, as text, and a parent that fills an item's
// children when it expands.
std::vector<std::string> treeNotes;
HWND treeWindow = nullptr;

std::string TreeText(HTREEITEM item) {
  char text[64] = "";
  TVITEMA data{};
  data.mask = TVIF_TEXT;
  data.hItem = item;
  data.pszText = text;
  data.cchTextMax = sizeof text;
  SendMessageA(treeWindow, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&data));
  return text;
}

HTREEITEM AddItem(HWND tree, HTREEITEM parent, const char* text, HTREEITEM after = TVI_LAST, bool children = false) {
  TVINSERTSTRUCTA insert{};
  insert.hParent = parent;
  insert.hInsertAfter = after;
  insert.item.mask = TVIF_TEXT | TVIF_CHILDREN;
  insert.item.pszText = const_cast<char*>(text);
  insert.item.cChildren = children ? 1 : 0;
  return reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
}

LRESULT CALLBACK TreeHostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_NOTIFY) return DefWindowProcA(window, message, wParam, lParam);
  auto* info = reinterpret_cast<NMTREEVIEWA*>(lParam);
  switch (info->hdr.code) {
    case TVN_ITEMEXPANDINGA: {
      // Children are made when their parent opens, as a folder tree does.
      const bool empty = !SendMessageA(treeWindow, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(info->itemNew.hItem));
      treeNotes.push_back("expanding " + TreeText(info->itemNew.hItem) + (empty ? " (empty)" : ""));
      if (empty && info->action == TVE_EXPAND) AddItem(treeWindow, info->itemNew.hItem, "filled");
      return 0;
    }
    case TVN_ITEMEXPANDEDA: treeNotes.push_back("expanded " + TreeText(info->itemNew.hItem)); return 0;
    case TVN_SELCHANGEDA:
      treeNotes.push_back("selchanged " + TreeText(info->itemNew.hItem) + " action " + std::to_string(info->action));
      return 0;
    case TVN_BEGINDRAGA: treeNotes.push_back("begindrag " + TreeText(info->itemNew.hItem)); return 0;
    case NM_CLICK: treeNotes.push_back("click"); return 0;
    default: return 0;
  }
}

class TreeView : public ControlsTest {
 protected:
  void SetUp() override {
    ControlsTest::SetUp();
    treeNotes.clear();
    SetWindowLongPtrA(host, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TreeHostProc));
    tree = Make(WC_TREEVIEWA, "", TVS_HASBUTTONS | TVS_LINESATROOT | TVS_SHOWSELALWAYS, 10, 10, 200, 200, 40);
    treeWindow = tree;
    root = AddItem(tree, TVI_ROOT, "root");
    music = AddItem(tree, root, "music", TVI_LAST, true);
    books = AddItem(tree, root, "books");
    SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(root));
    Pump();
    treeNotes.clear();
  }
  HTREEITEM Next(UINT code, HTREEITEM item = nullptr) {
    return reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, code, reinterpret_cast<LPARAM>(item)));
  }
  RECT Rect(HTREEITEM item) {
    RECT rect{};
    std::memcpy(&rect, &item, sizeof item);
    EXPECT_TRUE(SendMessageA(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&rect)));
    return rect;
  }
  UINT State(HTREEITEM item) {
    TVITEMA data{};
    data.mask = TVIF_STATE;
    data.hItem = item;
    data.stateMask = TVIS_EXPANDED | TVIS_SELECTED;
    SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&data));
    return data.state;
  }

  HWND tree = nullptr;
  HTREEITEM root = nullptr, music = nullptr, books = nullptr;
};

TEST_F(TreeView, ItemsAreWalkedInTheirOrder) {
  EXPECT_EQ(Next(TVGN_ROOT), root);
  EXPECT_EQ(Next(TVGN_CHILD, root), music);
  EXPECT_EQ(Next(TVGN_NEXT, music), books);
  EXPECT_EQ(Next(TVGN_NEXT, books), nullptr);
  EXPECT_EQ(Next(TVGN_PARENT, books), root);
  EXPECT_EQ(Next(TVGN_PARENT, root), nullptr);
  EXPECT_EQ(Next(TVGN_FIRSTVISIBLE), root);
  EXPECT_EQ(Next(TVGN_CARET), nullptr);
  // Sorted and first places among siblings.
  AddItem(tree, root, "art", TVI_SORT);
  AddItem(tree, root, "zero", TVI_FIRST);
  std::vector<std::string> order;
  for (HTREEITEM item = Next(TVGN_CHILD, root); item; item = Next(TVGN_NEXT, item)) order.push_back(TreeText(item));
  EXPECT_EQ(order, (std::vector<std::string>{"zero", "art", "music", "books"}));
  EXPECT_EQ(SendMessageA(tree, TVM_GETCOUNT, 0, 0), 5);
  // Deleting a parent deletes its children; the caret inside goes too.
  SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(books));
  EXPECT_TRUE(SendMessageA(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(root)));
  EXPECT_EQ(SendMessageA(tree, TVM_GETCOUNT, 0, 0), 0);
  EXPECT_EQ(Next(TVGN_CARET), nullptr);
  EXPECT_FALSE(SendMessageA(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(books))) << "already gone";
}

TEST_F(TreeView, ExpandingComesBeforeTheChildrenShow) {
  SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(music));
  EXPECT_EQ(treeNotes, (std::vector<std::string>{"expanding music (empty)", "expanded music"}));
  EXPECT_TRUE(State(music) & TVIS_EXPANDED);
  const HTREEITEM filled = Next(TVGN_CHILD, music);
  ASSERT_NE(filled, nullptr);
  EXPECT_EQ(TreeText(filled), "filled");
  EXPECT_LT(Rect(music).top, Rect(filled).top);
  EXPECT_LT(Rect(filled).top, Rect(books).top) << "the child shows between its parent and the next sibling";

  treeNotes.clear();
  EXPECT_FALSE(SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(music))) << "already open";
  EXPECT_TRUE(treeNotes.empty());
  SendMessageA(tree, TVM_EXPAND, TVE_COLLAPSE, reinterpret_cast<LPARAM>(music));
  EXPECT_FALSE(State(music) & TVIS_EXPANDED);
  RECT hidden{};
  std::memcpy(&hidden, &filled, sizeof filled);
  EXPECT_FALSE(SendMessageA(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&hidden))) << "not on show";

  // The expand button: a click on it opens the item again.
  treeNotes.clear();
  const RECT label = Rect(music);
  ClickAt(tree, label.left - 10, (label.top + label.bottom) / 2);
  EXPECT_TRUE(State(music) & TVIS_EXPANDED);
  EXPECT_EQ(treeNotes.front(), "expanding music");
}

TEST_F(TreeView, OneSelectionNoticePerChange) {
  SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(music));
  SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(music));
  EXPECT_EQ(treeNotes, (std::vector<std::string>{"selchanged music action 0"})) << "selecting it again is no change";
  EXPECT_EQ(Next(TVGN_CARET), music);
  EXPECT_TRUE(State(music) & TVIS_SELECTED);

  treeNotes.clear();
  const RECT label = Rect(books);
  ClickAt(tree, label.left + 3, (label.top + label.bottom) / 2);
  EXPECT_EQ(treeNotes, (std::vector<std::string>{"selchanged books action 1", "click"}));
  EXPECT_FALSE(State(music) & TVIS_SELECTED);

  // Keys: up to music, left to root, right opens root's child again.
  treeNotes.clear();
  SetFocus(tree);
  TwlTestKeyPress(VK_UP);
  Pump();
  TwlTestKeyPress(VK_LEFT);
  Pump();
  EXPECT_EQ(treeNotes, (std::vector<std::string>{"selchanged music action 2", "selchanged root action 2"}));
  TwlTestKeyPress(VK_LEFT);
  Pump();
  EXPECT_FALSE(State(root) & TVIS_EXPANDED) << "Left closes an open item";
  TwlTestKeyPress(VK_RIGHT);
  Pump();
  EXPECT_TRUE(State(root) & TVIS_EXPANDED) << "Right opens it";

  // Collapsing the caret's parent moves the caret onto it, once.
  SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(books));
  treeNotes.clear();
  SendMessageA(tree, TVM_EXPAND, TVE_COLLAPSE, reinterpret_cast<LPARAM>(root));
  EXPECT_EQ(Next(TVGN_CARET), root);
  EXPECT_EQ(std::count_if(treeNotes.begin(), treeNotes.end(), [](const std::string& n) { return n.rfind("selchanged", 0) == 0; }), 1);
}

TEST_F(TreeView, DraggingAnItemTellsTheParentOnce) {
  const RECT label = Rect(books);
  POINT from{label.left + 3, (label.top + label.bottom) / 2};
  ClientToScreen(tree, &from);
  TwlTestMouseButton(VK_LBUTTON, TRUE, from.x, from.y);
  Pump();
  TwlTestMouseMove(from.x + 10, from.y + 10);
  Pump();
  TwlTestMouseMove(from.x + 20, from.y + 20);
  Pump();
  TwlTestMouseButton(VK_LBUTTON, FALSE, from.x + 20, from.y + 20);
  Pump();
  EXPECT_EQ(std::count(treeNotes.begin(), treeNotes.end(), "begindrag books"), 1);
}

}  // namespace
