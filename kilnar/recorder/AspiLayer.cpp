#include "kilnar/recorder/AspiLayer.h"

namespace {

constexpr size_t kErrorTextSize = 256;

HMODULE LoadManagerLibrary() {
  if (HMODULE manager = LoadLibraryA("WNASPI32.DLL")) return manager;
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
  if (!GetVersionExA(&version) || version.dwPlatformId != VER_PLATFORM_WIN32_NT || version.dwMajorVersion < 4)
    return nullptr;
  return LoadLibraryA("VLB_SPTI.DLL");
}

}  // namespace

AspiLayer& TheAspiLayer() {
  static AspiLayer layer;
  return layer;
}

bool LoadAspiLayer() {
  AspiLayer& layer = TheAspiLayer();
  // A binding attempt makes its own event; one left by an earlier attempt
  // is closed rather than lost.
  if (layer.event) CloseHandle(layer.event);
  layer.event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  if (!layer.event) return false;
  if (!layer.library) layer.library = LoadManagerLibrary();
  if (!layer.library) return false;
  // Through void(*)(), which converts to any function type.
  layer.supportInfo = reinterpret_cast<AspiSupportInfoEntry>(
      reinterpret_cast<void (*)()>(GetProcAddress(layer.library, "GetASPI32SupportInfo")));
  layer.sendCommand = reinterpret_cast<AspiSendCommandEntry>(
      reinterpret_cast<void (*)()>(GetProcAddress(layer.library, "SendASPI32Command")));
  return layer.supportInfo && layer.sendCommand;
}

void UnloadAspiLayer() {
  AspiLayer& layer = TheAspiLayer();
  if (layer.library) FreeLibrary(layer.library);
  if (layer.event) CloseHandle(layer.event);
  layer.library = nullptr;
  layer.event = nullptr;
  layer.supportInfo = nullptr;
  layer.sendCommand = nullptr;
}

uint16_t GetAspiHostAdapterCount() { return TheAspiLayer().hostAdapterCount; }

const char* GetAspiErrorText() { return TheAspiLayer().errorText.c_str(); }

void SetAspiErrorText(const std::string& text) { TheAspiLayer().errorText = text.substr(0, kErrorTextSize - 1); }
