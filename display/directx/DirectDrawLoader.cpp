#include "display/directx/DirectDrawLoader.h"

#include "display/directx/LibraryEntryPoints.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CDirectDrawLoader, CTypedObject)

void CDirectDrawLoader::Load() {
  if (m_Module) return;
  const LibraryTexts texts{"ddraw.dll", "CDirectDrawLoader.FatalErrorCaption", "CDirectDrawLoader.NoDirectDrawDLL",
                           "Unable to load 'ddraw.dll'."};
  const EntryPoint entryPoints[] = {
      {"DirectDrawCreate", "CDirectDrawLoader.NoDirectDrawCreate",
       "Unable to find 'DirectDrawCreate' function in ddraw.dll.", &m_DirectDrawCreate},
      {"DirectDrawCreateClipper", "CDirectDrawLoader.NoDirectDrawCreateClipper",
       "Unable to find 'DirectDrawCreateClipper' function in ddraw.dll.", &m_DirectDrawCreateClipper},
      {"DirectDrawEnumerateA", "CDirectDrawLoader.NoDirectDrawEnumerate",
       "Unable to find 'DirectDrawEnumerate' function in ddraw.dll.", &m_DirectDrawEnumerate},
  };
  m_Module = LoadLibraryEntryPoints(texts, entryPoints);
}

LPDIRECTDRAWCREATE CDirectDrawLoader::GetDirectDrawCreate() const {
  return EntryPointAs<LPDIRECTDRAWCREATE>(m_DirectDrawCreate);
}

LPDIRECTDRAWCREATECLIPPER CDirectDrawLoader::GetDirectDrawCreateClipper() const {
  return EntryPointAs<LPDIRECTDRAWCREATECLIPPER>(m_DirectDrawCreateClipper);
}

LPDIRECTDRAWENUMERATEA CDirectDrawLoader::GetDirectDrawEnumerate() const {
  return EntryPointAs<LPDIRECTDRAWENUMERATEA>(m_DirectDrawEnumerate);
}

CDirectDrawLoader& GetDirectDrawLoader() {
  static auto* loader = new CDirectDrawLoader;  // never unloaded: its entry points serve until exit
  return *loader;
}
