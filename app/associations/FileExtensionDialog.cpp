#include "app/associations/FileExtensionDialog.h"

#include <algorithm>
#include <utility>

#include "display/auxwindow/MessageBoxLines.h"
#include "display/controls/DDControl.h"
#include "display/controls/SkinControlStyle.h"
#include "display/skinrender/DDSkin.h"
#include "display/skinrender/DDSkinFontSet.h"
#include "display/skinrender/DDWriter.h"
#include "display/state/DisplayLock.h"
#include "display/window/WindowHost.h"
#include "foundation/appcore/ProductName.h"
#include "foundation/errors/LocalText.h"
#include "foundation/kernel/Error.h"
#include "foundation/kernel/Placeholder.h"
#include "twlwin/drawnbox.h"

TWL_IMPLEMENT_CLASS(CFileExtensionDialog, CAuxWindow)

namespace {

constexpr int kTickedIconResource = 126;
constexpr int kUntickedIconResource = 127;
constexpr int kImageSize = 16;
constexpr int kGap = 6;
constexpr int kFirstLabelId = 100;
constexpr int kListViewId = 40;
constexpr int kDefaultWidth = 500;
constexpr int kDefaultHeight = 400;
constexpr int kSpaceKey = 32;

CFileExtensionDialog::UnseenScript& Script() {
  static CFileExtensionDialog::UnseenScript script;
  return script;
}

// The four button texts, fetched once per process.
const std::vector<std::string>& ButtonTexts() {
  static const std::vector<std::string> texts = {
      LocalText("CFileExtensionDialog.ButtonOK", "OK").c_str(),
      LocalText("CFileExtensionDialog.ButtonSelectAll", "Select all").c_str(),
      LocalText("CFileExtensionDialog.ButtonSelectNone", "Select none").c_str(),
      LocalText("CFileExtensionDialog.ButtonCancel", "Cancel").c_str(),
  };
  return texts;
}

CStr KindText(int kind) {
  CStr text;
  switch (kind) {
    case CFileExtensionDialog::kNewExtensions:
      text = LocalText("CFileExtensionDialog.Text.NewExtensions",
                       "%PLAYERNAME% can now handle some new file types. Please select the file extensions you want "
                       "to associate with this player.\n(NOTE that the list below only contains the NEW types. You can "
                       "change the full list in the options window.)");
      break;
    case CFileExtensionDialog::kFirstStart:
      text = LocalText("CFileExtensionDialog.Text.FirstStart",
                       "%PLAYERNAME% can handle many different file types. Please select the file extensions you want "
                       "to associate with this player.\nIf a file extension is associated with %PLAYERNAME% all files "
                       "with that extension will be opened with this player by default. Note that you can change "
                       "these associations at any time in the options window.");
      break;
    case CFileExtensionDialog::kReRegister:
      text = LocalText("CFileExtensionDialog.Text.ReRegister",
                       "%PLAYERNAME% has detected that some of the file extension that were previously associated "
                       "with this player have been associated with a different application. If you want to associate "
                       "these file extension with %PLAYERNAME% again, select them in the list.");
      break;
    default:
      text = LocalText("CFileExtensionDialog.Text.Normal",
                       "Please select the file extensions you want to associate with %PLAYERNAME%.");
      break;
  }
  return ReplacePlaceholder(text, {"%PLAYERNAME%", kProductName});
}

}  // namespace

CFileExtensionDialog::CFileExtensionDialog() : m_ButtonTexts(ButtonTexts()) {}

CFileExtensionDialog::~CFileExtensionDialog() { CFileExtensionDialog::Destroy(); }

void CFileExtensionDialog::SetUnseenScript(UnseenScript script) { Script() = std::move(script); }

bool CFileExtensionDialog::Run(CFileExtensionEnum& list, HWND owner, int kind) {
  CFileExtensionDialog dialog;
  try {
    dialog.Create(list, owner, kind);
    const bool ok = dialog.RunModal() == 1;
    if (ok) dialog.ApplyTicks();
    dialog.StoreWindowRect(nullptr, nullptr);
    dialog.Destroy();
    return ok;
  } catch (CError*) {
    dialog.Destroy();
    throw;
  }
}

