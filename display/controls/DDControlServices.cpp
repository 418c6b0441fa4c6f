#include "display/controls/DDControlServices.h"

#include "display/controls/DDControl.h"

namespace {

const HostApiTable* g_Services = nullptr;
HINSTANCE g_Instance = nullptr;
bool g_FocusClassRegistered = false;

}  // namespace

int InitDDControls(const HostApiTable* services, HINSTANCE instance) {
  g_Services = services;
  g_Instance = instance;
  if (g_FocusClassRegistered) return 1;
  WNDCLASSA windowClass{};
  windowClass.style = 0;
  windowClass.lpfnWndProc = &CDDControl::FocusWindowProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = ddcontrols::kFocusClassName;
  g_FocusClassRegistered = RegisterClassA(&windowClass) != 0;
  return g_FocusClassRegistered ? 1 : 0;
}

namespace ddcontrols {

const HostApiTable* GetServices() { return g_Services; }
HINSTANCE GetInstance() { return g_Instance; }
bool IsFocusClassRegistered() { return g_FocusClassRegistered; }

int TextWidth(HOST_WRITER font, const char* text) {
  return g_Services && font ? g_Services->HOST_WriterGetTextWidth(font, text) : 0;
}

int CharWidth(HOST_WRITER font, int character) {
  return g_Services && font ? g_Services->HOST_WriterGetCharWidth(font, character) : 0;
}

int FontHeight(HOST_WRITER font) { return g_Services && font ? g_Services->HOST_WriterGetHeight(font) : 0; }

bool DrawText(HOST_WRITER font, IDirectDrawSurface2* surface, int x, int y, const char* text) {
  if (!g_Services || !font) {
    SetDirectDrawError(DDERR_INVALIDPARAMS);
    return false;
  }
  return g_Services->HOST_WriterDrawText(font, surface, x, y, text) != FALSE;
}

void SetDirectDrawError(HRESULT result) {
  if (g_Services) g_Services->HOST_SetDirectDrawError(static_cast<DWORD>(result));
}

char* AllocString(const char* text) { return g_Services ? g_Services->HOST_AllocString(text) : nullptr; }

void FreeString(char* text) {
  if (g_Services && text) g_Services->HOST_Free(text);
}

IDirectDraw2* LockDirectDraw() { return g_Services ? g_Services->HOST_LockDirectDraw() : nullptr; }

void UnlockDirectDraw() {
  if (g_Services) g_Services->HOST_UnlockDirectDraw();
}

HRESULT PrimaryBlit(IDirectDrawSurface2* destination, int x, int y, IDirectDrawSurface2* source, RECT sourceRect,
                    DWORD flags, DDBLTFX* effects) {
  if (!g_Services) return E_FAIL;
  return g_Services->HOST_PrimaryBlit(destination, x, y, source, &sourceRect, flags, effects);
}

DWORD MapPaletteIndex(DWORD index) { return g_Services ? g_Services->HOST_MapPaletteIndex(index) : index; }

}  // namespace ddcontrols
