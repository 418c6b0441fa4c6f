#include "display/directx/DirectSoundLoader.h"

#include "display/directx/LibraryEntryPoints.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CDirectSoundLoader, CTypedObject)

void CDirectSoundLoader::Load() {
  if (m_Module) return;
  // "Douns": the key translations have always used.
  const LibraryTexts texts{"dsound.dll", "CDirectSoundLoader.FatalErrorCaption", "CDirectDounsLoader.NoDirectSound",
                           "Unable to load 'dsound.dll'."};
  const EntryPoint entryPoints[] = {
      {"DirectSoundCreate", "CDirectSoundLoader.NoDirectSoundCreate",
       "Unable to find 'DirectSoundCreate' function in dsound.dll.", &m_DirectSoundCreate},
      {"DirectSoundEnumerateA", "CDirectSoundLoader.NoDirectSoundEnumerate",
       "Unable to find 'DirectSoundEnumerate' function in dsound.dll.", &m_DirectSoundEnumerate},
  };
  m_Module = LoadLibraryEntryPoints(texts, entryPoints);
}

LPDIRECTSOUNDCREATE CDirectSoundLoader::GetDirectSoundCreate() const {
  return EntryPointAs<LPDIRECTSOUNDCREATE>(m_DirectSoundCreate);
}

LPDIRECTSOUNDENUMERATEA CDirectSoundLoader::GetDirectSoundEnumerate() const {
  return EntryPointAs<LPDIRECTSOUNDENUMERATEA>(m_DirectSoundEnumerate);
}

CDirectSoundLoader& GetDirectSoundLoader() {
  static auto* loader = new CDirectSoundLoader;  // never unloaded: its entry points serve until exit
  return *loader;
}
