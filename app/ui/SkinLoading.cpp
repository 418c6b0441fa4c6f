// The current skin: loading it from a skin file, a skin folder or the
// built-in skin, building the drawable skin from it, and changing it.
#include <cstring>
#include <utility>

#include "app/core/System.h"
#include "app/ui/UserInterface.h"
#include "display/directx/DirectXErrorTexts.h"
#include "display/state/DisplayLock.h"
#include "foundation/appcore/LogFront.h"
#include "foundation/errors/LocalText.h"
#include "foundation/errors/ThreadErrorState.h"
#include "foundation/kernel/Error.h"
#include "foundation/kernel/Placeholder.h"
#include "foundation/streams/MemoryStream.h"
#include "foundation/streams/StreamFlags.h"
#include "skins/skin/Skin.h"

namespace {

constexpr WORD kDefaultSkinResource = 131;

CStr Millis(DWORD since) { return CStr::Format("%lu", static_cast<unsigned long>(timeGetTime() - since)); }

bool IsFolderName(const CStr& name) {
  const size_t length = name.GetLength();
  return length > 0 && (name.c_str()[length - 1] == '\\' || name.c_str()[length - 1] == '/');
}

// Runs `read` on a read-only stream over the built-in skin's bytes, which
// the stream does not own. A failure says the program itself is damaged.
template <class Read>
void ReadDefaultSkin(const BYTE* data, DWORD size, Read read) {
  CMemoryStream stream;
  stream.Open(const_cast<BYTE*>(data), size, kStreamRead | kStreamSeek, 0, false);
  try {
    read(stream);
  } catch (CError* error) {
    stream.DetachBuffer();
    const CStr caption = error->GetCaption();
    const CStr text = ReplacePlaceholder(
        LocalText("CUserInterface.ErrorLoadingDefaultSkin",
                  "The player was unable to load the default skin. The main executable may be corrupted.\n\n"
                  "Please reinstall the player if the error persists.\n\nerror: %ERROR%"),
        {"%ERROR%", error->GetText()});
    DisposeError(error);
    ThrowError<CError>(caption, text);
  }
  stream.DetachBuffer();
}

}  // namespace

// The built-in skin's bytes: the program's resource, found once.
void CUserInterface::FindDefaultSkinData() {
  if (m_DefaultSkinData) return;
  HINSTANCE instance = GetSystem().GetInstance();
  HMODULE module = instance ? instance : GetModuleHandleA(nullptr);
  HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(kDefaultSkinResource), "RAWDATA");
  HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data)
    ThrowError<CError>(LocalText("CUserInterface.ErrorExtractDefaultSkinData.Caption", "Skin error"),
                       LocalText("CUserInterface.ErrorExtractDefaultSkinData.Text",
                                 "The player was unable to extract the default skin data. The main executable may "
                                 "be corrupted.\n\nPlease reinstall the player if the error persists."));
  m_DefaultSkinData = static_cast<const BYTE*>(data);
  m_DefaultSkinSize = SizeofResource(module, found);
}

void CUserInterface::LoadDefaultSkin(CSkin& skin) {
  FindDefaultSkinData();
  ReadDefaultSkin(m_DefaultSkinData, m_DefaultSkinSize, [&](CStream& stream) { skin.LoadCompiled(stream); });
}

void CUserInterface::LoadDefaultMiniWindowSkin(CSkin& skin) {
  FindDefaultSkinData();
  ReadDefaultSkin(m_DefaultSkinData, m_DefaultSkinSize,
                  [&](CStream& stream) { skin.LoadModeFromCompiled(2, stream); });
}

void CUserInterface::LoadSkin(CSkin& skin, const CStr& name) {
  LogFormat(LOGCODE_INFO, "    %s",
            ReplacePlaceholder(LocalText("CUserInterface.LoadingSkin", "Loading skin '%SKIN%'..."), {"%SKIN%", name})
                .c_str());
  const DWORD start = timeGetTime();
  try {
    if (name == kDefaultSkinName) {
      LoadDefaultSkin(skin);
    } else {
      if (IsFolderName(name))
        skin.LoadFromFolder(name);
      else
        skin.LoadCompiledFile(name);
      if (!skin.GetMainWindowSkin(2)) LoadDefaultMiniWindowSkin(skin);
    }
  } catch (CError* error) {
    LogFormat(LOGCODE_ERROR, "%s\n%s:\n%s\n", LocalText("CUserInterface.LoadingSkin.Failed", "failed").c_str(),
              error->GetCaption().c_str(), error->GetText().c_str());
    throw;
  }
  LogFormat(LOGCODE_INFO, "%s\n",
            ReplacePlaceholder(LocalText("CUserInterface.LoadingSkin.Done", "done (%MILLIS% ms)"),
                               {"%MILLIS%", Millis(start)})
                .c_str());
  // A copy: the caller may pass the current name itself.
  CStr loaded = name;
  m_SkinName = std::move(loaded);
}

