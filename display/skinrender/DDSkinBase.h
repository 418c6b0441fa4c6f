// CDDSkinBase: the base of every skin renderer (CDD + the name of the
// description it renders). Renderers turn skin descriptions into what can
// be drawn fast: off-screen surfaces in the display's pixel format,
// colours as display pixels and text writers. Its two operations make a
// surface from a picture (with an optional mask or colour key) and a
// writer from a bitmap font.
//
// Renderers read the current display state (CDisplayState) and take the
// display lock around their DirectDraw work; they are built and released
// on the user-interface thread and read under the display lock.
#pragma once

#include <windows.h>

#include "foundation/kernel/TypedObject.h"
#include "twlwin/ddraw.h"

class CBitmapFont;
class CDDWriter;
class CDIBitmap;
class CDisplayState;
class CMask;

class CDDSkinBase : public CTypedObject {
  TWL_DECLARE_CLASS(CDDSkinBase)
 public:
  // The code of an operation that finds no display state installed.
  static constexpr HRESULT kNoDisplay = DDERR_INVALIDOBJECT;

  // A surface of the picture's size holding the picture in the display
  // format. With a mask it is transparent (the display colour key) exactly
  // where the mask is 0; with the colour key (used only when the picture
  // has one) where the picture's key colour was; with neither it is opaque
  // everywhere: a display key value in the picture becomes the substitute
  // colour. A mask or the key sets the surface's source colour key. After
  // a failure `surface` is null and nothing was made.
  static HRESULT CreateSurface(const CDIBitmap& bitmap, const CMask* mask, IDirectDrawSurface2** surface,
                               bool useColorKey);
  // No font: `writer` becomes null and the result is 0. Otherwise a new
  // writer is built from the font and stored in `writer`, also when it
  // fails (it is then empty and the caller's release deletes it).
  static HRESULT CreateWriter(const CBitmapFont* font, CDDWriter*& writer);

  // An off-screen surface of width x height in the display format, asked
  // for its IDirectDrawSurface2 interface, under the display lock.
  static HRESULT CreateOffscreenSurface(const CDisplayState& display, DWORD width, DWORD height,
                                        IDirectDrawSurface2** surface);

 protected:
  CDDSkinBase() noexcept = default;
};

// Runs the building part of a renderer's Create: a failing code or an
// error (which passes on) leaves the renderer released, so that a failed
// renderer holds nothing.
template <class Renderer, class Build>
HRESULT BuildOrRelease(Renderer& renderer, Build build) {
  try {
    const HRESULT result = build();
    if (FAILED(result)) renderer.Release();
    return result;
  } catch (...) {
    renderer.Release();
    throw;
  }
}

// Releases a surface slot and empties it.
inline void ReleaseSurface(IDirectDrawSurface2*& surface) {
  if (surface) surface->Release();
  surface = nullptr;
}
