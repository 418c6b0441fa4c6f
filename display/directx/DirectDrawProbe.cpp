// The DirectDraw probe: how far the interfaces of "ddraw.dll" reach tells
// the DirectX version. Whatever it loads or makes it lets go before it
// returns.
#include <memory>

#include "display/directx/DirectXProbes.h"
#include "display/directx/LibraryEntryPoints.h"
#include "twlwin/ddraw.h"

namespace {

struct LibraryRelease {
  void operator()(HINSTANCE__* module) const { FreeLibrary(module); }
};
using Library = std::unique_ptr<HINSTANCE__, LibraryRelease>;

struct InterfaceRelease {
  void operator()(IUnknown* object) const { object->Release(); }
};
template <typename Interface>
using Held = std::unique_ptr<Interface, InterfaceRelease>;

Library LoadSystemLibrary(const char* name) { return Library(LoadLibraryA(name)); }

bool Answers(IUnknown* object, REFIID iid) {
  void* answer = nullptr;
  if (FAILED(object->QueryInterface(iid, &answer)) || !answer) return false;
  static_cast<IUnknown*>(answer)->Release();
  return true;
}

bool OffersDirectDraw7(FARPROC createEx) {
  void* object = nullptr;
  const HRESULT result =
      EntryPointAs<LPDIRECTDRAWCREATEEX>(createEx)(nullptr, &object, IID_IDirectDraw7, nullptr);
  if (FAILED(result) || !object) return false;
  static_cast<IUnknown*>(object)->Release();
  return true;
}

bool OffersDirectInput() {
  const Library input = LoadSystemLibrary("dinput.dll");
  return input && GetProcAddress(input.get(), "DirectInputCreateA");
}

// The primary surface of a DirectDraw object at the normal level, or null.
Held<IDirectDrawSurface> MakePrimarySurface(IDirectDraw& directDraw) {
  if (FAILED(directDraw.SetCooperativeLevel(nullptr, DDSCL_NORMAL))) return nullptr;
  DDSURFACEDESC desc{};
  desc.dwSize = sizeof desc;
  desc.dwFlags = DDSD_CAPS;
  desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
  LPDIRECTDRAWSURFACE surface = nullptr;
  if (FAILED(directDraw.CreateSurface(&desc, &surface, nullptr))) return nullptr;
  return Held<IDirectDrawSurface>(surface);
}

}  // namespace

DirectXProbeResult ProbeDirectDraw(bool fast) {
  const Library directDrawLibrary = LoadSystemLibrary("ddraw.dll");
  if (!directDrawLibrary) return {-1, 0};

  if (const FARPROC createEx = GetProcAddress(directDrawLibrary.get(), "DirectDrawCreateEx")) {
    if (fast || OffersDirectDraw7(createEx)) return {7, -1};
  }

  const FARPROC create = GetProcAddress(directDrawLibrary.get(), "DirectDrawCreate");
  if (!create) return {-1, 0};
  LPDIRECTDRAW made = nullptr;
  if (FAILED(EntryPointAs<LPDIRECTDRAWCREATE>(create)(nullptr, &made, nullptr)) || !made) return {1, -1};
  const Held<IDirectDraw> directDraw(made);

  if (!Answers(directDraw.get(), IID_IDirectDraw2)) return {-1, 1};
  if (!OffersDirectInput()) return {-1, 2};

  // Declared after the DirectDraw object, so released before it.
  const Held<IDirectDrawSurface> primary = MakePrimarySurface(*directDraw);
  if (!primary) return {3, -1};
  if (!Answers(primary.get(), IID_IDirectDrawSurface3)) return {-1, 3};
  if (!Answers(primary.get(), IID_IDirectDrawSurface4)) return {-1, 5};
  return {6, 6};
}
