// The media playback interfaces of the filter graph ("quartz.dll"): a graph
// built for a file or URL, its control, events, position, sound and (for
// later) its picture. The stand-in plays through GStreamer. Interfaces
// declare the calls a player makes, in the order the system's interfaces
// keep them.
//
// Threading: a graph is made and driven on one thread (the player's user-
// interface thread); the media runs on threads of its own, which only queue
// events and post the notify message.
#pragma once

#include "com.h"
#include "types.h"

typedef LONG_PTR OAHWND;
typedef LONG_PTR OAEVENT;
typedef double REFTIME;  // seconds

// Classes and interfaces.
inline constexpr GUID CLSID_FilterGraph = {0xE436EBB3, 0x524F, 0x11CE, {0x9F, 0x53, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
inline constexpr IID IID_IGraphBuilder = {0x56A868A9, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
inline constexpr IID IID_IMediaControl = {0x56A868B1, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
inline constexpr IID IID_IMediaPosition = {0x56A868B2, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
inline constexpr IID IID_IBasicAudio = {0x56A868B3, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
inline constexpr IID IID_IVideoWindow = {0x56A868B4, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
inline constexpr IID IID_IBasicVideo = {0x56A868B5, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
inline constexpr IID IID_IMediaEventEx = {0x56A868C0, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};

// Event codes (IMediaEventEx::GetEvent).
#define EC_COMPLETE 0x01
#define EC_USERABORT 0x02
#define EC_ERRORABORT 0x03

// Results.
#define E_ABORT static_cast<HRESULT>(0x80004004)
#define VFW_E_NOT_CONNECTED static_cast<HRESULT>(0x80040209)
#define VFW_E_CANNOT_RENDER static_cast<HRESULT>(0x80040218)
#define VFW_E_WRONG_STATE static_cast<HRESULT>(0x80040227)
#define VFW_E_INVALID_FILE_FORMAT static_cast<HRESULT>(0x8004022F)
#define VFW_E_UNKNOWN_FILE_TYPE static_cast<HRESULT>(0x80040240)
#define VFW_E_CANNOT_LOAD_SOURCE_FILTER static_cast<HRESULT>(0x80040241)
#define VFW_E_NO_AUDIO_HARDWARE static_cast<HRESULT>(0x80040256)
#define VFW_E_UNSUPPORTED_STREAM static_cast<HRESULT>(0x80040265)
#define VFW_E_TIMEOUT static_cast<HRESULT>(0x8004026E)
#define HRESULT_FROM_WIN32(code) \
  (static_cast<DWORD>(code) == 0 ? 0 : static_cast<HRESULT>((static_cast<DWORD>(code) & 0xFFFFu) | 0x80070000u))

// A filter a player adds to a graph of its own making.
class IBaseFilter : public IUnknown {
 protected:
  ~IBaseFilter() = default;
};

class IGraphBuilder : public IUnknown {
 public:
  virtual HRESULT AddFilter(IBaseFilter* filter, LPCWSTR name) = 0;
  virtual HRESULT RemoveFilter(IBaseFilter* filter) = 0;
  // Builds the whole graph for a file ("file://" URL or path) or an
  // "http://", "ftp://" or "mms://" URL before it returns; the graph then
  // stands paused at the start. `playList` must be null.
  virtual HRESULT RenderFile(LPCWSTR file, LPCWSTR playList) = 0;

 protected:
  ~IGraphBuilder() = default;
};

class IMediaControl : public IUnknown {
 public:
  virtual HRESULT Run() = 0;
  virtual HRESULT Pause() = 0;
  virtual HRESULT Stop() = 0;

 protected:
  ~IMediaControl() = default;
};

class IMediaEventEx : public IUnknown {
 public:
  // E_ABORT when no event is queued within `timeout` milliseconds.
  virtual HRESULT GetEvent(LONG* code, LONG_PTR* param1, LONG_PTR* param2, LONG timeout) = 0;
  virtual HRESULT FreeEventParams(LONG code, LONG_PTR param1, LONG_PTR param2) = 0;
  // `message` is posted to `window` (from any thread) whenever an event is
  // queued; window 0 stops the notices.
  virtual HRESULT SetNotifyWindow(OAHWND window, LONG message, LONG_PTR instanceData) = 0;

 protected:
  ~IMediaEventEx() = default;
};

class IMediaPosition : public IUnknown {
 public:
  virtual HRESULT get_Duration(REFTIME* length) = 0;
  virtual HRESULT put_CurrentPosition(REFTIME time) = 0;
  virtual HRESULT get_CurrentPosition(REFTIME* time) = 0;

 protected:
  ~IMediaPosition() = default;
};

class IBasicAudio : public IUnknown {
 public:
  // Hundredths of a decibel, -10000 (silence) .. 0 (full).
  virtual HRESULT put_Volume(LONG volume) = 0;
  virtual HRESULT get_Volume(LONG* volume) = 0;

 protected:
  ~IBasicAudio() = default;
};

class IBasicVideo : public IUnknown {
 public:
  virtual HRESULT GetVideoSize(LONG* width, LONG* height) = 0;

 protected:
  ~IBasicVideo() = default;
};

class IVideoWindow : public IUnknown {
 public:
  virtual HRESULT put_WindowStyle(LONG style) = 0;
  virtual HRESULT get_WindowStyle(LONG* style) = 0;
  virtual HRESULT put_AutoShow(LONG autoShow) = 0;
  virtual HRESULT put_Visible(LONG visible) = 0;
  virtual HRESULT get_Visible(LONG* visible) = 0;
  virtual HRESULT put_Owner(OAHWND owner) = 0;
  virtual HRESULT SetWindowPosition(LONG left, LONG top, LONG width, LONG height) = 0;
  virtual HRESULT GetWindowPosition(LONG* left, LONG* top, LONG* width, LONG* height) = 0;

 protected:
  ~IVideoWindow() = default;
};

// "quartz.dll"'s AMGetErrorTextA: the description of a result, written
// into `buffer` (at most `size` characters with the zero); answers the
// characters written, 0 when it knows none or the buffer is null or empty.
typedef DWORD(WINAPI* AMGetErrorTextAFunction)(HRESULT result, LPSTR buffer, DWORD size);
