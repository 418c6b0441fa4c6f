// The display modes the program may switch to for full screen, and the
// chosen one, kept under the settings key.
#include <algorithm>

#include "app/core/System.h"
#include "app/ui/UserInterface.h"
#include "display/state/DisplayLock.h"
#include "foundation/appcore/LogFront.h"
#include "foundation/appcore/RegistryValues.h"
#include "foundation/appcore/SettingsKey.h"
#include "foundation/errors/LocalText.h"

namespace {

constexpr const char* kModeKey = "DefaultFullscreenMode";

// Modes smaller than 640 x 400 or with fewer than 256 colours cannot hold
// the program's windows.
HRESULT CALLBACK CollectMode(LPDDSURFACEDESC desc, LPVOID context) {
  auto& modes = *static_cast<std::vector<FullscreenMode>*>(context);
  const DWORD depth = desc->ddpfPixelFormat.dwRGBBitCount;
  if (desc->dwWidth < 640 || desc->dwHeight < 400 || depth < 8) return DDENUMRET_OK;
  const FullscreenMode mode{static_cast<INT>(desc->dwWidth), static_cast<INT>(desc->dwHeight), static_cast<INT>(depth)};
  if (std::find(modes.begin(), modes.end(), mode) == modes.end()) modes.push_back(mode);
  return DDENUMRET_OK;
}

// Whether `mode` goes before `before`: narrower, then lower, then deeper;
// the default mode keeps its first place.
bool GoesBefore(const FullscreenMode& mode, const FullscreenMode& before) {
  if (mode.width != before.width) return mode.width < before.width;
  if (mode.height != before.height) return mode.height < before.height;
  return mode.bitsPerPixel > before.bitsPerPixel && before.bitsPerPixel != 0;
}

// The stored mode; {0, 0, 0} without the subkey. Absent values count as 0.
FullscreenMode ReadStoredMode() {
  FullscreenMode stored;
  HKEY settings = nullptr;
  if (!OpenSettingsKey(KEY_QUERY_VALUE, &settings)) return stored;
  HKEY key = nullptr;
  if (RegOpenKeyExA(settings, kModeKey, 0, KEY_QUERY_VALUE, &key) == ERROR_SUCCESS) {
    DWORD value = 0;
    if (GetRegistryDWord(key, "Width", &value)) stored.width = static_cast<INT>(value);
    if (GetRegistryDWord(key, "Height", &value)) stored.height = static_cast<INT>(value);
    if (GetRegistryDWord(key, "BPP", &value)) stored.bitsPerPixel = static_cast<INT>(value);
    RegCloseKey(key);
  }
  RegCloseKey(settings);
  return stored;
}

}  // namespace

void CUserInterface::InitFullscreenModes() {
  ClearFullscreenModes();
  m_FullscreenModes.push_back(FullscreenMode{});
  {
    DisplayLockScope lock;
    if (IDirectDraw2* draw = m_Display.GetDirectDraw()) draw->EnumDisplayModes(0, nullptr, &m_FullscreenModes, CollectMode);
  }
  // Exchange passes keep equal modes in their order; {0, 0, 0} stays first.
  for (bool swapped = true; swapped;) {
    swapped = false;
    for (size_t at = 1; at < m_FullscreenModes.size(); ++at) {
      if (GoesBefore(m_FullscreenModes[at], m_FullscreenModes[at - 1])) {
        std::swap(m_FullscreenModes[at], m_FullscreenModes[at - 1]);
        swapped = true;
      }
    }
  }
  const FullscreenMode stored = ReadStoredMode();
  const int index = FindFullscreenMode(stored.width, stored.height, stored.bitsPerPixel);
  m_FullscreenModeIndex = index < 0 ? 0 : index;
  if (index < 0)
    LogText(LOGCODE_WARNING, "CUserInterface.PreferredFullscreenModeUnavailable",
            "WARNING: preferred full-screen mode is not available anymore. Switching back to default full-screen "
            "mode.",
            "\n");
}

void CUserInterface::ClearFullscreenModes() noexcept {
  m_FullscreenModes.clear();
  m_FullscreenModeIndex = 0;
}

int CUserInterface::FindFullscreenMode(INT width, INT height, INT bitsPerPixel) const {
  const FullscreenMode wanted{width, height, bitsPerPixel};
  const auto found = std::find(m_FullscreenModes.begin(), m_FullscreenModes.end(), wanted);
  return found == m_FullscreenModes.end() ? -1 : static_cast<int>(found - m_FullscreenModes.begin());
}

void CUserInterface::SetFullscreenMode(int index) {
  if (index < 0 || static_cast<size_t>(index) >= m_FullscreenModes.size()) return;
  m_FullscreenModeIndex = index;
  const FullscreenMode& mode = m_FullscreenModes[static_cast<size_t>(index)];
  HKEY settings = nullptr;
  if (!OpenSettingsKey(KEY_SET_VALUE | KEY_CREATE_SUB_KEY, &settings)) return;
  HKEY key = nullptr;
  if (RegCreateKeyExA(settings, kModeKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) == ERROR_SUCCESS) {
    SetRegistryDWord(key, "Width", static_cast<DWORD>(mode.width));
    SetRegistryDWord(key, "Height", static_cast<DWORD>(mode.height));
    SetRegistryDWord(key, "BPP", static_cast<DWORD>(mode.bitsPerPixel));
    RegCloseKey(key);
  }
  RegCloseKey(settings);
}
