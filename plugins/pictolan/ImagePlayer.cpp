#include "plugins/pictolan/ImagePlayer.h"

#include <cstring>
#include <new>

#include "foundation/bitmaps/PixelFormat.h"
#include "plugins/pictolan/ImageMain.h"
#include "plugins/pictolan/pictures/PictureLoader.h"
#include "plugins/pluginsdk/APIStream.h"
#include "plugins/pluginsdk/HostErrors.h"
#include "plugins/pluginsdk/HostSlots.h"

namespace pictolan {
namespace {

constexpr const char* kMessageClass = "Pictolan MessageWindow Class";
constexpr const char* kMessageTitle = "Pictolan MessageWindow";
constexpr UINT kPictureReady = 0x471;
constexpr UINT kLoaderFinished = 0x472;
constexpr UINT_PTR kLoadingTimerId = 17;
constexpr UINT kLoadingTimerPeriod = 400;
// Read access, a seekable stream of the data system.
constexpr DWORD kStreamCapabilities = 5;
constexpr DWORD kPlayPriority = 192;
constexpr DWORD kPictureFileType = 2;
constexpr DWORD kViewerWidth = 320;
constexpr ULONGLONG kUnknownLength = ~0ULL;

// The display lock for a scope.
class DisplayLocked {
 public:
  explicit DisplayLocked(const HostApiTable& host) : m_Host(host) { m_Host.HOST_LockDisplay(); }
  ~DisplayLocked() { m_Host.HOST_UnlockDisplay(); }
  DisplayLocked(const DisplayLocked&) = delete;
  DisplayLocked& operator=(const DisplayLocked&) = delete;

 private:
  const HostApiTable& m_Host;
};

// Pictures of fewer than 8 bits per pixel are widened once so that the
// drawing never deals with packed pixels.
void WidenPackedPixels(CDIBitmap& picture) {
  if (picture.GetFormat().bitsPerPixel >= 8) return;
  CPixelFormat wide;
  wide.SetMasks(32, 0x001F, 0x07E0, 0xF800, 0xFFFF0000);
  picture.ChangeFormat(wide, nullptr);
}

}  // namespace

ImagePlayer::ImagePlayer(bool& constructed)
    : ViewPlayerObject(constructed, "Velbrook Pictolan Add-On", "",
                       "The Velbrook Tunewell Pictolan Add-On displays single pictures and slide shows.\r\n\r\n"
                       "This software is based in part on the work of the Independent JPEG Group."),
      m_Types(MakeImageFileTypes(&Host())) {}

ImagePlayer::~ImagePlayer() = default;

bool ImagePlayer::Init(PLUGIN_HANDLE caller) {
  if (!ViewPlayerObject::Init(caller)) return false;
  ReadSettings();
  HINSTANCE module = reinterpret_cast<HINSTANCE>(TheImageMain().GetModule());
  WNDCLASSA windowClass{};
  windowClass.style = CS_NOCLOSE;
  windowClass.lpfnWndProc = MessageWindowProc;
  windowClass.hInstance = module;
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  windowClass.lpszClassName = kMessageClass;
  RegisterClassA(&windowClass);  // a second registration fails harmlessly

  m_StopEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  m_WakeEvent = m_StopEvent ? CreateEventA(nullptr, TRUE, FALSE, nullptr) : nullptr;
  if (!m_WakeEvent) {
    Exit();
    Host().HOST_SetErrorText("Error creating event.");
    return false;
  }
  m_MessageWindow = CreateWindowExA(0, kMessageClass, kMessageTitle, 0, -50, -50, 0, 0,
                                    Host().HOST_GetWindowHandle(0), nullptr, module, nullptr);
  if (!m_MessageWindow) {
    Exit();
    Host().HOST_SetErrorText("Error creating window.");
    return false;
  }
  SetWindowLongPtrA(m_MessageWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetIconIndex(TheImageMain().GetIconIndex());
  return true;
}

bool ImagePlayer::Exit() {
  StopLoader();
  KillLoadingTimer();
  if (m_StopEvent) CloseHandle(m_StopEvent);
  if (m_WakeEvent) CloseHandle(m_WakeEvent);
  m_StopEvent = m_WakeEvent = nullptr;
  if (m_MessageWindow) DestroyWindow(m_MessageWindow);
  m_MessageWindow = nullptr;
  // The class names this module's procedure: a class left behind would
  // send a later load's window into the unloaded module.
  UnregisterClassA(kMessageClass, reinterpret_cast<HINSTANCE>(TheImageMain().GetModule()));
  m_Picture.Free();
  return ViewPlayerObject::Exit();
}

void ImagePlayer::ReadSettings() {
  m_SlideTime.SetDisplayTime(SlideTime::kDefaultDisplayTime);
  HKEY key = nullptr;
  if (!pluginsdk::HostOpenPluginDataKey(Host(), KEY_QUERY_VALUE, &key, GetCaller()) || !key) return;
  DWORD value = 0;
  DWORD type = 0;
  DWORD size = sizeof(value);
  // Any stored number is taken as it stands; a value of another type or
  // size leaves the default.
  if (RegQueryValueExA(key, "DisplayTime", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) ==
          ERROR_SUCCESS &&
      type == REG_DWORD && size == sizeof(value))
    m_SlideTime.SetDisplayTime(value);
  RegCloseKey(key);
}

bool ImagePlayer::RegisterFileTypes(HOST_FILEEXTENSIONLIST list) {
  for (const auto& type : m_Types) {
    for (INT i = 0; i < type->GetExtensionCount(); ++i)
      Host().HOST_AddFileExtension(list, type->GetExtension(i).c_str(), type->GetTypeText(i).c_str(),
                                   kPictureFileType, GetCaller());
  }
  return true;
}

BOOL ImagePlayer::CanPlay(const char* url, CanPlayAnswer* answer) {
  if (!answer) return TRUE;
  answer->verdict = 0;
  const char* dot = url ? std::strrchr(url, '.') : nullptr;
  if (!dot) return TRUE;
  for (const auto& type : m_Types) {
    if (!type->MatchesExtension(dot)) continue;
    *answer = CanPlayAnswer{0, 1, 1, 0, 0, 1, 0, kPlayPriority};
    return TRUE;
  }
  return TRUE;
}

bool ImagePlayer::Play(const char* url) {
  Stop();
  m_Path = Host().HOST_AllocString(url);
  if (!m_Path) return false;
  // Nothing an earlier file's loader posted may reach the new file.
  MSG msg;
  while (m_MessageWindow && PeekMessageA(&msg, m_MessageWindow, 0, 0, PM_REMOVE)) {
  }
  m_PlayStart = timeGetTime();
  m_SlideTime.Restart();
  m_Playing = true;
  {
    DisplayLocked lock(Host());
    m_InfoText = CStr();
  }
  if (!StartLoader()) {
    // The loader never ran, so the path is still ours.
    pluginsdk::KeepingThreadError(Host(), [&] {
      Stop();
      Host().HOST_Free(m_Path);
      m_Path = nullptr;
    });
    return false;
  }
  m_LoadingTimer = SetTimer(m_MessageWindow, kLoadingTimerId, kLoadingTimerPeriod, nullptr);
  return true;
}

bool ImagePlayer::StartLoader() {
  ResetEvent(m_StopEvent);
  ResetEvent(m_WakeEvent);
  m_Loader = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, LoaderThreadMain, this, 0, nullptr));
  if (!m_Loader) {
    Host().HOST_SetErrorText("Error creating thread.");
    return false;
  }
  SetThreadPriority(m_Loader, static_cast<int>(Host().HOST_GetPlayerThreadPriority()));
  return true;
}

