// CDirectSoundLoader: DirectSound's entry points, taken at run time from
// "dsound.dll" so that a system without it gets a clear message. The
// program has one instance (GetDirectSoundLoader), loaded on the
// user-interface thread during start-up before any sound is made and never
// unloaded; afterwards its entry points are only read, from any thread.
#pragma once

#include <windows.h>

#include "foundation/kernel/TypedObject.h"
#include "twlwin/dsound.h"

class CDirectSoundLoader : public CTypedObject {
  TWL_DECLARE_CLASS(CDirectSoundLoader)
 public:
  CDirectSoundLoader() noexcept = default;
  CDirectSoundLoader(const CDirectSoundLoader&) = delete;
  CDirectSoundLoader& operator=(const CDirectSoundLoader&) = delete;

  // Loads the library and its two entry points once; returns at once when
  // loaded. Throws a CError when the library or an entry point is missing,
  // and then keeps nothing, so that the next call starts over.
  void Load();
  bool IsLoaded() const { return m_Module != nullptr; }

  // Null until loaded.
  LPDIRECTSOUNDCREATE GetDirectSoundCreate() const;
  LPDIRECTSOUNDENUMERATEA GetDirectSoundEnumerate() const;

 private:
  HMODULE m_Module = nullptr;
  FARPROC m_DirectSoundCreate = nullptr;
  FARPROC m_DirectSoundEnumerate = nullptr;
};

// The program's loader.
CDirectSoundLoader& GetDirectSoundLoader();
