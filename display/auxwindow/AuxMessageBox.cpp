#include "display/auxwindow/AuxMessageBox.h"

#include <algorithm>
#include <utility>

#include "display/auxwindow/MessageBoxLines.h"
#include "display/controls/DDButtons.h"
#include "display/controls/DDTextControls.h"
#include "display/controls/SkinControlStyle.h"
#include "display/directx/DirectDrawFailure.h"
#include "display/skinrender/DDSkin.h"
#include "display/skinrender/DDSkinFontSet.h"
#include "display/skinrender/DDWriter.h"
#include "display/state/DisplayLock.h"
#include "display/window/WindowHost.h"
#include "foundation/errors/LocalText.h"
#include "foundation/kernel/Error.h"
#include "twlwin/drawnbox.h"
#include "twlwin/help.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CAuxMessageBox, CAuxWindow)

namespace {

// Posted to the box itself with the index a box without a user chose.
constexpr UINT kUnseenAnswerMessage = WM_USER + 0x4D42;
constexpr int kIconGap = 5;
constexpr int kLineGap = 4;
constexpr int kButtonGap = 6;
constexpr int kButtonsBelowText = 20;
constexpr int kMinWrapWidth = 50;
constexpr int kMaxButtonsPerRow = 4;

int TextWidthOf(const CDDWriter* font, std::string_view text) {
  return font ? font->GetTextWidth(std::string(text).c_str()) : 0;
}

}  // namespace

// What the layout works out, in client coordinates without the margins.
struct CAuxMessageBox::Layout {
  int maxLineWidth = 0;
  int iconWidth = 0;
  int iconHeight = 0;
  bool skinLoaded = false;
  CDDWriter* textFont = nullptr;
  SkinControlStyle buttonStyle{};
  std::vector<std::string> lines;
  int textWidth = 0;
  int lineHeight = 0;
  int iconPart = 0;
  int buttonWidth = 0;
  int buttonHeight = 0;
  int perRow = 1;
  int rowWidth = 0;
  int contentWidth = 0;
  int contentHeight = 0;
  int bottom = 0;
};

CAuxMessageBox::CAuxMessageBox() = default;

CAuxMessageBox::~CAuxMessageBox() { CAuxMessageBox::Destroy(); }

void CAuxMessageBox::Create(HWND parent, const char* caption, const char* text,
                            const std::vector<std::string>& buttons, HICON icon, int defaultIndex, int escapeIndex,
                            int helpIndex, int alignment) {
  const int count = static_cast<int>(buttons.size());
  try {
    CAuxWindow::Create("AuxMessageBox", caption, 0, 0, 10, 10, parent, nullptr, false);
    m_Parent = parent;
    m_Caption = caption ? caption : "";
    m_Text = text ? text : "";
    m_Alignment = alignment >= 0 && alignment <= 2 ? alignment : 0;
    m_Buttons = buttons;
    m_DefaultIndex = defaultIndex >= 0 && defaultIndex < count ? defaultIndex : 0;
    m_EscapeIndex = escapeIndex;
    m_HelpIndex = helpIndex >= 0 && helpIndex < count ? helpIndex : -1;
    m_Icon = icon;
    SetFocus(GetWindowHandle());
    ApplySkin();
  } catch (CError*) {
    Destroy();
    throw;
  }
}

void CAuxMessageBox::SetUnseenAnswers(std::vector<int> codes, UINT type) {
  m_UnseenCodes = std::move(codes);
  m_UnseenType = type;
}

void CAuxMessageBox::Destroy() {
  CAuxWindow::Destroy();
  m_Text.clear();
  m_Buttons.clear();
  m_Icon = nullptr;
  m_IconShown = false;
}

// The index of the button a box without a user takes, or -1 when a user
// can answer.
int CAuxMessageBox::AnswerWithoutUser() {
  std::vector<int> codes = m_UnseenCodes;
  if (codes.size() != m_Buttons.size()) {
    codes.clear();
    for (size_t index = 0; index < m_Buttons.size(); ++index) codes.push_back(static_cast<int>(index) + 1);
  }
  const int fallback = codes.empty() ? 0 : codes[static_cast<size_t>(m_DefaultIndex)];
  int answer = 0;
  if (!TwlAnswerUnseenBox(m_Text.c_str(), m_Caption.c_str(), m_UnseenType, codes.data(),
                          static_cast<int>(codes.size()), fallback, &answer))
    return -1;
  const auto found = std::find(codes.begin(), codes.end(), answer);
  return found == codes.end() ? m_DefaultIndex : static_cast<int>(found - codes.begin());
}

