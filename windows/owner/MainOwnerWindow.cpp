#include "windows/owner/MainOwnerWindow.h"

#include <atomic>
#include <string>

#include "app/command/CommandBlock.h"
#include "app/core/System.h"
#include "app/core/UserInterfaceLink.h"
#include "foundation/errors/LocalText.h"
#include "foundation/kernel/Error.h"

TWL_IMPLEMENT_CLASS(CMainOwnerWindow, CTypedObject)

namespace {

constexpr WORD kOwnerIconResource = 101;
constexpr int kOffScreen = -500;
constexpr int kMinimizeTextMax = 2000;

bool classRegistered = false;
std::atomic<HWND> processOwnerWindow{nullptr};

[[noreturn]] void ThrowCreateWindowFailed() {
  ThrowError<CError>(LocalText("CreateWindowFailed.Caption", "Window error"),
                     LocalText("CreateWindowFailed.Text", "Unable to create main owner window."));
}

void RegisterOwnerClass(HINSTANCE module, WNDPROC procedure) {
  if (classRegistered) return;
  HICON icon = LoadIconA(module, MAKEINTRESOURCEA(kOwnerIconResource));
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = procedure;
  windowClass.cbWndExtra = kOwnerWindowExtraBytes;
  windowClass.hInstance = module;
  windowClass.hIcon = icon;
  windowClass.hIconSm = icon;
  windowClass.lpszClassName = kOwnerWindowClassName;
  if (!icon || !RegisterClassExA(&windowClass)) {
    ThrowError<CError>(LocalText("RegisterClassFailed.Caption", "Window error"),
                       LocalText("RegisterClassFailed.Text", "Unable to register window class"));
  }
  classRegistered = true;
}

// Bitmaps on menu items came with the later systems.
bool CanUseItemBitmaps() {
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
  if (!GetVersionExA(&version)) return false;
  if (version.dwPlatformId == VER_PLATFORM_WIN32_NT) return version.dwMajorVersion > 4;
  return version.dwMinorVersion != 0;
}

UINT ItemId(HMENU menu, int position) {
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_ID;
  return GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &info) ? info.wID : 0;
}

std::string Trimmed(const std::string& text) {
  const char* blanks = " \t\r\n";
  const size_t first = text.find_first_not_of(blanks);
  if (first == std::string::npos) return std::string();
  return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

}  // namespace

CMainOwnerWindow::~CMainOwnerWindow() { Destroy(); }

void CMainOwnerWindow::Create(INT instanceNumber) {
  Destroy();
  HINSTANCE module = GetSystem().GetInstance() ? GetSystem().GetInstance() : GetModuleHandleA(nullptr);
  RegisterOwnerClass(module, &CMainOwnerWindow::WindowProc);
  m_Window = CreateWindowExA(WS_EX_APPWINDOW, kOwnerWindowClassName, CSystem::kPlayerName,
                             WS_POPUP | WS_VISIBLE | WS_SYSMENU, kOffScreen, kOffScreen, 0, 0, nullptr, nullptr,
                             module, nullptr);
  if (!m_Window) ThrowCreateWindowFailed();
  SetWindowLongPtrA(m_Window, GWL_USERDATA, reinterpret_cast<LONG_PTR>(this));
  WriteWindowData(instanceNumber);
  SetUpSystemMenu();
  m_Child = CreateWindowExA(0, kOwnerWindowClassName, CSystem::kPlayerName, WS_CHILD, kOffScreen, kOffScreen, 0, 0,
                            m_Window, nullptr, module, nullptr);
  if (!m_Child) {
    DestroyWindow(m_Window);
    m_Window = nullptr;
    ThrowCreateWindowFailed();
  }
  processOwnerWindow = m_Window;
}

bool CMainOwnerWindow::Destroy() {
  if (m_Child) DestroyWindow(m_Child);
  m_Child = nullptr;
  if (!m_Window) return false;
  HWND window = m_Window;
  m_Window = nullptr;
  HWND published = window;
  processOwnerWindow.compare_exchange_strong(published, nullptr);
  return DestroyWindow(window) != FALSE;
}

void CMainOwnerWindow::WriteWindowData(INT instanceNumber) {
  for (int word = 0; word < 4; ++word)
    SetWindowLongA(m_Window, kOwnerDataSignature + 4 * word, static_cast<LONG>(kOwnerSignature[word]));
  SetWindowLongA(m_Window, kOwnerDataVersion, static_cast<LONG>(kOwnerVersionField));
  SetWindowLongA(m_Window, kOwnerDataInstance, instanceNumber);
}

