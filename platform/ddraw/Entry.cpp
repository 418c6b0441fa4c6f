// The exports of "ddraw.dll" and of "dinput.dll", which programs only look
// for to learn what the system offers.
#include <new>

#include "DirectDraw.h"
#include "platform/modules/SystemModules.h"

namespace twl::ddraw {
namespace {

bool KnownDriver(const GUID* driver) {
  return driver == nullptr || driver == DDCREATE_HARDWAREONLY || driver == DDCREATE_EMULATIONONLY;
}

HRESULT WINAPI DirectDrawCreate(GUID* driver, LPDIRECTDRAW* object, IUnknown* outer) {
  if (!object) return DDERR_INVALIDPARAMS;
  *object = nullptr;
  if (outer) return CLASS_E_NOAGGREGATION;
  if (!KnownDriver(driver)) return DDERR_INVALIDDIRECTDRAWGUID;
  DirectDraw* made = new (std::nothrow) DirectDraw;
  if (!made) return DDERR_OUTOFMEMORY;
  *object = static_cast<IDirectDraw*>(made);
  return DD_OK;
}

HRESULT WINAPI DirectDrawCreateEx(GUID* driver, LPVOID* object, REFIID iid, IUnknown* outer) {
  if (!object) return DDERR_INVALIDPARAMS;
  *object = nullptr;
  if (iid != IID_IDirectDraw7) return DDERR_INVALIDPARAMS;
  LPDIRECTDRAW made = nullptr;
  if (HRESULT result = DirectDrawCreate(driver, &made, outer); FAILED(result)) return result;
  HRESULT result = made->QueryInterface(iid, object);
  made->Release();
  return result;
}

HRESULT WINAPI DirectDrawCreateClipper(DWORD flags, LPDIRECTDRAWCLIPPER* clipper, IUnknown* outer) {
  return MakeClipper(flags, clipper, outer);
}

char kDescription[] = "Display";
char kDriverName[] = "display";

HRESULT WINAPI DirectDrawEnumerateA(LPDDENUMCALLBACKA callback, LPVOID context) {
  if (!callback) return DDERR_INVALIDPARAMS;
  callback(nullptr, kDescription, kDriverName, context);
  return DD_OK;
}

// Only its presence is asked for; no input device is made.
HRESULT WINAPI DirectInputCreateA(HINSTANCE, DWORD, LPVOID* object, IUnknown*) {
  if (object) *object = nullptr;
  return E_NOTIMPL;
}

// Product version 4.07: the DirectX 7 generation, which is what the layer
// offers (DirectDrawCreateEx and the fourth surface interface).
const SystemLibraryRegistration kDirectDrawLibrary(
    "ddraw.dll", SystemVersion{0x00040007, 0}, {{"DirectDrawCreate", ExportAddress(&DirectDrawCreate)},
                  {"DirectDrawCreateClipper", ExportAddress(&DirectDrawCreateClipper)},
                  {"DirectDrawCreateEx", ExportAddress(&DirectDrawCreateEx)},
                  {"DirectDrawEnumerateA", ExportAddress(&DirectDrawEnumerateA)}});

const SystemLibraryRegistration kDirectInputLibrary("dinput.dll",
                                                    {{"DirectInputCreateA", ExportAddress(&DirectInputCreateA)}});

}  // namespace
}  // namespace twl::ddraw
