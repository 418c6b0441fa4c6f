// The user interface's whole start and shut-down: the control font and
// cursor, the built-in skin's bytes, the display, the skin, the main
// windows, the key bindings and key events, and their undoing in the
// reverse order.
#include "app/core/System.h"
#include "app/ui/MainWindowMakers.h"
#include "app/ui/UserInterface.h"
#include "display/window/Window.h"
#include "foundation/errors/LocalText.h"
#include "foundation/kernel/Error.h"

namespace {

constexpr WORD kCursorResource = 130;

template <class Step>
void Timed(const char* label, Step step) {
  GetSystem().BeginTiming();
  step();
  GetSystem().EndTiming(label);
}

HMODULE ProgramModule() {
  HINSTANCE instance = GetSystem().GetInstance();
  return instance ? instance : GetModuleHandleA(nullptr);
}

}  // namespace

void CUserInterface::Init() {
  try {
    m_Cursor = LoadCursorA(ProgramModule(), MAKEINTRESOURCEA(kCursorResource));
    FindDefaultSkinData();

    Timed("UI - create control font", [&] {
      m_ControlFont = CreateFontA(14, 0, 0, 0, 400, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_STROKE_PRECIS,
                                  CLIP_STROKE_PRECIS, DRAFT_QUALITY, 0x21, "MS Sans Serif");
      if (!m_ControlFont)
        ThrowError<CError>(LocalText("GDIError.Caption", "GDI error"),
                           LocalText("GDIError.CreateFont", "Error creating font."));
    });
    InitDisplay();
    Timed("UI - init skin", [&] { InitSkin(); });
    Timed("UI - create windows", [&] { CreateWindows(); });
    ConnectPlayerNotices();
    Timed("UI - init triggers", [&] { LoadKeyBindings(); });
    Timed("UI - init key events", [&] { InitKeyEvents(); });
    // A table that cannot be made is logged; the program runs without it.
    Timed("UI - init accelerators", [&] { CreateAcceleratorTable(); });
    // From here the commands and the owner window's notifications act.
    SetUserInterfaceLink(this);
  } catch (CError*) {
    Exit();
    throw;
  }
}

void CUserInterface::PrepareExit() {
  for (int index = kMainWindowCount - 1; index >= 0; --index)
    if (CWindow* window = m_MainWindows[static_cast<size_t>(index)]) window->PrepareExit();
}

void CUserInterface::Exit() noexcept {
  if (GetUserInterfaceLink() == this) SetUserInterfaceLink(nullptr);
  ExitKeyEvents();
  ReleaseKeyBindings();
  DestroyAcceleratorTable();
  DisconnectPlayerNotices();
  DestroyWindows();
  ExitSkin();
  ExitDisplay();
  if (m_ControlFont) DeleteObject(m_ControlFont);
  m_ControlFont = nullptr;
  // The cursor is a shared resource of the program: only forgotten.
  m_Cursor = nullptr;
  m_DefaultSkinData = nullptr;
  m_DefaultSkinSize = 0;
}

void CUserInterface::CreateWindows() {
  HWND owner = GetSystem().GetOwnerWindow().GetWindowHandle();
  for (int index = 0; index < kMainWindowCount; ++index) {
    const MainWindowMaker& maker = GetMainWindowMaker(index);
    if (!maker.create) continue;
    Timed(maker.label, [&] { m_MainWindows[static_cast<size_t>(index)] = maker.create(*this, owner, m_MainWindows[0]); });
    if (CWindow* window = m_MainWindows[static_cast<size_t>(index)])
      window->GetTooltips().EnableAll(m_TooltipsEnabled);
  }
  // A start with -m comes up minimized.
  if (CWindow* main = m_MainWindows[0]; main && m_Minimized) main->Minimize(m_MinimizedToTray);
}

void CUserInterface::DestroyWindows() noexcept {
  for (int index = kMainWindowCount - 1; index >= 0; --index) {
    CWindow*& window = m_MainWindows[static_cast<size_t>(index)];
    if (!window) continue;
    window->Destroy();
    delete window;
    window = nullptr;
  }
  m_AuxWindows.DestroyAll(true);
}
