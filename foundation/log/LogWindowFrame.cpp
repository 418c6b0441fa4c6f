#include "foundation/log/LogWindowFrame.h"

#include <algorithm>
#include <mutex>

#include "foundation/appcore/MainWindow.h"
#include "foundation/appcore/RegistryValues.h"
#include "foundation/appcore/SettingsKey.h"
#include "foundation/appcore/ThreadErrorLog.h"
#include "foundation/errors/LocalText.h"
#include "foundation/kernel/Error.h"
#include "foundation/log/LogWindow.h"
#include "foundation/log/LogWindowTexts.h"

namespace {

constexpr const char* kClassName = "Velbrook Tunewell LogWindow Class";
constexpr const char* kModeValueName = "LogWindowMode";
// Measures the line height: every letter, digit and the usual signs.
constexpr const char* kMeasureText = "ABCDEFGHIJKLMNOPQRSTUVWXYZ1234567890abcdefghijklmnopqrstuvwxyz!\"§$%&/()=?";
constexpr DWORD kSimple = CLogWindow::MODE_SIMPLE;
constexpr DWORD kAdvanced = CLogWindow::MODE_ADVANCED;
constexpr UINT kPlaceFlags = SWP_NOACTIVATE | SWP_NOZORDER;
// Category of the program's error entries.
constexpr DWORD kErrorCategory = 0x100;

[[noreturn]] void Fail(const char* captionKey, const char* captionDefault, const char* textKey,
                       const char* textDefault) {
  ThrowError<CError>(LocalText(captionKey, captionDefault), LocalText(textKey, textDefault));
}

[[noreturn]] void FailGdi(const char* textKey, const char* textDefault) {
  Fail("GDIError.Caption", "GDI error", textKey, textDefault);
}

[[noreturn]] void FailWindow(const char* textKey, const char* textDefault) {
  Fail("WindowError.Caption", "Window error", textKey, textDefault);
}

void Place(HWND control, const LogWindowBox& box) {
  SetWindowPos(control, nullptr, box.x, box.y, box.width, box.height, kPlaceFlags);
}

void DestroyIfAny(HWND& window) {
  if (window) DestroyWindow(window);
  window = nullptr;
}

// The window's device context with the font selected, given back on every
// way out.
class FontDc {
 public:
  FontDc(HWND window, HFONT font) : m_Window(window), m_Dc(GetWindowDC(window)) {
    if (!m_Dc) FailGdi("GDIError.GetWindowDC", "Unable to obtain window dc.");
    m_Old = SelectObject(m_Dc, font);
  }
  FontDc(const FontDc&) = delete;
  FontDc& operator=(const FontDc&) = delete;
  ~FontDc() {
    SelectObject(m_Dc, m_Old);
    ReleaseDC(m_Window, m_Dc);
  }
  SIZE Extent(const CStr& text) const {
    SIZE size{0, 0};
    if (!GetTextExtentPoint32A(m_Dc, text.c_str(), static_cast<int>(text.GetLength()), &size))
      FailGdi("GDIError.GetTextExtent", "Unable to compute text size.");
    return size;
  }

 private:
  HWND m_Window;
  HDC m_Dc;
  HGDIOBJ m_Old = nullptr;
};

}  // namespace

CLogWindowFrame::CLogWindowFrame(DWORD mode)
    : m_Mode(mode == kAdvanced ? kAdvanced : kSimple), m_LastErrorTime(timeGetTime() - 1000) {}

CLogWindowFrame::~CLogWindowFrame() { DestroyWindows(); }

void CLogWindowFrame::RegisterWindowClass() {
  static std::mutex lock;
  static bool registered = false;
  std::lock_guard<std::mutex> guard(lock);
  if (registered) return;
  WNDCLASSA windowClass{};
  windowClass.style = CS_DBLCLKS | CS_NOCLOSE;
  windowClass.lpfnWndProc = &CLogWindowFrame::WindowProc;
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<ULONG_PTR>(COLOR_MENU + 1));
  windowClass.lpszClassName = kClassName;
  if (!RegisterClassA(&windowClass))
    Fail("RegisterClassFailed.Caption", "Window error", "RegisterClassFailed.Text",
         "Unable to register log window class.");
  registered = true;
}

