// The main window itself: its class, making and ending it, its place per
// mode, the entry listener and the handlers of the window's messages.
#include "windows/main/MainWindow.h"

#include "app/core/System.h"
#include "app/ui/UserInterface.h"
#include "display/state/DisplayLock.h"
#include "display/controls/DDControl.h"
#include "foundation/appcore/MainWindow.h"
#include "foundation/appcore/ProductName.h"
#include "foundation/errors/LocalText.h"
#include "foundation/kernel/Error.h"
#include "playback/playersystem/PlayerSystem.h"
#include "playback/playlist/PlayListEntry.h"
#include "pluginhost/fileinfo/InfoDataBases.h"
#include "pluginhost/fileinfo/FileInfoDataBase.h"
#include "windows/main/MainWindowDisplays.h"

#include <vector>

TWL_IMPLEMENT_CLASS(CMainWindow, CWindow)

namespace {

constexpr WORD kProgramIconResource = 101;

}  // namespace

void CMainWindowEntryListener::OnFileObjectChanged(FileObjectInfoRecord*, DWORD changes) {
  if (HWND window = m_Owner->GetWindowHandle())
    PostMessageA(window, CMainWindow::kEntryInfoChangedMessage, changes, 0);
}

void CMainWindowEntryListener::OnFileObjectDetached(FileObjectInfoRecord* record) {
  // The records go at shut-down: the window must not reach this one again.
  if (m_Owner->m_CurrentFileInfo == record) m_Owner->m_CurrentFileInfo = nullptr;
}

CMainWindow::CMainWindow() : m_Listener(this) {}

CMainWindow::~CMainWindow() { Destroy(); }

const char* CMainWindow::RectNameOf(int mode) { return mode == 2 ? "MiniMainWindow" : "MainWindow"; }

void CMainWindow::RegisterClass() {
  HINSTANCE module = GetModuleHandleA(nullptr);
  WNDCLASSA existing{};
  if (GetClassInfoA(module, kClassName, &existing)) return;
  HICON icon = LoadIconA(module, MAKEINTRESOURCEA(kProgramIconResource));
  HCURSOR cursor = LoadCursorA(nullptr, IDC_ARROW);
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = &CWindow::StaticWindowProc;
  windowClass.hInstance = module;
  windowClass.hIcon = icon;
  windowClass.hIconSm = icon;
  windowClass.hCursor = cursor;
  windowClass.lpszClassName = kClassName;
  if (!icon || !cursor || !RegisterClassExA(&windowClass))
    ThrowError<CError>(LocalText("RegisterClassFailed.Caption", "Window error"),
                       LocalText("RegisterClassFailed.Text", "Unable to register window class"));
}

void CMainWindow::Create(HWND parent, CWindowOwner* owner) {
  Destroy();
  RegisterClass();
  if (!LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kProgramIconResource)))
    ThrowError<CError>(LocalText("GDIError.Caption", "GDI error"), LocalText("GDIError.LoadIcon", "Error loading icon."));
  SIZE size{};
  {
    DisplayLockScope lock;
    m_Mode = GetUserInterface().GetMode();
    size = GetUserInterface().GetDDSkin().GetMainWindowSkin(m_Mode).GetSize();
  }
  RECT place{};
  LoadWindowRect(&place, RectNameOf(m_Mode), size.cx, size.cy, nullptr, 0, 0);
  CWindow::Create("MainWindow", kProductName, kClassName, WS_POPUP, WS_EX_ACCEPTFILES, place.left,
                  place.top, size.cx, size.cy, parent, owner);
  m_TitleText = kProductName;
  m_CurrentEntry = -1;
  m_CurrentFileInfo = nullptr;
  m_BytesReadText = CStr();
  m_LastBytesRead = maindisplay::kNoStream;
  m_BytesReadKnown = false;
  m_LastPosition = m_LastProgressPosition = m_LastProgressLength = ~0u;
  m_Schedule.Reload();
  m_ReportPaintErrors = true;
  SetMainWindowHandle(GetWindowHandle());
  ApplySkin();
}

void CMainWindow::PrepareExit() { UnbindCurrentEntry(); }

