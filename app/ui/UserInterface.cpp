#include "app/ui/UserInterface.h"

#include <cstring>

#include "app/core/MessageLoop.h"
#include "app/core/System.h"
#include "display/window/WindowHost.h"
#include "foundation/kernel/Error.h"
#include "pluginhost/hostapi/HostEnvironment.h"
#include "playback/playersystem/PlayerSystem.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CUserInterface, CTypedObject)

namespace {

// Runs one start step between the system's timing marks; its result is
// not needed.
template <class Step>
void Timed(const char* label, Step step) {
  GetSystem().BeginTiming();
  step();
  GetSystem().EndTiming(label);
}

}  // namespace

CUserInterface::CUserInterface() { BuildClipList(); }

CUserInterface::~CUserInterface() {
  DestroyAcceleratorTable();
  ExitDisplay();
  for (HBRUSH brush : m_Brushes)
    if (brush) DeleteObject(brush);
}

// One rectangle, the whole back buffer: blits into it are cut at its edges.
void CUserInterface::BuildClipList() {
  const RECT whole{0, 0, static_cast<LONG>(kBackBufferWidth), static_cast<LONG>(kBackBufferHeight)};
  RGNDATAHEADER header{};
  header.dwSize = sizeof(RGNDATAHEADER);
  header.iType = RDH_RECTANGLES;
  header.nCount = 1;
  header.nRgnSize = sizeof(RECT);
  header.rcBound = whole;
  std::memcpy(m_ClipList.data(), &header, sizeof header);
  std::memcpy(m_ClipList.data() + sizeof header, &whole, sizeof whole);
}

void CUserInterface::InitDisplay() {
  try {
    Timed("UI - init message window", [&] { m_MessageWindow.Create(&CUserInterface::OnMessage, this); });
    Timed("UI - init DirectDraw", [&] { InitDirectDraw(); });
    InitFullscreenModes();
    Timed("UI - init display mode data", [&] {
      try {
        InitDisplayModeData();
      } catch (CError* error) {
        m_UnsupportedDisplay = true;
        DisposeError(error);
      }
    });
    // Without a primary surface or back buffer the program runs on; the next
    // restoration tries again.
    Timed("UI - create primary surface", [&] { CreatePrimarySurface(); });
    Timed("UI - create back buffer clipper", [&] { CreateClipper(); });
    Timed("UI - create back buffer", [&] { CreateBackBuffer(); });
    Timed("UI - init primary blitter", [&] { m_PrimaryBlitter.Init(m_Display.GetPixelFormat()); });
  } catch (CError*) {
    ExitDisplay();
    throw;
  }
}

void CUserInterface::ExitDisplay() noexcept {
  m_DDSkin.Release();
  m_PrimaryBlitter.Shutdown();
  DestroyBackBuffer();
  DestroyClipper();
  DestroyPrimarySurface();
  ClearFullscreenModes();
  ExitDirectDraw();
  m_MessageWindow.Destroy();
  m_UnsupportedDisplay = false;
  m_SurfacesLost = false;
}

CWindow* CUserInterface::GetMainWindow(int index) const {
  return index >= 0 && index < kMainWindowCount ? m_MainWindows[static_cast<size_t>(index)] : nullptr;
}

void CUserInterface::SetMainWindow(int index, CWindow* window) {
  if (index >= 0 && index < kMainWindowCount) m_MainWindows[static_cast<size_t>(index)] = window;
}

CUserInterface& GetUserInterface() {
  static CUserInterface userInterface;
  return userInterface;
}

namespace {

// The display layer's windows reach the user interface through this host.
// It is installed while the program's modules load and asks for the user
// interface only when a window calls, so that no window ever sees the
// plain host of a program that has one.
class CUserInterfaceWindowHost final : public CWindowHost {
 public:
  CUserInterfaceWindowHost() { SetWindowHost(this); }
  CDDSkin& GetDDSkin() override { return GetUserInterface().GetDDSkin(); }
  int GetMode() override { return GetUserInterface().GetMode(); }
  CAuxWindowManager& GetAuxWindowManager() override { return GetUserInterface().GetAuxWindowManager(); }
  HBRUSH GetBrush(int index) override { return GetUserInterface().GetBrush(index); }
  HBRUSH GetTooltipBackgroundBrush() override { return GetUserInterface().GetTooltipBackgroundBrush(); }
  HBRUSH GetTooltipBorderBrush() override { return GetUserInterface().GetTooltipBorderBrush(); }
  HFONT GetControlFont() override { return GetUserInterface().GetControlFont(0); }
  HIMAGELIST GetSmallIconList() override { return GetSystem().GetIconManager().GetImageList(); }
  // Until the full-screen manager joins, no view is ever full screen.
  bool IsFullScreenActiveOrLeaving() override { return false; }
  int BeginModal(CAuxWindow* window) override { return GetUserInterface().BeginModal(window); }
  bool EndModal(CAuxWindow* window) override { return GetUserInterface().EndModal(window); }
  BOOL PumpMessage() override { return ::PumpMessage(); }
  HWND GetOwnerWindow() override { return GetHostEnvironment().GetOwnerWindow(); }
};

CUserInterfaceWindowHost theWindowHost;

}  // namespace