void CLogWindowFrame::Build(HWND owner, const RECT& rect) {
  CreateFont();
  CreateMainWindow(owner, rect);
  Measure();
  // The stored place may be smaller than the texts need now.
  const int width = std::max<int>(rect.right - rect.left, m_MinimumSize.cx);
  const int height = std::max<int>(rect.bottom - rect.top, m_MinimumSize.cy);
  SetWindowPos(m_Window, nullptr, rect.left, rect.top, width, height, kPlaceFlags);
  m_FullLog = CreateList("LogList");
  m_LastErrors = CreateList("LastErrorList");
  m_TopText = CreateTextBox();
  m_BottomText = CreateTextBox();
  m_HideButton = CreateButton(LOGWINDOW_HIDE_BUTTON);
  m_QuitButton = CreateButton(LOGWINDOW_QUIT_BUTTON);
  m_ModeButton = CreateButton(LOGWINDOW_MODE_BUTTON);
  m_FullLogItems = 0;
  m_CurrentLine = CStr();
  m_LastErrorItems = 0;
  m_NewErrorBlock = true;
  m_ControlsReady = true;
  // The texts reflow to the width of the first pass; the second places
  // everything by their final heights.
  Layout();
  Layout();
  ApplyMode();
  StartLine();
}

void CLogWindowFrame::CreateFont() {
  m_Font = CreateFontA(14, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_STROKE_PRECIS,
                       CLIP_STROKE_PRECIS, DRAFT_QUALITY, FIXED_PITCH | FF_SWISS, "MS Sans Serif");
  if (!m_Font) FailGdi("GDIError.CreateFont", "Error creating font.");
}

void CLogWindowFrame::CreateMainWindow(HWND owner, const RECT& rect) {
  const HWND window = CreateWindowExA(WS_EX_TOOLWINDOW, kClassName, GetLogWindowTexts().modes[m_Mode].caption,
                                      WS_POPUP | WS_CAPTION | WS_THICKFRAME, rect.left, rect.top,
                                      rect.right - rect.left, rect.bottom - rect.top, owner, nullptr, nullptr, this);
  if (!window)
    Fail("CreateWindowFailed.Caption", "Window error", "CreateWindowFailed.Text", "Unable to create window.");
  m_Window = window;
}

void CLogWindowFrame::Measure() {
  const LogWindowTexts& texts = GetLogWindowTexts();
  const FontDc dc(m_Window, m_Font);
  const int edgeX = 2 * GetSystemMetrics(SM_CXEDGE) + 8;
  m_Metrics.lineHeight = dc.Extent(kMeasureText).cy;
  m_Metrics.buttonHeight = m_Metrics.lineHeight + 2 * GetSystemMetrics(SM_CYEDGE) + 4;
  const int advancedHide = std::max(dc.Extent(texts.modes[kAdvanced].hideButton).cx, dc.Extent(texts.quitButton).cx);
  m_Metrics.hideWidths[kAdvanced] = advancedHide + edgeX;
  m_Metrics.hideWidths[kSimple] = dc.Extent(texts.modes[kSimple].hideButton).cx + edgeX;
  for (DWORD mode : {kAdvanced, kSimple})
    m_Metrics.modeWidths[mode] = std::max<int>(1, dc.Extent(texts.modes[mode].modeButton).cx) + edgeX;
  const int topThird = std::max<int>(1, dc.Extent(texts.modes[m_Mode].topText).cx / 3);
  const int bottomThird = std::max<int>(1, dc.Extent(texts.modes[m_Mode].bottomText).cx / 3);
  m_MinimumSize = LogWindowMinimumSize(m_Metrics, topThird, bottomThird);
}

HWND CLogWindowFrame::CreateList(const char* title) {
  const HWND list = CreateWindowExA(0, WC_LISTVIEWA, title, WS_CHILD | WS_BORDER | LVS_REPORT | LVS_NOCOLUMNHEADER, 0,
                                    0, 0, 0, m_Window, nullptr, nullptr, nullptr);
  if (!list) FailWindow("WindowError.CreateListView", "Unable to create ListView.");
  LVCOLUMNA column{};
  column.mask = LVCF_FMT | LVCF_WIDTH;
  column.fmt = LVCFMT_LEFT;
  column.cx = 10;
  SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
  return list;
}

