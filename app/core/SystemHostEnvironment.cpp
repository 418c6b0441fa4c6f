#include "app/core/SystemHostEnvironment.h"

#include "app/core/System.h"
#include "pluginhost/hostapi/HostEnvironment.h"

namespace {

class CSystemHostEnvironment : public CHostEnvironment {
 public:
  explicit CSystemHostEnvironment(CSystem& system) : m_System(system) {}
  CStr GetProgramFolder() override { return m_System.GetProgramFolder(); }
  CStr GetPlugInsFolder() override { return m_System.GetPlugInsFolder(); }
  CStr GetSkinsFolder() override { return m_System.GetSkinsFolder(); }
  // The window the shared sound device is bound to, among others.
  HWND GetOwnerWindow() override { return m_System.GetOwnerWindow().GetWindowHandle(); }
  CIconManager* GetIconManager() override { return &m_System.GetIconManager(); }
  void UpdateFileInfo(const char* path, const char* typeText, int textPriority, int typeIcon, int iconPriority,
                      int thirdValue, int thirdPriority) override {
    m_System.UpdateFileInfo(path, typeText, textPriority, typeIcon, iconPriority, thirdValue, thirdPriority);
  }

 private:
  CSystem& m_System;
};

CSystemHostEnvironment* installed = nullptr;

}  // namespace

void InstallSystemHostEnvironment(CSystem& system) {
  RemoveSystemHostEnvironment();
  installed = new CSystemHostEnvironment(system);
  SetHostEnvironment(installed);
}

void RemoveSystemHostEnvironment() {
  if (!installed) return;
  SetHostEnvironment(nullptr);
  delete installed;
  installed = nullptr;
}
