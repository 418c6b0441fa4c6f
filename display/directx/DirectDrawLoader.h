// CDirectDrawLoader: DirectDraw's entry points, taken at run time from
// "ddraw.dll" so that a system without it gets a clear message. The
// program has one instance (GetDirectDrawLoader), loaded on the
// user-interface thread while the display is set up and never unloaded;
// afterwards its entry points are only read, from any thread.
#pragma once

#include <windows.h>

#include "foundation/kernel/TypedObject.h"
#include "twlwin/ddraw.h"

class CDirectDrawLoader : public CTypedObject {
  TWL_DECLARE_CLASS(CDirectDrawLoader)
 public:
  CDirectDrawLoader() noexcept = default;
  CDirectDrawLoader(const CDirectDrawLoader&) = delete;
  CDirectDrawLoader& operator=(const CDirectDrawLoader&) = delete;

  // Loads the library and its three entry points once; returns at once
  // when loaded. Throws a CError when the library or an entry point is
  // missing, and then keeps nothing, so that the next call starts over.
  void Load();
  bool IsLoaded() const { return m_Module != nullptr; }

  // Null until loaded.
  LPDIRECTDRAWCREATE GetDirectDrawCreate() const;
  LPDIRECTDRAWCREATECLIPPER GetDirectDrawCreateClipper() const;
  LPDIRECTDRAWENUMERATEA GetDirectDrawEnumerate() const;

 private:
  HMODULE m_Module = nullptr;
  FARPROC m_DirectDrawCreate = nullptr;
  FARPROC m_DirectDrawCreateClipper = nullptr;
  FARPROC m_DirectDrawEnumerate = nullptr;
};

// The program's loader.
CDirectDrawLoader& GetDirectDrawLoader();