void CFileExtensionDialog::Create(CFileExtensionEnum& list, HWND owner, int kind) {
  m_List = &list;
  m_Kind = kind;
  m_Text = KindText(kind).c_str();
  RECT place{};
  LoadWindowRect(&place, "FileExtensionDialog", kDefaultWidth, kDefaultHeight, owner, 0, 0);
  CAuxWindow::Create("FileExtensionDialog",
                     LocalText("CFileExtensionDialog.Caption", "File extension registration").c_str(), place.left,
                     place.top, place.right - place.left, place.bottom - place.top, owner, nullptr, true);
  CreateImageList();
  CreateListView();
  ApplySkin();
  Fill();
}

void CFileExtensionDialog::CreateImageList() {
  m_Images = ImageList_Create(kImageSize, kImageSize, ILC_COLOR4 | ILC_MASK, 2, 0);
  if (!m_Images) {
    ThrowError<CError>(LocalText("ImageListError.Caption", "ImageList error"),
                       LocalText("ImageListError.CreateList", "Unable to create image list."));
  }
  HINSTANCE program = GetModuleHandleA(nullptr);
  m_TickedImage = ImageList_AddIcon(m_Images, LoadIconA(program, MAKEINTRESOURCEA(kTickedIconResource)));
  m_UntickedImage = ImageList_AddIcon(m_Images, LoadIconA(program, MAKEINTRESOURCEA(kUntickedIconResource)));
}