// The built-in skin in place of the current one: logged, and loaded into
// `skin`. The choice is saved by the caller.
void CUserInterface::UseDefaultSkin(CSkin& skin) {
  m_SkinName = kDefaultSkinName;
  LogFormat(LOGCODE_ERROR, "\n%s\n\n",
            LocalText("CUserInterface.LoadSkinFailed.UseDefault", "The default skin will be used instead...").c_str());
  skin.Clear();
  LoadSkin(skin, m_SkinName);
}

// Builds the drawable skin from `skin`, timed and logged; a failure leaves
// none.
HRESULT CUserInterface::CreateDrawableSkin(CSkin& skin) {
  LogFormat(LOGCODE_INFO, "    %s",
            LocalText("CUserInterface.CreatingDirectDrawStuff", "creating directdraw stuff...").c_str());
  const DWORD start = timeGetTime();
  const HRESULT result = m_DDSkin.Create(skin);
  if (FAILED(result)) {
    LogFormat(LOGCODE_SUBSYSTEM, "%s\n",
              FillPlaceholders(LocalText("CUserInterface.CreatingDirectDrawStuff.Failed", "failed (%ERRORTYPE%: %ERROR%)"),
                               {{"%ERRORTYPE%", "DirectDraw error"},
                                {"%ERROR%", GetDirectDrawErrorText(static_cast<DWORD>(result))}})
                  .c_str());
    return result;
  }
  LogFormat(LOGCODE_INFO, "%s\n",
            ReplacePlaceholder(LocalText("CUserInterface.CreatingDirectDrawStuff.Done", "done (%MILLIS% ms)"),
                               {"%MILLIS%", Millis(start)})
                .c_str());
  return result;
}

// Loads the current skin, or the built-in one in its place, and builds the
// drawable skin from it. A skin that reads but cannot be drawn (a picture
// of no size, more frames than memory holds) gives way to the built-in
// one as an unreadable skin does, so that it never stays the choice that
// every later start fails on. Only when the built-in skin cannot be drawn
// either is the display at fault: the choice then stays. Called with the
// display lock held.
bool CUserInterface::BuildCurrentSkin() {
  LogText(LOGCODE_INFO, "CUserInterface.InitializingSkin", "Initializing skin...", "\n");
  CSkin skin;
  try {
    LoadSkin(skin, m_SkinName);
  } catch (CError* error) {
    if (m_SkinName == kDefaultSkinName) throw;
    DisposeError(error);
    m_SkinName = kDefaultSkinName;
    SaveSkinOption();
    UseDefaultSkin(skin);
  }
  HRESULT result = CreateDrawableSkin(skin);
  if (FAILED(result) && !(m_SkinName == kDefaultSkinName)) {
    CStr chosen = m_SkinName;
    UseDefaultSkin(skin);
    result = CreateDrawableSkin(skin);
    if (SUCCEEDED(result))
      SaveSkinOption();
    else
      m_SkinName = std::move(chosen);
  }
  if (FAILED(result)) {
    LogText(LOGCODE_INFO, "CUserInterface.SkinInitFailed", "skin initialization failed", "\n");
    return false;
  }
  LogText(LOGCODE_INFO, "CUserInterface.SkinInitDone", "skin initialization done", "\n");
  return true;
}

bool CUserInterface::InitSkin() {
  BeginSkinChange();
  bool built = false;
  CError* failure = nullptr;
  {
    DisplayLockScope lock;
    m_DDSkin.Release();
    if (m_UnsupportedDisplay) {
      LogText(LOGCODE_SUBSYSTEM, "CUserInterface.InitSkinFailedBecauseOfUnsupportedDisplayMode",
              "Initializing skin...failed (unsupported display mode)", "\n");
    } else {
      try {
        built = BuildCurrentSkin();
      } catch (CError* error) {
        // The skin change ends before the error goes on.
        failure = error;
      }
    }
  }
  EndSkinChange();
  if (failure) throw failure;
  return built;
}

void CUserInterface::ExitSkin() noexcept {
  LogText(LOGCODE_INFO, "CUserInterface.DeinitializingSkin", "deinitializing skin...");
  {
    DisplayLockScope lock;
    m_DDSkin.Release();
  }
  LogText(LOGCODE_INFO, "CUserInterface.DeinitializingSkin.Done", "done", "\n");
}

void CUserInterface::ChangeSkin(const char* name) {
  m_SkinName = name ? name : "";
  try {
    InitSkin();
  } catch (CError* error) {
    StoreThreadError(error);
    LogText(LOGCODE_ERROR, "CUserInterface.FatalSkinInitError", "FATAL ERROR during skin initialization");
    MessageBoxA(nullptr, error->GetText(), error->GetCaption(), MB_ICONERROR);
    PostMessageA(GetSystem().GetOwnerWindow().GetWindowHandle(), WM_QUIT, 0, 0);
    DisposeError(error);
    return;
  }
  SaveSkinOption();
}
