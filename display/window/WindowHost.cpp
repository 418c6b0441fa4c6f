#include "display/window/WindowHost.h"

#include <atomic>

#include "display/auxwindow/AuxWindowManager.h"
#include "display/skinrender/DDSkin.h"

namespace {

class CPlainWindowHost final : public CWindowHost {};

CPlainWindowHost thePlainHost;
constinit std::atomic<CWindowHost*> theHost{nullptr};

}  // namespace

CDDSkin& CWindowHost::GetDDSkin() {
  static CDDSkin skin;
  return skin;
}

CAuxWindowManager& CWindowHost::GetAuxWindowManager() {
  static CAuxWindowManager windows;
  return windows;
}

int CWindowHost::BeginModal(CAuxWindow* window) {
  GetAuxWindowManager().PushModal(window);
  return GetAuxWindowManager().GetModalCount();
}

bool CWindowHost::EndModal(CAuxWindow* window) { return GetAuxWindowManager().PopModal(window); }

BOOL CWindowHost::PumpMessage() {
  MSG message{};
  const BOOL result = GetMessageA(&message, nullptr, 0, 0);
  if (result != 1) return result;
  TranslateMessage(&message);
  DispatchMessageA(&message);
  return result;
}

void SetWindowHost(CWindowHost* host) { theHost.store(host); }

CWindowHost& GetWindowHost() {
  CWindowHost* host = theHost.load();
  return host ? *host : thePlainHost;
}