// The taskbar button's menu offers only Minimize (our own command, which
// hides everything to the tray) and Close.
void CMainOwnerWindow::SetUpSystemMenu() {
  HMENU menu = GetSystemMenu(m_Window, FALSE);
  if (!menu) return;
  const bool bitmaps = CanUseItemBitmaps();
  std::string minimizeText;
  for (int position = GetMenuItemCount(menu) - 1; position >= 0; --position) {
    const UINT id = ItemId(menu, position);
    if (id == SC_MINIMIZE) {
      char text[kMinimizeTextMax + 1] = "";
      if (GetMenuStringA(menu, static_cast<UINT>(position), text, sizeof text, MF_BYPOSITION) > 0) minimizeText = text;
      DeleteMenu(menu, static_cast<UINT>(position), MF_BYPOSITION);
    } else if (id == SC_SIZE || id == SC_MOVE || id == SC_MAXIMIZE || id == SC_RESTORE) {
      DeleteMenu(menu, static_cast<UINT>(position), MF_BYPOSITION);
    }
  }
  minimizeText = Trimmed(minimizeText);
  if (minimizeText.empty()) minimizeText = LocalText("CMainOwnerWindow.Menu.Minimize", "Minimize").c_str();

  MENUITEMINFOA item{};
  item.cbSize = bitmaps ? sizeof item : MENUITEMINFOA_SIZE_WITHOUT_BITMAP;
  item.fMask = MIIM_ID | MIIM_STRING | MIIM_FTYPE | (bitmaps ? MIIM_BITMAP : 0);
  item.fType = MFT_STRING;
  item.wID = kOwnerMinimizeCommand;
  item.dwTypeData = minimizeText.data();
  item.cch = static_cast<UINT>(minimizeText.size());
  if (bitmaps) item.hbmpItem = HBMMENU_POPUP_MINIMIZE;
  InsertMenuItemA(menu, 0, TRUE, &item);
}

void CMainOwnerWindow::PostCommands(CommandBlock* block) {
  if (!block) return;
  if (!m_Window || !PostMessageA(m_Window, kExecuteCommandsMessage, 0, reinterpret_cast<LPARAM>(block))) delete block;
}

void CMainOwnerWindow::Show(bool show) {
  if (m_Window) ShowWindow(m_Window, show ? SW_SHOW : SW_HIDE);
}

void CMainOwnerWindow::EnableSystemMenu(bool enable) {
  if (!m_Window) return;
  const LONG_PTR style = GetWindowLongA(m_Window, GWL_STYLE);
  SetWindowLongA(m_Window, GWL_STYLE, enable ? (style | WS_SYSMENU) : (style & ~static_cast<LONG_PTR>(WS_SYSMENU)));
}

void CMainOwnerWindow::SetText(const char* text) {
  if (m_Window) SetWindowTextA(m_Window, text);
}

LRESULT CALLBACK CMainOwnerWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<CMainOwnerWindow*>(GetWindowLongPtrA(window, GWL_USERDATA));
  // The child shares the class but carries no object: it gets the default.
  if (!self || window != self->m_Window) return DefWindowProcA(window, message, wParam, lParam);
  return self->OnMessage(message, wParam, lParam);
}

LRESULT CMainOwnerWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  CUserInterfaceLink* ui = GetUserInterfaceLink();
  switch (message) {
    case WM_CLOSE:
      PostQuitMessage(0);
      return 0;
    case WM_ACTIVATEAPP:
      GetSystem().OnActivateApp(wParam != 0);
      break;
    case WM_COPYDATA:
      OnCopyData(reinterpret_cast<const COPYDATASTRUCT*>(lParam));
      break;
    case WM_DISPLAYCHANGE:
      if (ui) ui->OnDisplayChange();
      break;
    case WM_SYSCOMMAND:
      if (wParam == kOwnerMinimizeCommand && ui && !ui->IsMinimized()) ui->MinimizeAll(true);
      break;
    case WM_PALETTECHANGED:
      if (ui) ui->OnPaletteChanged(reinterpret_cast<HWND>(wParam));
      break;
    case kExecuteCommandsMessage:
      if (CommandBlock* block = reinterpret_cast<CommandBlock*>(lParam)) {
        GetSystem().ExecuteCommandBlock(*block);
        delete block;
      }
      break;
    default:
      break;
  }
  return DefWindowProcA(m_Window, message, wParam, lParam);
}

// The sender's data lives only while its SendMessage runs: the block is
// copied, within what arrived, and executed later. A block whose length
// claims more than arrived is refused.
void CMainOwnerWindow::OnCopyData(const COPYDATASTRUCT* data) {
  if (!data || data->dwData != kCommandBlockCopyDataId) return;
  std::unique_ptr<CommandBlock> copy = CopyCommandBlock(data->lpData, data->cbData);
  if (!copy) {
    GetSystem().LogFormat(LOGCODE_ERROR, "%s\n",
                          LocalText("CMainOwnerWindow.CommandBlockRefused",
                                    "Commands from another instance were refused: their block is damaged.")
                              .c_str());
    return;
  }
  PostCommands(copy.release());
}

HWND GetProcessOwnerWindow() { return processOwnerWindow; }

std::unique_ptr<COwnerWindow> MakeOwnerWindow() { return std::make_unique<CMainOwnerWindow>(); }