int CAuxMessageBox::DoModal(bool topmost, bool foreground, bool disableAll) {
  std::vector<HWND> disabled;
  HWND self = GetWindowHandle();
  if (disableAll) {
    for (HWND window = GetTopWindow(nullptr); window; window = GetWindow(window, GW_HWNDNEXT))
      if (window != self && IsWindowEnabled(window)) disabled.push_back(window);
  } else if (m_Parent && IsWindowEnabled(m_Parent)) {
    disabled.push_back(m_Parent);
  }
  for (HWND window : disabled) EnableWindow(window, FALSE);
  if (topmost) SetWindowPos(self, HWND_TOPMOST, 0, 0, 0, 0, SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE);
  else ShowWindow(self, SW_SHOW);
  if (foreground) SetForegroundWindow(self);
  const int unseen = AnswerWithoutUser();
  if (unseen >= 0) PostMessageA(self, kUnseenAnswerMessage, static_cast<WPARAM>(unseen), 0);
  const int result = RunModalLoop();
  for (HWND window : disabled) EnableWindow(window, TRUE);
  return result;
}

LRESULT CAuxMessageBox::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kUnseenAnswerMessage) {
    EndModal(static_cast<int>(wParam));
    return 0;
  }
  return CAuxWindow::WindowProc(message, wParam, lParam);
}

void CAuxMessageBox::OnKeyDown(UINT key, LPARAM data) {
  CAuxWindow::OnKeyDown(key, data);
  if (key == VK_RETURN && m_DefaultIndex != -1) EndModal(m_DefaultIndex);
  else if (key == VK_ESCAPE && m_EscapeIndex != -1) EndModal(m_EscapeIndex);
}

void CAuxMessageBox::OnControlClicked(CDDControl* control) {
  const int index = control->GetId() - kFirstButtonId;
  if (index < 0 || index >= GetButtonCount()) return;
  if (index != m_HelpIndex) {
    EndModal(index);
    return;
  }
  HELPINFO help{};
  help.cbSize = sizeof(HELPINFO);
  help.iContextType = HELPINFO_WINDOW;
  help.iCtrlId = GetDlgCtrlID(GetWindowHandle());
  help.hItemHandle = GetWindowHandle();
  help.dwContextId = 0;
  GetCursorPos(&help.MousePos);
  if (m_Parent) SendMessageA(m_Parent, WM_HELP, 0, reinterpret_cast<LPARAM>(&help));
}

bool CAuxMessageBox::DrawTile(IDirectDrawSurface2* backBuffer, int x, int y, const RECT& tile) {
  if (!CAuxWindow::DrawTile(backBuffer, x, y, tile)) return false;
  RECT common;
  if (!m_IconShown || !IntersectRect(&common, &m_IconRect, &tile)) return true;
  HDC dc = nullptr;
  const HRESULT result = backBuffer->GetDC(&dc);
  if (result != DD_OK) {
    SetDirectDrawThreadError(result);
    return false;
  }
  DrawIcon(dc, x + m_IconRect.left - tile.left, y + m_IconRect.top - tile.top, m_Icon);
  backBuffer->ReleaseDC(dc);
  return true;
}

void CAuxMessageBox::ApplySkin() {
  CAuxWindow::ApplySkin();
  Layout layout;
  {
    DisplayLockScope lock;
    LayOut(layout);
  }
  const int width = GetMargin(0) + layout.contentWidth + GetMargin(2);
  const int height = layout.contentHeight + GetMargin(1) + GetMargin(3);
  SetSize(width > 0 ? width : 10, height > 0 ? height : 10);
  CenterOnParent();
}

void CAuxMessageBox::ReleaseSkin(int phase) {
  GetControls().DestroyAll(true);
  m_LineCount = 0;
  CAuxWindow::ReleaseSkin(phase);
}

void CAuxMessageBox::LayOut(Layout& layout) {
  layout.maxLineWidth = GetSystemMetrics(SM_CXSCREEN) / 2 - GetMargin(2) - GetMargin(0);
  m_IconShown = false;
  m_IconRect = RECT{};
  ICONINFO info{};
  if (m_Icon && GetIconInfo(m_Icon, &info)) {
    layout.iconWidth = 2 * static_cast<int>(info.xHotspot);
    layout.iconHeight = 2 * static_cast<int>(info.yHotspot);
    if (info.hbmMask) DeleteObject(info.hbmMask);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    m_IconShown = true;
  }
  CDDSkin& skin = GetWindowHost().GetDDSkin();
  layout.skinLoaded = skin.IsLoaded() && FillSkinControlStyle(&skin, layout.buttonStyle);
  if (layout.skinLoaded) layout.textFont = skin.GetFontSet().GetFont(0);
  GetControls().DestroyAll(true);
  m_LineCount = 0;
  if (!layout.skinLoaded) {
    m_IconRect = RECT{GetMargin(0), GetMargin(1), GetMargin(0) + layout.iconWidth, GetMargin(1) + layout.iconHeight};
    layout.contentWidth = m_IconShown ? layout.iconWidth : 0;
    layout.contentHeight = m_IconShown ? layout.iconHeight : 0;
    return;
  }
  MeasureText(layout);
  MeasureButtons(layout);
  layout.contentWidth = std::max(layout.textWidth + layout.iconPart, layout.rowWidth);
  PlaceText(layout);
  PlaceButtons(layout);
  layout.contentHeight = layout.bottom - GetMargin(1);
}

