#include "display/window/WindowHost.h"

#include <atomic>

#include "display/auxwindow/AuxWindowManager.h"
#include "display/skinrender/DDSkin.h"

namespace {

class CPlainWindowHost final : public CWindowHost {
 public:
  CDDSkin& GetDDSkin() override { return m_Skin; }
  int GetMode() override { return 0; }
  CAuxWindowManager& GetAuxWindowManager() override { return m_AuxWindows; }
  HBRUSH GetBrush(int) override { return nullptr; }
  int BeginModal(CAuxWindow* window) override {
    m_AuxWindows.PushModal(window);
    return m_AuxWindows.GetModalCount();
  }
  bool EndModal(CAuxWindow* window) override { return m_AuxWindows.PopModal(window); }
  BOOL PumpMessage() override {
    MSG message{};
    const BOOL result = GetMessageA(&message, nullptr, 0, 0);
    if (result != 1) return result;
    TranslateMessage(&message);
    DispatchMessageA(&message);
    return result;
  }
  HWND GetOwnerWindow() override { return nullptr; }

 private:
  CDDSkin m_Skin;
  CAuxWindowManager m_AuxWindows;
};

CWindowHost& PlainHost() {
  static CPlainWindowHost host;
  return host;
}

constinit std::atomic<CWindowHost*> theHost{nullptr};

}  // namespace

void SetWindowHost(CWindowHost* host) { theHost.store(host); }

CWindowHost& GetWindowHost() {
  CWindowHost* host = theHost.load();
  return host ? *host : PlainHost();
}