void CFileExtensionDialog::CreateListView() {
  m_ListView = CreateWindowExA(0, WC_LISTVIEWA, "ExtensionList",
                               WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_NOSORTHEADER |
                                   LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS,
                               0, 0, 10, 10, GetWindowHandle(), reinterpret_cast<HMENU>(kListViewId),
                               GetModuleHandleA(nullptr), nullptr);
  if (!m_ListView) {
    ThrowError<CError>(LocalText("WindowError.Caption", "Window error"),
                       LocalText("WindowError.CreateListView", "Unable to create ListView."));
  }
  SendMessageA(m_ListView, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(m_Images));
  const CStr extension = LocalText("CFileExtensionDialog.ColumnExtension", "extension");
  const CStr description = LocalText("CFileExtensionDialog.ColumnDescription", "description");
  LVCOLUMNA column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH;
  column.pszText = const_cast<char*>(extension.c_str());
  column.cx = 20;
  SendMessageA(m_ListView, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
  column.pszText = const_cast<char*>(description.c_str());
  column.cx = 200;
  SendMessageA(m_ListView, LVM_INSERTCOLUMNA, 1, reinterpret_cast<LPARAM>(&column));
  SetControlColor(m_ListView, kListColors, 0);
}

void CFileExtensionDialog::Fill() {
  SendMessageA(m_ListView, LVM_DELETEALLITEMS, 0, 0);
  for (int index = 0; index < m_List->GetCount(); ++index) {
    FileExtensionEntry& entry = m_List->GetEntry(index);
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = index;
    item.pszText = const_cast<char*>(entry.extension.c_str());
    item.iImage = entry.registered ? m_TickedImage : m_UntickedImage;
    item.lParam = reinterpret_cast<LPARAM>(&entry);
    const int row = static_cast<int>(SendMessageA(m_ListView, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    LVITEMA text{};
    text.iSubItem = 1;
    text.pszText = const_cast<char*>(entry.description.c_str());
    SendMessageA(m_ListView, LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&text));
  }
  SendMessageA(m_ListView, LVM_SETCOLUMNWIDTH, 0, LVSCW_AUTOSIZE_USEHEADER);
  SendMessageA(m_ListView, LVM_SETCOLUMNWIDTH, 1, LVSCW_AUTOSIZE_USEHEADER);
}

void CFileExtensionDialog::Destroy() {
  if (m_ListView) {
    RemoveControlColor(m_ListView);
    DestroyWindow(m_ListView);
    m_ListView = nullptr;
  }
  if (m_Images) {
    ImageList_Destroy(m_Images);
    m_Images = nullptr;
  }
  CAuxWindow::Destroy();
}

// Text on top (only when the skin has fonts), the list below it, the four
// equal buttons in a row at the bottom.
void CFileExtensionDialog::LayOut() {
  GetControls().DestroyAll(true);
  SkinControlStyle style{};
  CDDWriter* font = nullptr;
  {
    DisplayLockScope lock;
    CDDSkin& skin = GetWindowHost().GetDDSkin();
    if (skin.IsLoaded() && FillSkinControlStyle(&skin, style)) font = skin.GetFontSet().GetFont(0);
  }
  const int left = GetMargin(0);
  const int top = GetMargin(1);
  const int width = std::max(GetClientWidth(), 1);
  const int bottom = GetMargin(1) + std::max(GetClientHeight(), 1);
  int y = top;
  int buttonWidth = 0;
  int buttonHeight = 0;
  if (font) {
    const int lineHeight = static_cast<int>(font->GetHeight());
    const auto lines =
        BreakMessageLines(m_Text, width, [font](std::string_view part) { return font->GetTextWidth(std::string(part).c_str()); });
    for (size_t index = 0; index < lines.size(); ++index) {
      const RECT rect{left, y, left + width, y + lineHeight};
      CreateLabel(kFirstLabelId + static_cast<int>(index), lines[index].c_str(), &rect, 0);
      y += lineHeight + 2;
    }
    y += kGap;
    for (CDDWriter* buttonFont : style.fonts) {
      if (!buttonFont) continue;
      buttonHeight = std::max(buttonHeight, static_cast<int>(buttonFont->GetHeight()));
      for (const std::string& text : m_ButtonTexts)
        buttonWidth = std::max(buttonWidth, buttonFont->GetTextWidth(text.c_str()));
    }
    buttonWidth += 20;
    buttonHeight += 10;
    SetMinClientSize(4 * buttonWidth + 5 * kGap, y - top + 3 * buttonHeight);
  }
  const int buttonTop = bottom - buttonHeight;
  if (m_ListView) MoveWindow(m_ListView, left, y, width, std::max(buttonTop - kGap - y, 1), TRUE);
  if (!font) return;
  const int ids[] = {kOkButton, kSelectAllButton, kSelectNoneButton, kCancelButton};
  const int gap = std::max((width - 4 * buttonWidth) / 5, 0);
  for (int index = 0; index < 4; ++index) {
    const int x = left + gap + index * (buttonWidth + gap);
    const RECT rect{x, buttonTop, x + buttonWidth, bottom};
    if (CDDControl* button =
            CreateButton(ids[index], m_ButtonTexts[static_cast<size_t>(index)].c_str(), &rect, style, false))
      button->CreateFocusWindow(GetWindowHandle(), 1);
  }
}

void CFileExtensionDialog::ApplySkin() {
  CAuxWindow::ApplySkin();
  LayOut();
}

void CFileExtensionDialog::ReleaseSkin(int phase) {
  GetControls().DestroyAll(true);
  if (m_ListView) ShowWindow(m_ListView, SW_HIDE);
  CAuxWindow::ReleaseSkin(phase);
}

LRESULT CFileExtensionDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SIZE && m_ListView) {
    const LRESULT result = CAuxWindow::WindowProc(message, wParam, lParam);
    LayOut();
    ShowWindow(m_ListView, SW_SHOW);
    return result;
  }
  return CAuxWindow::WindowProc(message, wParam, lParam);
}