// The text: wrapped beside the icon, measured in the text font.
void CAuxMessageBox::MeasureText(Layout& layout) {
  int wrapWidth = layout.maxLineWidth - (m_IconShown ? layout.iconWidth + kIconGap : 0);
  if (wrapWidth < kMinWrapWidth) {
    // No room for the icon: it is dropped; its height still counts.
    m_IconShown = false;
    layout.iconWidth = 0;
    wrapWidth = kMinWrapWidth;
  }
  const CDDWriter* font = layout.textFont;
  layout.lines =
      BreakMessageLines(m_Text, wrapWidth, [font](std::string_view part) { return TextWidthOf(font, part); });
  for (const std::string& line : layout.lines) layout.textWidth = std::max(layout.textWidth, TextWidthOf(font, line));
  layout.lineHeight = font ? font->GetHeight() : 0;
  layout.iconPart = m_IconShown ? layout.iconWidth + kIconGap : 0;
}

// The buttons: all as wide as the widest text in any state's font, as
// many to a row as half the screen takes (one to four).
void CAuxMessageBox::MeasureButtons(Layout& layout) {
  for (CDDWriter* font : layout.buttonStyle.fonts) {
    if (!font) continue;
    layout.buttonHeight = std::max(layout.buttonHeight, static_cast<int>(font->GetHeight()));
    for (const std::string& text : m_Buttons) layout.buttonWidth = std::max(layout.buttonWidth, TextWidthOf(font, text));
  }
  layout.buttonHeight += 10;
  layout.buttonWidth += 20;
  layout.perRow = std::clamp(layout.maxLineWidth / (layout.buttonWidth + kButtonGap), 1, kMaxButtonsPerRow);
  layout.rowWidth = std::min(GetButtonCount(), layout.perRow) * (layout.buttonWidth + kButtonGap) + kButtonGap;
}

void CAuxMessageBox::PlaceText(Layout& layout) {
  const int count = static_cast<int>(layout.lines.size());
  const int blockHeight = count > 0 ? count * (layout.lineHeight + kLineGap) - kLineGap : 0;
  int top = GetMargin(1);
  if (blockHeight < layout.iconHeight) top += (layout.iconHeight - blockHeight) / 2;
  const int left = GetMargin(0) + layout.iconPart;
  const int width = layout.contentWidth - layout.iconPart;
  m_LineCount = 0;
  for (int index = 0; index < count; ++index) {
    const int lineTop = top + index * (layout.lineHeight + kLineGap);
    const RECT rect{left, lineTop, left + width, lineTop + layout.lineHeight};
    CDDLabel* label =
        CreateLabel(kFirstLabelId + index, layout.lines[static_cast<size_t>(index)].c_str(), &rect, 0);
    if (!label) break;
    label->SetAlignment(m_Alignment);
    ++m_LineCount;
  }
  layout.bottom = std::max(top + blockHeight, GetMargin(1) + layout.iconHeight);
  const int iconTop = GetMargin(1) + (layout.bottom - GetMargin(1) - layout.iconHeight) / 2;
  m_IconRect = RECT{GetMargin(0), iconTop, GetMargin(0) + layout.iconWidth, iconTop + layout.iconHeight};
}

// Rows of buttons, each row centred; a narrow row widens its buttons
// towards a third of the content.
void CAuxMessageBox::PlaceButtons(Layout& layout) {
  const int count = GetButtonCount();
  if (count == 0) return;
  const int inFirstRow = std::min(count, layout.perRow);
  const int third = layout.contentWidth / 3;
  int buttonWidth = layout.buttonWidth;
  if (layout.rowWidth < third) buttonWidth += (third - layout.rowWidth) / inFirstRow;
  int top = layout.bottom + kButtonsBelowText;
  for (int first = 0; first < count; first += layout.perRow) {
    const int inRow = std::min(layout.perRow, count - first);
    const int gap = (layout.contentWidth - inRow * buttonWidth) / (inRow + 1);
    for (int k = 0; k < inRow; ++k) {
      const int index = first + k;
      const int left = GetMargin(0) + gap + k * (buttonWidth + gap);
      const RECT rect{left, top, left + buttonWidth, top + layout.buttonHeight};
      CDDControl* button = CreateButton(kFirstButtonId + index, m_Buttons[static_cast<size_t>(index)].c_str(), &rect,
                                        layout.buttonStyle, false);
      if (!button) return;
      button->CreateFocusWindow(GetWindowHandle(), 1);
      layout.bottom = rect.bottom;
    }
    top += layout.buttonHeight + kButtonGap;
  }
}

