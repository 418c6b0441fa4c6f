#include "pluginhost/plugins/PlugInVersion.h"

#include "foundation/errors/LocalText.h"
#include "foundation/kernel/Placeholder.h"

namespace {

constexpr DWORD kPlayerVersion = 0x1004B;

}  // namespace

DWORD GetPlayerVersion() { return kPlayerVersion; }

bool IsVersionSupported(const PlugInVersionInfo& version) {
  return version.requiredPlayerVersion <= kPlayerVersion || version.apiVersion <= kPlayerVersion;
}

CStr GetHigherPlayerVersionRequiredText(DWORD requiredPlayerVersion) {
  const CStr text = LocalText("PlugIn.HigherPlayerVersionRequired",
                              "Unable to use plugin because it requires player version %VERSION% or higher. Download "
                              "the newest version of the player to use it.");
  const CStr version = CStr::Format("%d.%02d", static_cast<int>(requiredPlayerVersion >> 16),
                                    static_cast<int>(requiredPlayerVersion & 0xFFFF));
  return ReplacePlaceholder(text, {"%VERSION%", version});
}

bool SpeaksVersion2(const PlugInVersionInfo& version, const PlugInMainInterface& table) {
  return version.apiVersion > PLUGIN_API_VERSION_2 && table.PLUGIN_EnumObjects != nullptr;
}