void ImagePlayer::StopLoader() {
  if (!m_Loader) return;
  SetEvent(m_StopEvent);
  for (const auto& type : m_Types) type->Abandon();
  // A decoder is not interrupted: the loader ends once it has decoded. A
  // hanging read ends through the data system's abort of the session.
  WaitForSingleObject(m_Loader, INFINITE);
  CloseHandle(m_Loader);
  m_Loader = nullptr;
}

void ImagePlayer::KillLoadingTimer() {
  if (!m_LoadingTimer) return;
  KillTimer(m_MessageWindow, m_LoadingTimer);
  m_LoadingTimer = 0;
}

bool ImagePlayer::Stop() {
  KillLoadingTimer();
  pluginsdk::KeepingThreadError(Host(), [&] {
    StopLoader();
    HideView();
    m_Playing = false;
  });
  return true;
}

bool ImagePlayer::Pause() {
  if (m_SlideTime.Pause(timeGetTime())) SetEvent(m_WakeEvent);
  return true;
}

bool ImagePlayer::Resume() {
  if (m_SlideTime.Resume(timeGetTime())) SetEvent(m_WakeEvent);
  return true;
}

uintptr_t ImagePlayer::Slot19(uintptr_t priority) {
  if (m_Loader) SetThreadPriority(m_Loader, static_cast<int>(priority));
  return 0;
}

unsigned WINAPI ImagePlayer::LoaderThreadMain(void* player) {
  static_cast<ImagePlayer*>(player)->RunLoader();
  return 0;
}

