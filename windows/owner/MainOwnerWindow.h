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

#include "app/core/OwnerWindow.h"
#include "foundation/kernel/TypedObject.h"

class CMainOwnerWindow : public CTypedObject, public COwnerWindow {
  TWL_DECLARE_CLASS(CMainOwnerWindow)
 public:
  CMainOwnerWindow() = default;
  CMainOwnerWindow(const CMainOwnerWindow&) = delete;
  CMainOwnerWindow& operator=(const CMainOwnerWindow&) = delete;
  ~CMainOwnerWindow() override;

  // (Re)creates the owner window and its hidden child; throws a CError
  // pointer when the class or a window cannot be made (nothing is then
  // left half made).
  void Create(INT instanceNumber) override;
  // The child first, then the owner; false when there was no owner.
  bool Destroy() override;

  // Hands the block to the window, which executes and frees it later.
  // Without a window the block is freed.
  void PostCommands(CommandBlock* block) override;
  void Show(bool show) override;
  void EnableSystemMenu(bool enable) override;
  void SetText(const char* text) override;

  HWND GetWindowHandle() const override { return m_Window; }
  HWND GetChildWindowHandle() const override { return m_Child; }

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