void CMainWindow::ReleaseResources() { UnbindCurrentEntry(); }

void CMainWindow::Destroy() {
  if (GetWindowHandle()) StoreWindowRect(RectNameOf(m_Mode), nullptr);
  ReleaseSkin();
  ReleaseResources();
  if (GetWindowHandle() && GetMainWindowHandle() == GetWindowHandle()) SetMainWindowHandle(nullptr);
  CWindow::Destroy();
  m_TitleText = CStr();
  DestroyPopupMenu();
  m_Tray.Remove();
}

void CMainWindow::BindCurrentEntry(int number, FileInfoRecord* info) {
  CriticalSectionLock lock(GetFileInfoDataBase().GetLock());
  if (m_CurrentFileInfo) RemoveFileObjectListener(m_CurrentFileInfo, &m_Listener);
  m_CurrentEntry = number;
  m_CurrentFileInfo = info;
  if (info) AddFileObjectListener(info, &m_Listener);
}

void CMainWindow::UnbindCurrentEntry() {
  if (!m_CurrentFileInfo) return;
  CriticalSectionLock lock(GetFileInfoDataBase().GetLock());
  if (m_CurrentFileInfo) RemoveFileObjectListener(m_CurrentFileInfo, &m_Listener);
  m_CurrentFileInfo = nullptr;
}

LRESULT CMainWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case kTrayMessage: OnTrayNotify(static_cast<UINT>(lParam)); return 0;
    case kEntryInfoChangedMessage: UpdateTitle(); break;
    case kForegroundMessage: SetForegroundWindow(GetWindowHandle()); break;
    default: break;
  }
  return CWindow::WindowProc(message, wParam, lParam);
}

bool CMainWindow::OnClose() {
  PostQuitMessage(0);
  return false;
}

void CMainWindow::OnMouseButtonDown(int button, int x, int y) {
  CWindow::OnMouseButtonDown(button, x, y);
  if (button == 1) OnRightButtonDown(x, y);
}

// Every key, after the controls had it, goes on to the user interface's
// key events, which run the triggers bound to it.
void CMainWindow::OnKeyDown(UINT key, LPARAM data) {
  CWindow::OnKeyDown(key, data);
  GetUserInterface().OnKey(key, data);
}

void CMainWindow::OnKeyUp(UINT key, LPARAM data) {
  CWindow::OnKeyUp(key, data);
  GetUserInterface().OnKey(key, data);
}

void CMainWindow::OnSysKeyDown(UINT key, LPARAM data) { GetUserInterface().OnKey(key, data); }

void CMainWindow::OnSysKeyUp(UINT key, LPARAM data) { GetUserInterface().OnKey(key, data); }

void CMainWindow::OnMinimize(bool toTray) {
  CWindow::OnMinimize(toTray);
  if (!toTray) return;
  Show(false);
  m_Tray.Add(GetWindowHandle());
}

void CMainWindow::OnRestore() {
  CWindow::OnRestore();
  m_Tray.Remove();
  Show(true);
}

void CMainWindow::OnMove(int x, int y) { CWindow::OnMove(x, y); }

void CMainWindow::OnActivate(bool, HWND) {}

void CMainWindow::OnFilesDropped(const char* const* urls, int count) {
  if (count < 1 || !urls) return;
  CPlayerSystem& players = GetPlayerSystem();
  std::vector<CPlayListEntry*> made(static_cast<size_t>(count), nullptr);
  if (players.AddUrls(nullptr, -1, urls, count, made.data()) < 0) return;
  for (CPlayListEntry* entry : made) {
    if (entry && !entry->IsFolder()) {
      players.SetCurrentEntry(entry->GetFileNumber());
      return;
    }
  }
}

void CMainWindow::SetZOrder(HWND after) {
  SetWindowPos(GetWindowHandle(), after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void CMainWindow::UpdateOnTop() {
  // Set every time: the options' toggle moves the window itself, so the
  // flag kept here may lag behind it.
  const bool wanted = GetUserInterface().IsOnTop(-1);
  m_OnTop = wanted;
  SetWindowPos(GetWindowHandle(), wanted ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}
