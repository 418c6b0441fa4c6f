#include "app/snapshot/Snapshots.h"

#include <pthread.h>
#include <signal.h>

#include <cstdlib>
#include <fstream>
#include <vector>

#include "app/hooks/ReviewerHooks.h"
#include "app/hooks/SnapshotTexts.h"
#include "app/ui/UserInterface.h"
#include "display/window/Window.h"
#include "foundation/kernel/Error.h"
#include "twlwin/presenter.h"

namespace {

struct FoundWindows {
  DWORD process;
  std::vector<HWND> windows;
};

BOOL CALLBACK CollectVisible(HWND window, LPARAM parameter) {
  auto* found = reinterpret_cast<FoundWindows*>(parameter);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process == found->process && IsWindowVisible(window)) found->windows.push_back(window);
  return TRUE;
}

std::string FileNamePart(const std::string& text) {
  std::string name;
  for (char c : text) {
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
                       c == '_';
    name += plain ? c : '_';
  }
  return name;
}

// The framework's windows go by their own names ("MainWindow").
std::string NameOf(HWND window) {
  if (reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC)) == &CWindow::StaticWindowProc) {
    if (auto* framework = reinterpret_cast<CWindow*>(GetWindowLongPtrA(window, GWL_USERDATA)))
      if (!framework->GetName().IsEmpty()) return FileNamePart(framework->GetName().c_str());
  }
  const CStr text = CWindow::GetWindowText(window);
  if (!text.IsEmpty()) return FileNamePart(text.c_str());
  std::string name = "window";
  name += std::to_string(reinterpret_cast<uintptr_t>(window));
  return name;
}

std::atomic<int> snapshotCount{0};

}  // namespace

int WriteSnapshots(const char* folder) {
  if (!folder || !*folder) return 0;
  const int number = ++snapshotCount;
  const std::string prefix = std::string(folder) + "/";
  std::string suffix = "-";
  suffix += std::to_string(number);
  suffix += ".png";
  FoundWindows found{GetCurrentProcessId(), {}};
  EnumWindows(&CollectVisible, reinterpret_cast<LPARAM>(&found));
  bool written = true;
  for (HWND window : found.windows) {
    const std::string name = prefix + NameOf(window) + "-" + std::to_string(number);
    written = TwlSaveWindowPng(window, (name + ".png").c_str()) && written;
    std::ofstream text(name + ".txt", std::ios::binary);
    text << DescribeWindow(window);
    written = static_cast<bool>(text) && written;
  }
  written = TwlSaveScreenPng((prefix + "screen" + suffix).c_str()) && written;
  return written ? number : 0;
}

void CSnapshotHook::BlockSnapshotSignal() {
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGUSR1);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);
}

bool CSnapshotHook::Install() {
  const char* folder = std::getenv("TWL_SNAPSHOT_DIR");
  if (!folder || !*folder || m_Watcher.joinable()) return true;
  m_Folder = folder;
  try {
    m_Window.Create(&CSnapshotHook::OnMessage, this);
  } catch (CError* error) {
    DisposeError(error);
    return false;
  }
  m_Stopping = false;
  m_Watcher = std::thread([this] { Watch(); });
  return true;
}

void CSnapshotHook::Remove() {
  if (m_Watcher.joinable()) {
    m_Stopping = true;
    pthread_kill(m_Watcher.native_handle(), SIGUSR1);
    m_Watcher.join();
  }
  m_Window.Destroy();
}

void CSnapshotHook::Watch() {
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGUSR1);
  for (;;) {
    int signal = 0;
    if (sigwait(&signals, &signal) != 0) continue;
    if (m_Stopping) return;
    PostMessageA(m_Window.GetWindowHandle(), kSnapshotMessage, 0, 0);
  }
}

void CSnapshotHook::OnMessage(void* self, UINT message, WPARAM, LPARAM) {
  if (message != kSnapshotMessage) return;
  auto* hook = static_cast<CSnapshotHook*>(self);
  const int number = WriteSnapshots(hook->m_Folder.c_str());
  // Beside the pictures: the main window's controls and the tray icons.
  if (number > 0) WriteSnapshotTexts(GetUserInterface().GetMainWindow(0), GetModuleHandleA(nullptr), number);
}
