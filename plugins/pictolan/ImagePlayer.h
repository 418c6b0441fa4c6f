// ImagePlayer: Pictolan's player. The host hands it a picture as it would
// a sound file; a loader thread reads and decodes the picture through the
// host's data system, reports it as playing, keeps it for the display time
// and then reports its end, so that the playlist becomes a slide show. A
// hidden message window brings the loader's news to the host's
// user-interface thread, which calls every interface operation.
//
// Locks: the host's display lock guards the picture, its present flag and
// the stream; the slide time has its own. The loader never holds a lock
// while it waits.
#pragma once

#include <windows.h>

#include "foundation/bitmaps/DIBitmap.h"
#include "plugins/pictolan/SlideTime.h"
#include "plugins/pictolan/pictures/ImageFileTypes.h"
#include "plugins/pluginsdk/ViewPlayerObject.h"

class CAPIStream;

namespace pictolan {

class ImagePlayer : public pluginsdk::ViewPlayerObject {
 public:
  explicit ImagePlayer(bool& constructed);
  ~ImagePlayer() override;

  bool Init(PLUGIN_HANDLE caller) override;
  bool Exit() override;
  bool HasConfiguration() override { return true; }
  bool RegisterFileTypes(HOST_FILEEXTENSIONLIST list) override;
  BOOL CanPlay(const char* url, CanPlayAnswer* answer) override;
  bool Play(const char* url) override;
  bool Stop() override;
  bool Pause() override;
  bool Resume() override;
  // The loader's priority, when one runs.
  uintptr_t Slot19(uintptr_t priority) override;

  DWORD GetDisplayTime() { return m_SlideTime.GetDisplayTime(); }
  bool IsPlaying() const { return m_Playing; }

 private:
  static unsigned WINAPI LoaderThreadMain(void* player);
  static LRESULT CALLBACK MessageWindowProc(HWND window, UINT message, WPARAM w, LPARAM l);

  void ReadSettings();
  bool StartLoader();
  void StopLoader();
  void RunLoader();
  bool LoadPicture(CAPIStream& stream);
  void OnPictureLoaded(ULONGLONG length);
  void WaitDisplayTime(DWORD start);
  void DropPicture();
  void KillLoadingTimer();
  void OnLoadingTimer();
  void OnPictureReady();
  void OnLoaderFinished();

  ImageFileTypeList m_Types;
  SlideTime m_SlideTime;
  char* m_Path = nullptr;
  CAPIStream* m_Stream = nullptr;
  HANDLE m_Loader = nullptr;
  HANDLE m_StopEvent = nullptr;
  HANDLE m_WakeEvent = nullptr;
  bool m_PicturePresent = false;
  CDIBitmap m_Picture;
  DWORD m_ImageAreaHeight = 0;
  CStr m_InfoText;
  HWND m_MessageWindow = nullptr;
  UINT_PTR m_LoadingTimer = 0;
  DWORD m_PlayStart = 0;
  bool m_Playing = false;
};

}  // namespace pictolan
