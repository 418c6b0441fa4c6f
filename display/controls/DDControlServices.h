// The services every surface-drawn control measures and draws text with,
// reports failures through and reaches the screen by: the host API table
// given to InitDDControls, so that the host and the plug-ins that carry the
// same controls share one set of fonts, one display lock and one error
// state. Set once at start-up on the user-interface thread, read there.
#pragma once

#include <windows.h>

#include "pluginhost/abi/PlugInAbi.h"

// Keeps the table and the module instance, and registers the focus
// window class once. 1 when the class is registered (now or before), 0
// when its registration failed.
int InitDDControls(const HostApiTable* services, HINSTANCE instance);

namespace ddcontrols {

inline constexpr char kFocusClassName[] = "DirectDrawWindow focus dummy class";
inline constexpr char kFocusWindowTitle[] = "Focus Dummy";

// Null before InitDDControls.
const HostApiTable* GetServices();
HINSTANCE GetInstance();
bool IsFocusClassRegistered();

// The slots the controls use. Without services a measure is 0 and a
// drawing call fails.
int TextWidth(HOST_WRITER font, const char* text);
int CharWidth(HOST_WRITER font, int character);
int FontHeight(HOST_WRITER font);
bool DrawText(HOST_WRITER font, IDirectDrawSurface2* surface, int x, int y, const char* text);
void SetDirectDrawError(HRESULT result);
char* AllocString(const char* text);
void FreeString(char* text);
IDirectDraw2* LockDirectDraw();
void UnlockDirectDraw();
HRESULT PrimaryBlit(IDirectDrawSurface2* destination, int x, int y, IDirectDrawSurface2* source, RECT sourceRect,
                    DWORD flags, DDBLTFX* effects);
DWORD MapPaletteIndex(DWORD index);

// Holds the services' display lock while surfaces are made.
class DirectDrawLockScope {
 public:
  DirectDrawLockScope() : m_Draw(LockDirectDraw()) {}
  ~DirectDrawLockScope() { UnlockDirectDraw(); }
  DirectDrawLockScope(const DirectDrawLockScope&) = delete;
  DirectDrawLockScope& operator=(const DirectDrawLockScope&) = delete;
  IDirectDraw2* GetDirectDraw() const { return m_Draw; }

 private:
  IDirectDraw2* m_Draw;
};

}  // namespace ddcontrols
