#include "playback/sound/DirectSoundCalls.h"

#include <mutex>

#include "display/directx/DirectSoundLoader.h"
#include "display/directx/DirectXErrorTexts.h"
#include "foundation/errors/ThreadErrorState.h"
#include "foundation/kernel/Error.h"

namespace {

// Loads DirectSound for whoever has not loaded it yet (tools and tests; the
// program does in its start), one thread at a time. Load returns at once
// once it is loaded.
bool LoadDirectSound(CDirectSoundLoader& loader) {
  static std::mutex lock;
  std::lock_guard guard(lock);
  try {
    loader.Load();
  } catch (CError* error) {
    StoreThreadError(error);
    DisposeError(error);
    return false;
  }
  return true;
}

}  // namespace

bool FailWithDirectSoundError(HRESULT result) {
  const DWORD code = static_cast<DWORD>(result);
  SetThreadError(THREAD_ERROR_DIRECTSOUND, code, GetDirectSoundErrorText(code));
  return false;
}

bool CreateDirectSoundObject(const GUID* device, IDirectSound** directSound) {
  *directSound = nullptr;
  CDirectSoundLoader& loader = GetDirectSoundLoader();
  if (!LoadDirectSound(loader)) return false;
  if (HRESULT result = loader.GetDirectSoundCreate()(device, directSound, nullptr); FAILED(result)) {
    *directSound = nullptr;
    return FailWithDirectSoundError(result);
  }
  return true;
}
