#include "display/controls/ControlSurfaces.h"

#include <cstring>

#include "display/controls/DDControlServices.h"

namespace ddcontrols {

namespace {

HRESULT AttachClipper(IDirectDraw2* draw, IDirectDrawSurface2* surface, DWORD width, DWORD height) {
  IDirectDrawClipper* clipper = nullptr;
  HRESULT result = draw->CreateClipper(0, &clipper, nullptr);
  if (FAILED(result)) return result;
  const RECT whole{0, 0, static_cast<LONG>(width), static_cast<LONG>(height)};
  BYTE list[sizeof(RGNDATAHEADER) + sizeof(RECT)] = {};
  RGNDATAHEADER header{};
  header.dwSize = sizeof header;
  header.iType = RDH_RECTANGLES;
  header.nCount = 1;
  header.nRgnSize = sizeof(RECT);
  header.rcBound = whole;
  std::memcpy(list, &header, sizeof header);
  std::memcpy(list + sizeof header, &whole, sizeof whole);
  result = clipper->SetClipList(reinterpret_cast<RGNDATA*>(list), 0);
  if (SUCCEEDED(result)) result = surface->SetClipper(clipper);
  // The surface keeps its own reference.
  clipper->Release();
  return result;
}

}  // namespace

HRESULT CreateControlSurface(DWORD width, DWORD height, DWORD extraCaps, bool clipped, IDirectDrawSurface2** surface) {
  *surface = nullptr;
  DirectDrawLockScope lock;
  IDirectDraw2* draw = lock.GetDirectDraw();
  if (!draw) return DDERR_INVALIDOBJECT;
  DDSURFACEDESC desc{};
  desc.dwSize = sizeof desc;
  desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
  desc.dwWidth = width == 0 ? 1 : width;
  desc.dwHeight = height == 0 ? 1 : height;
  desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | extraCaps;
  IDirectDrawSurface* first = nullptr;
  HRESULT result = draw->CreateSurface(&desc, &first, nullptr);
  if (FAILED(result)) return result;
  IDirectDrawSurface2* made = nullptr;
  result = first->QueryInterface(IID_IDirectDrawSurface2, reinterpret_cast<void**>(&made));
  first->Release();
  if (FAILED(result)) return result;
  if (clipped) result = AttachClipper(draw, made, desc.dwWidth, desc.dwHeight);
  if (FAILED(result)) {
    made->Release();
    return result;
  }
  *surface = made;
  return DD_OK;
}

int CopyRect(IDirectDrawSurface2* to, int x, int y, IDirectDrawSurface2* from, const RECT& source) {
  if (source.left >= source.right || source.top >= source.bottom) return 1;
  RECT target{x, y, x + source.right - source.left, y + source.bottom - source.top};
  RECT area = source;
  const HRESULT result = to->Blt(&target, from, &area, DDBLT_WAIT, nullptr);
  if (FAILED(result)) {
    SetDirectDrawError(result);
    return 0;
  }
  return 1;
}

}  // namespace ddcontrols