void CAuxMessageBox::CenterOnParent() {
  RECT area{};
  if (!m_Parent || !GetWindowRect(m_Parent, &area))
    area = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  RECT rect{};
  rect.left = (area.left + area.right - GetWidth()) / 2;
  rect.top = (area.top + area.bottom - GetHeight()) / 2;
  rect.right = rect.left + GetWidth();
  rect.bottom = rect.top + GetHeight();
  KeepRectOnScreen(&rect);
  SetPosition(rect.left, rect.top);
}

namespace {

struct BoxButtons {
  std::vector<std::string> texts;
  std::vector<int> codes;
  int escapeIndex = -1;
};

BoxButtons ButtonsOfType(UINT type) {
  const auto ok = [] { return LocalText("MessageBox.OK", "OK"); };
  const auto cancel = [] { return LocalText("MessageBox.Cancel", "Cancel"); };
  const auto yes = [] { return LocalText("MessageBox.Yes", "Yes"); };
  const auto no = [] { return LocalText("MessageBox.No", "No"); };
  const auto retry = [] { return LocalText("MessageBox.Retry", "Retry"); };
  BoxButtons buttons;
  const auto add = [&](const CStr& text, int code) {
    buttons.texts.emplace_back(text.c_str());
    buttons.codes.push_back(code);
  };
  switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL:
      add(ok(), IDOK), add(cancel(), IDCANCEL);
      buttons.escapeIndex = 1;
      break;
    case MB_ABORTRETRYIGNORE:
      add(LocalText("MessageBox.Abort", "Abort"), IDABORT), add(retry(), IDRETRY);
      add(LocalText("MessageBox.Ignore", "Ignore"), IDIGNORE);
      buttons.escapeIndex = 0;
      break;
    case MB_YESNOCANCEL:
      add(yes(), IDYES), add(no(), IDNO), add(cancel(), IDCANCEL);
      buttons.escapeIndex = 2;
      break;
    case MB_YESNO: add(yes(), IDYES), add(no(), IDNO); break;
    case MB_RETRYCANCEL:
      add(retry(), IDRETRY), add(cancel(), IDCANCEL);
      buttons.escapeIndex = 1;
      break;
    default: add(ok(), IDOK); break;
  }
  return buttons;
}

LPCSTR IconOfType(UINT type) {
  switch (type & MB_ICONMASK) {
    case MB_ICONHAND: return IDI_HAND;
    case MB_ICONQUESTION: return IDI_QUESTION;
    case MB_ICONEXCLAMATION: return IDI_EXCLAMATION;
    case MB_ICONASTERISK: return IDI_ASTERISK;
    default: return nullptr;
  }
}

int DefaultIndexOfType(UINT type) {
  switch (type & MB_DEFMASK) {
    case MB_DEFBUTTON2: return 1;
    case MB_DEFBUTTON3: return 2;
    default: return 0;
  }
}

}  // namespace

int AuxMessageBox(HWND parent, const char* text, const char* caption, UINT type) {
  BoxButtons buttons = ButtonsOfType(type);
  int helpIndex = -1;
  if (type & MB_HELP) {
    helpIndex = static_cast<int>(buttons.texts.size());
    buttons.texts.emplace_back(LocalText("MessageBox.Help", "Help").c_str());
    // The Help button ends nothing; a box answered without a user never
    // takes it.
    buttons.codes.push_back(0);
  }
  const CStr defaultCaption = LocalText("MessageBox.DefaultCaption", "Error");
  const LPCSTR iconName = IconOfType(type);
  const HICON icon = iconName ? LoadIconA(nullptr, iconName) : nullptr;
  const bool topmost = (type & (MB_SYSTEMMODAL | MB_TASKMODAL | MB_TOPMOST)) != 0;
  const bool foreground = (type & MB_SETFOREGROUND) != 0;
  const bool disableAll = (type & MB_TASKMODAL) && !parent;
  try {
    CAuxMessageBox box;
    box.Create(parent, caption ? caption : defaultCaption.c_str(), text ? text : "", buttons.texts, icon,
               DefaultIndexOfType(type), buttons.escapeIndex, helpIndex, (type & MB_RIGHT) ? 2 : 0);
    box.SetUnseenAnswers(buttons.codes, type);
    const int index = box.DoModal(topmost, foreground, disableAll);
    box.Destroy();
    if (index < 0 || index >= static_cast<int>(buttons.codes.size())) return 0;
    return buttons.codes[static_cast<size_t>(index)];
  } catch (CError* error) {
    DisposeError(error);
    return MessageBoxA(parent, text, caption, type);
  }
}