LRESULT CFileExtensionDialog::OnNotify(WPARAM, NMHDR* header) {
  if (!header || header->hwndFrom != m_ListView) return 0;
  if (header->code == NM_CLICK) {
    const auto* click = reinterpret_cast<const NMITEMACTIVATE*>(header);
    if (click->iSubItem != 0) return 0;
    LVHITTESTINFO hit{};
    hit.pt = click->ptAction;
    const int row = static_cast<int>(SendMessageA(m_ListView, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    if (row >= 0 && (hit.flags & LVHT_ONITEMICON)) ToggleRow(row);
    return 0;
  }
  if (header->code == LVN_KEYDOWN && reinterpret_cast<const NMLVKEYDOWN*>(header)->wVKey == kSpaceKey) {
    for (int row = -1;
         (row = static_cast<int>(SendMessageA(m_ListView, LVM_GETNEXTITEM, static_cast<WPARAM>(row), LVNI_SELECTED))) >= 0;)
      ToggleRow(row);
  }
  return 0;
}

void CFileExtensionDialog::OnControlClicked(CDDControl* control) {
  switch (control->GetId()) {
    case kOkButton: EndModal(1); break;
    case kCancelButton: EndModal(0); break;
    case kSelectAllButton: SetAllRows(true); break;
    case kSelectNoneButton: SetAllRows(false); break;
    default: break;
  }
}

int CFileExtensionDialog::GetRowCount() const {
  return m_ListView ? static_cast<int>(SendMessageA(m_ListView, LVM_GETITEMCOUNT, 0, 0)) : 0;
}

CStr CFileExtensionDialog::GetRowText(int row, int column) const {
  char text[512] = "";
  LVITEMA item{};
  item.iSubItem = column;
  item.pszText = text;
  item.cchTextMax = sizeof text;
  SendMessageA(m_ListView, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  return CStr(text);
}

const FileExtensionEntry* CFileExtensionDialog::GetRowEntry(int row) const {
  LVITEMA item{};
  item.mask = LVIF_PARAM;
  item.iItem = row;
  if (!SendMessageA(m_ListView, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return nullptr;
  return reinterpret_cast<const FileExtensionEntry*>(item.lParam);
}

bool CFileExtensionDialog::IsRowTicked(int row) const {
  LVITEMA item{};
  item.mask = LVIF_IMAGE;
  item.iItem = row;
  if (!SendMessageA(m_ListView, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return false;
  return item.iImage == m_TickedImage;
}

bool CFileExtensionDialog::ClickRowImage(int row) {
  RECT icon{};
  icon.left = LVIR_ICON;
  if (!SendMessageA(m_ListView, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&icon)) ||
      IsRectEmpty(&icon))
    return false;
  const LPARAM at = MAKELPARAM((icon.left + icon.right) / 2, (icon.top + icon.bottom) / 2);
  SendMessageA(m_ListView, WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageA(m_ListView, WM_LBUTTONUP, 0, at);
  return true;
}

void CFileExtensionDialog::ToggleRow(int row) {
  LVITEMA item{};
  item.mask = LVIF_IMAGE;
  item.iItem = row;
  if (!SendMessageA(m_ListView, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return;
  item.iImage = item.iImage == m_TickedImage ? m_UntickedImage : m_TickedImage;
  SendMessageA(m_ListView, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

void CFileExtensionDialog::SetAllRows(bool ticked) {
  const int count = GetRowCount();
  for (int row = 0; row < count; ++row) {
    LVITEMA item{};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    item.iImage = ticked ? m_TickedImage : m_UntickedImage;
    SendMessageA(m_ListView, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
  }
}

void CFileExtensionDialog::ApplyTicks() {
  const int count = GetRowCount();
  for (int row = 0; row < count; ++row) {
    LVITEMA item{};
    item.mask = LVIF_IMAGE | LVIF_PARAM;
    item.iItem = row;
    if (!SendMessageA(m_ListView, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)) || !item.lParam) continue;
    reinterpret_cast<FileExtensionEntry*>(item.lParam)->registered = item.iImage == m_TickedImage;
  }
}

// A dialog nobody sees is answered at once, without a modal loop that
// would take messages meant for the program's own loop.
int CFileExtensionDialog::RunModal() {
  const int unseen = AnswerWithoutUser();
  if (unseen >= 0) return unseen;
  OpenModal();
  const int result = RunModalLoop();
  Show(false);
  return result;
}

int CFileExtensionDialog::AnswerWithoutUser() {
  if (TwlCanUserAnswer()) return -1;
  if (Script()) return Script()(*this) == kScriptOk ? 1 : 0;
  return 0;
}