HWND CLogWindowFrame::CreateTextBox() {
  const HWND box = CreateWindowExA(0, WC_EDITA, "", WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_READONLY, 0, 0, 0, 0,
                                   m_Window, nullptr, nullptr, nullptr);
  if (!box) FailWindow("WindowError.CreateStaticText", "Unable to create static text control.");
  SendMessageA(box, WM_SETFONT, reinterpret_cast<WPARAM>(m_Font), FALSE);
  return box;
}

HWND CLogWindowFrame::CreateButton(int id) {
  const HWND button =
      CreateWindowExA(0, WC_BUTTONA, "", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON | BS_CENTER, 0, 0, 0, 0, m_Window,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
  if (!button) FailWindow("WindowError.CreateButton", "Error creating button.");
  SendMessageA(button, WM_SETFONT, reinterpret_cast<WPARAM>(m_Font), FALSE);
  return button;
}

void CLogWindowFrame::DestroyWindows() {
  m_ControlsReady = false;
  DestroyIfAny(m_FullLog);
  DestroyIfAny(m_LastErrors);
  DestroyIfAny(m_HideButton);
  DestroyIfAny(m_QuitButton);
  DestroyIfAny(m_ModeButton);
  DestroyIfAny(m_TopText);
  DestroyIfAny(m_BottomText);
  DestroyIfAny(m_Window);
  if (m_Font) DeleteObject(m_Font);
  m_Font = nullptr;
}

// A text's height once it has reflowed to the list's width.
LogWindowTextBlock CLogWindowFrame::FitText(HWND textBox, bool hasText) {
  if (!hasText) return {};
  RECT client{};
  GetClientRect(m_Window, &client);
  SetWindowPos(textBox, nullptr, 5, 5, client.right - 10, 10, kPlaceFlags);
  const int lines = static_cast<int>(SendMessageA(textBox, EM_GETLINECOUNT, 0, 0));
  return {lines * m_Metrics.lineHeight, m_Mode == kSimple ? 10 : 5};
}

void CLogWindowFrame::Layout() {
  if (!m_ControlsReady) return;
  const LogWindowModeTexts& texts = GetLogWindowTexts().modes[m_Mode];
  const LogWindowTextBlock top = FitText(m_TopText, !texts.topText.IsEmpty());
  const LogWindowTextBlock bottom = FitText(m_BottomText, !texts.bottomText.IsEmpty());
  RECT client{};
  GetClientRect(m_Window, &client);
  const LogWindowPlacement placement = PlaceLogWindowControls(m_Mode, client.right, client.bottom, m_Metrics, top, bottom);
  Place(m_TopText, placement.topText);
  Place(m_FullLog, placement.list);
  Place(m_LastErrors, placement.list);
  Place(m_BottomText, placement.bottomText);
  Place(m_ModeButton, placement.modeButton);
  Place(m_HideButton, placement.hideButton);
  if (m_Mode == kAdvanced) Place(m_QuitButton, placement.quitButton);
}

void CLogWindowFrame::ApplyMode() {
  const bool simple = m_Mode == kSimple;
  ShowWindow(m_LastErrors, simple ? SW_SHOWNA : SW_HIDE);
  ShowWindow(m_FullLog, simple ? SW_HIDE : SW_SHOWNA);
  ShowWindow(m_QuitButton, simple ? SW_HIDE : SW_SHOWNA);
  const LogWindowTexts& texts = GetLogWindowTexts();
  const LogWindowModeTexts& modeTexts = texts.modes[m_Mode];
  SetWindowTextA(m_Window, modeTexts.caption);
  SetWindowTextA(m_ModeButton, modeTexts.modeButton);
  SetWindowTextA(m_HideButton, modeTexts.hideButton);
  SetWindowTextA(m_QuitButton, texts.quitButton);
  SetWindowTextA(m_TopText, modeTexts.topText);
  SetWindowTextA(m_BottomText, modeTexts.bottomText);
  Layout();
}

void CLogWindowFrame::SwitchMode() {
  m_Mode = m_Mode == kSimple ? kAdvanced : kSimple;
  HKEY key = nullptr;
  bool stored = OpenSettingsKey(KEY_SET_VALUE, &key);
  if (stored) {
    stored = SetRegistryDWord(key, kModeValueName, m_Mode == kSimple ? 1 : 0);
    RegCloseKey(key);
  }
  if (!stored) LogThreadError(kErrorCategory, "");
  ApplyMode();
}

void CLogWindowFrame::AffirmQuit() {
  const CStr text = LocalText("CLogWindow.AffirmQuit.Text", "Really quit?");
  const CStr caption = LocalText("CLogWindow.AffirmQuit.Caption", "Exit");
  if (MessageBoxA(m_Window, text, caption, MB_ICONQUESTION | MB_YESNO) == IDYES) PostQuitToMainWindow();
}

void CLogWindowFrame::UpdateVisibility(bool bringToFront) {
  if (!m_Shown || m_HiddenForNow) {
    ShowWindow(m_Window, SW_HIDE);
    return;
  }
  ShowWindow(m_Window, bringToFront ? SW_SHOW : SW_SHOWNA);
  if (!bringToFront) return;
  SetForegroundWindow(m_Window);
  SetFocus(m_HideButton);
}

void CLogWindowFrame::PlaceBehind(HWND window) {
  if (!m_Shown || m_HiddenForNow) return;
  // Disabled meanwhile, so that the move cannot activate it.
  EnableWindow(m_Window, FALSE);
  SetWindowPos(m_Window, window, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  EnableWindow(m_Window, TRUE);
}

void CLogWindowFrame::OnSize() {
  if (m_MinimumSize.cx > 0 && !IsIconic(m_Window)) {
    RECT rect{};
    GetWindowRect(m_Window, &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width < m_MinimumSize.cx || height < m_MinimumSize.cy)
      SetWindowPos(m_Window, nullptr, 0, 0, std::max<int>(width, m_MinimumSize.cx),
                   std::max<int>(height, m_MinimumSize.cy), SWP_NOMOVE | kPlaceFlags);
  }
  Layout();
}

void CLogWindowFrame::OnCommand(int id) {
  switch (id) {
    case LOGWINDOW_HIDE_BUTTON:
      m_Shown = false;
      UpdateVisibility(false);
      break;
    case LOGWINDOW_QUIT_BUTTON:
      AffirmQuit();
      break;
    case LOGWINDOW_MODE_BUTTON:
      SwitchMode();
      break;
    default:
      break;
  }
}

// Full-log lines take the colour of their severity: warnings orange,
// errors red.
LRESULT CLogWindowFrame::OnCustomDraw(LPARAM lParam) {
  auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(lParam);
  if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
  if (draw->nmcd.dwDrawStage != CDDS_ITEMPREPAINT) return CDRF_DODEFAULT;
  const LPARAM value = draw->nmcd.lItemlParam;
  if (value == 1) draw->clrText = 0x0785E2;
  else if (value > 0) draw->clrText = 0x0000FF;
  return CDRF_DODEFAULT;
}

LRESULT CALLBACK CLogWindowFrame::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    auto* frame = static_cast<CLogWindowFrame*>(create->lpCreateParams);
    if (frame) frame->m_Window = window;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(frame));
  }
  auto* frame = reinterpret_cast<CLogWindowFrame*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (!frame || frame->m_Window != window) return DefWindowProcA(window, message, wParam, lParam);
  return frame->OnMessage(message, wParam, lParam);
}

LRESULT CLogWindowFrame::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE:
      PostQuitToMainWindow();
      return 0;
    case WM_COMMAND:
      if (HIWORD(wParam) == BN_CLICKED) OnCommand(LOWORD(wParam));
      break;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header && header->code == NM_CUSTOMDRAW && header->hwndFrom == m_FullLog) return OnCustomDraw(lParam);
      break;
    }
    case WM_SIZE:
      OnSize();
      break;
    case LOGWINDOW_SHOW:
      m_Shown = lParam != 0;
      UpdateVisibility(true);
      break;
    case LOGWINDOW_HIDE_FOR_NOW:
      m_HiddenForNow = lParam != 0;
      UpdateVisibility(false);
      break;
    case LOGWINDOW_PLACE_BEHIND:
      PlaceBehind(reinterpret_cast<HWND>(lParam));
      break;
    case LOGWINDOW_LAYOUT:
      Layout();
      break;
    default:
      break;
  }
  return DefWindowProcA(m_Window, message, wParam, lParam);
}
