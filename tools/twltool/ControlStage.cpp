#include "ControlStage.h"

#include <atomic>
#include <cstdio>
#include <cstring>

#include "app/ui/UserInterface.h"
#include "display/WindowClassOnce.h"
#include "display/controls/DDControl.h"
#include "display/controls/DDControlServices.h"
#include "foundation/kernel/Error.h"
#include "foundation/streams/MemoryStream.h"
#include "pluginhost/hostapi/HostApi.h"
#include "skins/skin/Skin.h"

namespace tool {

namespace {

constexpr char kStageClass[] = "twltool control stage";
constexpr DWORD kBackground = 0x303030;

bool LoadBuiltinSkin(CSkin& skin) {
  HRSRC resource = FindResourceA(nullptr, MAKEINTRESOURCEA(131), "RAWDATA");
  HGLOBAL loaded = resource ? LoadResource(nullptr, resource) : nullptr;
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  if (!bytes) return false;
  const DWORD size = SizeofResource(nullptr, resource);
  BYTE* copy = new BYTE[size];
  std::memcpy(copy, bytes, size);
  CMemoryStream stream;
  constexpr DWORD kReadSeek = 1 | 4;
  stream.Open(copy, size, kReadSeek, 0, true);
  skin.LoadCompiled(stream);
  return true;
}

}  // namespace

void StageWindow::Make(int width, int height) {
  Create("Controls", "", kStageClass, WS_POPUP | WS_VISIBLE, 0, kLeft, kTop, width, height, nullptr, nullptr);
}

bool StageWindow::BeginTile(IDirectDrawSurface2* backBuffer, int x, int y, const RECT& tile) {
  DDBLTFX fx{};
  fx.dwSize = sizeof fx;
  fx.dwFillColor = GetUserInterface().GetDisplayState().ConvertColor(kBackground);
  RECT area{x, y, x + tile.right - tile.left, y + tile.bottom - tile.top};
  return SUCCEEDED(backBuffer->Blt(&area, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx));
}

int StageWindow::OnControlEvent(int type, CDDControl* control, void* data) {
  if (printEvents && type != DDN_INVALIDATE) std::printf("%d\n", type);
  return CWindow::OnControlEvent(type, control, data);
}

ControlStage::~ControlStage() {
  CUserInterface& ui = GetUserInterface();
  ui.GetDDSkin().Release();
  ui.ExitDisplay();
}

bool ControlStage::Start(std::string& error) {
  static std::atomic<bool> registered{false};
  CUserInterface& ui = GetUserInterface();
  try {
    ui.InitDisplay();
    CSkin skin;
    if (!LoadBuiltinSkin(skin)) {
      error = "this program carries no built-in skin";
      return false;
    }
    if (FAILED(ui.GetDDSkin().Create(skin))) {
      error = "the built-in skin cannot be built for the display";
      return false;
    }
  } catch (CError* thrown) {
    error = std::string(thrown->GetCaption().c_str()) + ": " + thrown->GetText().c_str();
    DisposeError(thrown);
    return false;
  }
  if (!InitDDControls(GetHostApiTable(), GetModuleHandleA(nullptr)) ||
      !RegisterWindowClassOnce(registered, kStageClass, &CWindow::StaticWindowProc)) {
    error = "the window classes cannot be registered";
    return false;
  }
  return true;
}

}  // namespace tool
