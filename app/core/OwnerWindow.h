// The program's hidden top-level window as the application core drives it:
// it carries the taskbar button and its system menu, the window data by
// which a later start finds this instance, and receives the command blocks
// of later starts and of this start. The application windows make it
// (MakeOwnerWindow); the data layout and the messages below are the
// protocol between instances and belong to the single-instance rule.
//
// Threading: the windows belong to the thread that created them (the
// user-interface thread); PostCommands may be called from any thread.
#pragma once

#include <windows.h>

#include <memory>

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

class COwnerWindow {
 public:
  virtual ~COwnerWindow() = default;

  // (Re)creates the owner window and its hidden child; throws a CError
  // pointer when the class or a window cannot be made (nothing is then
  // left half made).
  virtual void Create(INT instanceNumber) = 0;
  // The child first, then the owner; false when there was no owner.
  virtual bool Destroy() = 0;

  // Hands the block to the window, which executes and frees it later.
  // Without a window the block is freed.
  virtual void PostCommands(CommandBlock* block) = 0;
  virtual void Show(bool show) = 0;
  virtual void EnableSystemMenu(bool enable) = 0;
  virtual void SetText(const char* text) = 0;

  virtual HWND GetWindowHandle() const = 0;
  virtual HWND GetChildWindowHandle() const = 0;
};

// Whether a top-level window is a running instance's owner window: enough
// window data, the signature and the version field. Any process's window.
bool IsOwnerWindowOfAnInstance(HWND window);
// The instance number an owner window carries.
INT GetOwnerWindowInstance(HWND window);

// The system's one owner window; the application windows define it, so the
// core never names the window class that carries it out.
std::unique_ptr<COwnerWindow> MakeOwnerWindow();
