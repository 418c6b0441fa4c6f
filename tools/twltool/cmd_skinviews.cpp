// twltool skinviews: the skinned list and tree views in an aux window of
// the built-in skin: a report list whose row 1 is drawn as the current
// one, a list-mode list of names and a tree; writes the window's picture
// and prints what it shows as a reviewer's snapshot text does.
#include <cstdio>
#include <string>

#include "ControlStage.h"
#include "app/hooks/SnapshotTexts.h"
#include "app/ui/UserInterface.h"
#include "display/auxwindow/AuxWindow.h"
#include "display/skinviews/SkinListView.h"
#include "display/skinviews/SkinTreeView.h"
#include "driver/Command.h"
#include "foundation/kernel/Error.h"
#include "twlwin/testing_gdi.h"
#include "twlwin/testing_user.h"

namespace {

constexpr UINT kReportId = 1;
constexpr UINT kNamesId = 2;
constexpr UINT kTreeId = 3;
// The skin colour of the current row's text ("ListHighlightedText").
constexpr int kCurrentRowColor = 16;

// Draws row 1 of the report list as the current entry, as the playlist
// window does.
class ViewsWindow : public CAuxWindow {
 public:
  LRESULT OnNotify(WPARAM id, NMHDR* header) override {
    if (id != kReportId || header->code != NM_CUSTOMDRAW) return CAuxWindow::OnNotify(id, header);
    auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(header);
    if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
    if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT && draw->nmcd.dwItemSpec == 1)
      draw->clrText = GetUserInterface().GetDDSkin().GetColorSet().GetSourceColor(kCurrentRowColor);
    return CDRF_DODEFAULT;
  }
};

void AddColumn(HWND list, int index, const char* text, int width) {
  LVCOLUMNA column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH;
  column.pszText = const_cast<char*>(text);
  column.cx = width;
  SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column));
}

void AddRow(HWND list, int row, const char* name, const char* length) {
  LVITEMA item{};
  item.mask = LVIF_TEXT;
  item.iItem = row;
  item.pszText = const_cast<char*>(name);
  SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
  if (!length) return;
  item.iSubItem = 1;
  item.pszText = const_cast<char*>(length);
  SendMessageA(list, LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

HTREEITEM AddTreeItem(HWND tree, HTREEITEM parent, const char* text) {
  TVINSERTSTRUCTA insert{};
  insert.hParent = parent;
  insert.hInsertAfter = TVI_LAST;
  insert.item.mask = TVIF_TEXT;
  insert.item.pszText = const_cast<char*>(text);
  return reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
}

int RunSkinViews(const std::string& png) {
  tool::ControlStage stage;
  std::string problem;
  if (!stage.Start(problem)) return tool::Fail("skinviews: " + problem);
  ViewsWindow window;
  window.Create("SkinViews", "Skin views", 40, 40, 480, 320, nullptr, nullptr, false);
  const HWND parent = window.GetWindowHandle();
  CSkinListView report, names;
  CSkinTreeView tree;
  if (!report.Create("Report", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS, 20, 40, 220, 110, parent,
                     kReportId, nullptr) ||
      !names.Create("Names", WS_CHILD | WS_VISIBLE | LVS_LIST, 20, 160, 440, 130, parent, kNamesId, nullptr) ||
      !tree.Create("Tree", WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_LINESATROOT, 250, 40, 210, 110, parent,
                   kTreeId))
    return tool::Fail("skinviews: the views cannot be made");
  AddColumn(report.GetWindowHandle(), 0, "Title", 150);
  AddColumn(report.GetWindowHandle(), 1, "Length", 60);
  const char* const titles[4][2] = {{"Overture", "3:12"}, {"Nocturne", "4:05"}, {"Finale", "6:40"}, {"Encore", "2:02"}};
  for (int row = 0; row < 4; ++row) AddRow(report.GetWindowHandle(), row, titles[row][0], titles[row][1]);
  const char* const files[12] = {"a.mp3", "b.mp3", "c.ogg", "d.wav", "e.mp3", "f.ogg",
                                 "g.wav", "h.mp3", "i.ogg", "j.wav", "k.mp3", "l.ogg"};
  for (int row = 0; row < 12; ++row) AddRow(names.GetWindowHandle(), row, files[row], nullptr);
  const HWND treeWindow = tree.GetWindowHandle();
  const HTREEITEM root = AddTreeItem(treeWindow, TVI_ROOT, "Music");
  const HTREEITEM first = AddTreeItem(treeWindow, root, "Classical");
  AddTreeItem(treeWindow, root, "Jazz");
  AddTreeItem(treeWindow, first, "Baroque");
  SendMessageA(treeWindow, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(root));
  SendMessageA(treeWindow, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(first));
  window.Show(true);
  TwlTestPumpMessages();
  window.Paint(nullptr);
  TwlTestPumpMessages();
  int status = 0;
  if (!TwlTestSaveWindowPng(parent, png.c_str())) status = tool::Fail("skinviews: cannot write '" + png + "'");
  std::fputs(DescribeWindow(parent).c_str(), stdout);
  tree.Destroy();
  names.Destroy();
  report.Destroy();
  window.Destroy();
  return status;
}

}  // namespace

TOOL_COMMAND(RunSkinViewsCommand, "skinviews",
             "OUT.png  show the skinned list and tree views in a 480 x 320 aux window of the built-in skin (a report "
             "list of two columns and four rows with row 1 drawn as the current one, a list-mode list of twelve "
             "names, a tree with an open branch), write its picture and print its snapshot text") {
  if (args.size() != 1) return tool::Fail("skinviews needs OUT.png");
  try {
    return RunSkinViews(args[0]);
  } catch (CError* error) {
    const std::string text = std::string(error->GetCaption().c_str()) + ": " + error->GetText().c_str();
    DisposeError(error);
    return tool::Fail("skinviews: " + text);
  }
}
