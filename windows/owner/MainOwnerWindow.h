// CMainOwnerWindow: the program's hidden top-level window. It carries the
// taskbar button and its system menu (Minimize and Close only), the window
// data by which a later start finds this instance (a 16-byte signature, a
// version field and the instance number), and receives the command blocks
// of later starts (WM_COPYDATA) and of this start, which it executes on
// the user-interface thread. The other windows of the program are owned by
// it. One instance, the system's.
//
// Threading: the windows belong to the thread that created them (the
// user-interface thread). Other threads and processes reach it only by
// posting a block (PostCommands) or by WM_COPYDATA, whose data is copied
// at once.
#pragma once

#include <windows.h>

#include <cstdint>

#include "foundation/kernel/TypedObject.h"

class CommandBlock;

// The window data, read by other instances: the layout is fixed.
constexpr int kOwnerDataSignature = 0;  // four 32-bit words at 0, 4, 8, 12
constexpr int kOwnerDataVersion = 16;
constexpr int kOwnerDataInstance = 20;
constexpr int kOwnerWindowExtraBytes = 24;
constexpr DWORD kOwnerSignature[4] = {0x519BF2A5, 0x44132970, 0x2E19E0B6, 0x69D6FFD9};
// Written as 0 and compared with 0, so that instances of every build find
// each other.
constexpr DWORD kOwnerVersionField = 0;

constexpr const char* kOwnerWindowClassName = "TWL MainOwnerWindow Class";
// WM_COPYDATA's identifier for a command block.
constexpr ULONG_PTR kCommandBlockCopyDataId = 4675;
// Posted to the owner window with a heap block in lParam.
constexpr UINT kExecuteCommandsMessage = 1124;
// The Minimize item of the system menu.
constexpr UINT kOwnerMinimizeCommand = 1000;

class CMainOwnerWindow : public CTypedObject {
  TWL_DECLARE_CLASS(CMainOwnerWindow)
 public:
  CMainOwnerWindow() = default;
  CMainOwnerWindow(const CMainOwnerWindow&) = delete;
  CMainOwnerWindow& operator=(const CMainOwnerWindow&) = delete;
  ~CMainOwnerWindow() override;

  // (Re)creates the owner window and its hidden child; throws a CError
  // pointer when the class or a window cannot be made (nothing is then
  // left half made).
  void Create(INT instanceNumber);
  // The child first, then the owner; false when there was no owner.
  bool Destroy();

  // Hands the block to the window, which executes and frees it later.
  // Without a window the block is freed.
  void PostCommands(CommandBlock* block);
  void Show(bool show);
  void EnableSystemMenu(bool enable);
  void SetText(const char* text);

  HWND GetWindowHandle() const { return m_Window; }
  HWND GetChildWindowHandle() const { return m_Child; }

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void OnCopyData(const COPYDATASTRUCT* data);
  void WriteWindowData(INT instanceNumber);
  void SetUpSystemMenu();

  HWND m_Window = nullptr;
  HWND m_Child = nullptr;
};

// This process's owner window while it exists, null otherwise; any thread
// may ask (a stop signal closes the program through it).
HWND GetProcessOwnerWindow();

// Whether a top-level window is a running instance's owner window: enough
// window data, the signature and the version field. Any process's window.
bool IsOwnerWindowOfAnInstance(HWND window);
// The instance number an owner window carries.
INT GetOwnerWindowInstance(HWND window);