void ImagePlayer::RunLoader() {
  const HostApiTable& host = Host();
  ULONGLONG length = kUnknownLength;
  HOST_STREAM handle = nullptr;
  if (!host.HOST_OpenStream(m_Path, kStreamCapabilities, 0, GetCaller(), &handle)) {
    host.HOST_PlayerFinished(HOST_PLAYBACK_CANNOT_PLAY, GetCaller());
  } else {
    bool loaded = false;
    CAPIStream* stream = pluginsdk::CatchingErrors<CAPIStream*>(&host, nullptr, [&] {
      DisplayLocked lock(host);
      return m_Stream = new CAPIStream(handle, host);
    });
    if (!stream) {
      host.HOST_StreamRelease(handle);
    } else {
      loaded = LoadPicture(*m_Stream);
      pluginsdk::KeepingThreadError(host, [&] {
        if (loaded) {
          ULONGLONG transferred = 0;
          m_Stream->GetProgress(transferred, length);
        }
        DisplayLocked lock(host);
        m_Stream->CloseNoThrow();
        m_Stream = nullptr;
      });
    }
    if (!loaded) {
      host.HOST_PlayerFinished(HOST_PLAYBACK_CANNOT_PLAY, GetCaller());
    } else {
      // The slide's time counts from the report that it plays.
      const DWORD start = timeGetTime();
      host.HOST_PlayerWillPlay(GetCaller());
      OnPictureLoaded(length);
      WaitDisplayTime(start);
      host.HOST_PlayerFinished(HOST_PLAYBACK_FINISHED, GetCaller());
    }
  }
  DropPicture();
  PostMessageA(m_MessageWindow, kLoaderFinished, 0, 0);
  host.HOST_Free(m_Path);
  m_Path = nullptr;
}

// Decodes into the player's picture: nothing draws it before it is
// present.
bool ImagePlayer::LoadPicture(CAPIStream& stream) {
  CDIBitmap& picture = m_Picture;
  if (!LoadPictureWithTypes(m_Types, stream, m_Path, picture, m_StopEvent, Host())) return false;
  // The viewer's layout divides by the width: an empty picture is no
  // picture.
  if (picture.GetWidth() == 0 || picture.GetHeight() == 0) {
    Host().HOST_SetMiscError(HOST_MISC_UNSUPPORTED_FILE_FORMAT);
    return false;
  }
  try {
    WidenPackedPixels(picture);
  } catch (CError* error) {
    pluginsdk::ReportCaughtError(&Host(), error);
    return false;
  } catch (const std::bad_alloc&) {
    pluginsdk::ReportOutOfMemory(&Host());
    return false;
  }
  return true;
}

void ImagePlayer::OnPictureLoaded(ULONGLONG length) {
  const DWORD width = m_Picture.GetWidth();
  const DWORD height = m_Picture.GetHeight();
  // The picture's height scaled to the viewer's width.
  m_ImageAreaHeight =
      width == kViewerWidth ? height : static_cast<DWORD>(uint64_t{height} * kViewerWidth / width);
  {
    DisplayLocked lock(Host());
    m_InfoText = CStr::Format("%lu x %lu", static_cast<unsigned long>(width), static_cast<unsigned long>(height));
    (void)length;  // the file size joins the text with the viewer's drawing
    m_PicturePresent = true;
  }
  PostMessageA(m_MessageWindow, kPictureReady, 0, 0);
}

void ImagePlayer::WaitDisplayTime(DWORD start) {
  const HANDLE events[2] = {m_StopEvent, m_WakeEvent};
  for (;;) {
    ResetEvent(m_WakeEvent);
    const std::optional<DWORD> remaining = m_SlideTime.Remaining(start, timeGetTime());
    if (remaining && *remaining == 0) return;
    const DWORD result = WaitForMultipleObjects(2, events, FALSE, remaining ? *remaining : INFINITE);
    if (result == WAIT_OBJECT_0) return;
  }
}

void ImagePlayer::DropPicture() {
  DisplayLocked lock(Host());
  m_PicturePresent = false;
  m_Picture.Free();
}

void ImagePlayer::OnLoadingTimer() {
  bool present = false;
  {
    DisplayLocked lock(Host());
    present = m_PicturePresent;
  }
  if (present) {
    KillLoadingTimer();
    return;
  }
  if (GetViewMode() == pluginsdk::VIEWMODE_NONE)
    ShowView();
  else
    Draw(nullptr);
}

void ImagePlayer::OnPictureReady() {
  KillLoadingTimer();
  ShowView();
}

void ImagePlayer::OnLoaderFinished() {
  KillLoadingTimer();
  HideView();
  m_Playing = false;
}

LRESULT CALLBACK ImagePlayer::MessageWindowProc(HWND window, UINT message, WPARAM w, LPARAM l) {
  auto* player = reinterpret_cast<ImagePlayer*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (player) {
    if (message == WM_TIMER && w == kLoadingTimerId && player->m_LoadingTimer)
      player->OnLoadingTimer();
    else if (message == kPictureReady)
      player->OnPictureReady();
    else if (message == kLoaderFinished)
      player->OnLoaderFinished();
  }
  return DefWindowProcA(window, message, w, l);
}

}  // namespace pictolan
