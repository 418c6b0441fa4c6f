#include "FilterGraph.h"

#include <sys/stat.h>

#include <chrono>
#include <cmath>
#include <memory>
#include <new>
#include <string>

#include "AudioOutput.h"
#include "MediaFramework.h"
#include "platform/files/PathResolver.h"
#include "twlwin/errors.h"
#include "twlwin/text.h"
#include "twlwin/windowing.h"

namespace twl::dshow {
namespace {

// How long RenderFile waits for the pipeline to stand paused at the start,
// and a seek or a change of state for the one before to settle.
constexpr auto kRenderLimit = std::chrono::seconds(30);
constexpr GstClockTime kSeekLimit = 5 * GST_SECOND;

// playbin's flags: audio, with its own volume element.
constexpr guint kPlayAudio = 0x2;
constexpr guint kPlaySoftVolume = 0x10;

std::string Narrow(LPCWSTR wide) {
  const int size = WideCharToMultiByte(CP_ACP, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return {};
  std::string text(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide, -1, text.data(), size, nullptr, nullptr);
  text.pop_back();  // the zero
  return text;
}

bool StartsWithIgnoringCase(const std::string& text, const char* prefix) {
  for (size_t i = 0; prefix[i]; ++i) {
    if (i >= text.size() || FoldCase(text[i]) != prefix[i]) return false;
  }
  return true;
}

// The URI GStreamer plays for a "file://" URL (the native path after the
// scheme, unescaped, with blanks and any UTF-8 as they are), a plain path,
// or a network URL.
HRESULT UriFor(const std::string& url, std::string* uri) {
  if (StartsWithIgnoringCase(url, "http://") || StartsWithIgnoringCase(url, "ftp://") ||
      StartsWithIgnoringCase(url, "mms://")) {
    if (!gst_uri_is_valid(url.c_str())) return VFW_E_CANNOT_LOAD_SOURCE_FILTER;
    *uri = url;
    return S_OK;
  }
  const std::string given = StartsWithIgnoringCase(url, "file://") ? url.substr(7) : url;
  if (given.empty() || given.find("://") != std::string::npos) return VFW_E_CANNOT_LOAD_SOURCE_FILTER;
  const std::string path = ResolvePath(given.c_str());
  struct stat info {};
  if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
    const std::string folder = path.substr(0, path.find_last_of('/') + 1);
    const bool folderThere = stat(folder.empty() ? "." : folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
    return HRESULT_FROM_WIN32(folderThere ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND);
  }
  gchar* made = gst_filename_to_uri(path.c_str(), nullptr);
  if (!made) return VFW_E_CANNOT_LOAD_SOURCE_FILTER;
  *uri = made;
  g_free(made);
  return S_OK;
}

// The result an error of the pipeline stands for.
HRESULT ResultOf(const GError* error) {
  if (!error) return E_FAIL;
  if (error->domain == GST_RESOURCE_ERROR) {
    switch (error->code) {
      case GST_RESOURCE_ERROR_NOT_FOUND: return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
      case GST_RESOURCE_ERROR_NOT_AUTHORIZED: return HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED);
      case GST_RESOURCE_ERROR_OPEN_WRITE:
      case GST_RESOURCE_ERROR_OPEN_READ_WRITE:
      case GST_RESOURCE_ERROR_BUSY: return VFW_E_NO_AUDIO_HARDWARE;
      default: return VFW_E_CANNOT_LOAD_SOURCE_FILTER;
    }
  }
  if (error->domain == GST_STREAM_ERROR) {
    switch (error->code) {
      case GST_STREAM_ERROR_TYPE_NOT_FOUND: return VFW_E_UNKNOWN_FILE_TYPE;
      case GST_STREAM_ERROR_CODEC_NOT_FOUND:
      case GST_STREAM_ERROR_WRONG_TYPE:
      case GST_STREAM_ERROR_NOT_IMPLEMENTED: return VFW_E_UNSUPPORTED_STREAM;
      default: return VFW_E_INVALID_FILE_FORMAT;
    }
  }
  if (error->domain == GST_CORE_ERROR && error->code == GST_CORE_ERROR_MISSING_PLUGIN) return VFW_E_UNSUPPORTED_STREAM;
  return VFW_E_CANNOT_RENDER;
}

// Hundredths of a decibel as the linear factor of playbin's volume.
double LinearVolume(LONG volume) { return volume <= -10000 ? 0.0 : std::pow(10.0, volume / 2000.0); }

}  // namespace

HRESULT FilterGraph::Create(REFIID iid, void** object) {
  auto* graph = new (std::nothrow) FilterGraph;
  if (!graph) return E_OUTOFMEMORY;
  const HRESULT result = graph->QueryInterface(iid, object);
  graph->Release();
  return result;
}

FilterGraph::~FilterGraph() { ReleasePipeline(); }

void FilterGraph::ReleasePipeline() {
  // A streaming thread waiting for a silent server returns first.
  if (urlSource_) urlSource_->Shutdown();
  if (pipeline_) {
    gst_element_set_state(pipeline_, GST_STATE_NULL);  // joins the streaming threads
    GstBus* bus = gst_element_get_bus(pipeline_);
    gst_bus_set_sync_handler(bus, nullptr, nullptr, nullptr);
    gst_object_unref(bus);
    gst_object_unref(pipeline_);
    pipeline_ = nullptr;
  }
  urlSource_.reset();
}

HRESULT FilterGraph::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IGraphBuilder) {
    *object = static_cast<IGraphBuilder*>(this);
  } else if (iid == IID_IMediaControl) {
    *object = static_cast<IMediaControl*>(this);
  } else if (iid == IID_IMediaEventEx) {
    *object = static_cast<IMediaEventEx*>(this);
  } else if (iid == IID_IMediaPosition) {
    *object = static_cast<IMediaPosition*>(this);
  } else if (iid == IID_IBasicAudio) {
    *object = static_cast<IBasicAudio*>(this);
  } else if (iid == IID_IBasicVideo) {
    *object = static_cast<IBasicVideo*>(this);
  } else if (iid == IID_IVideoWindow) {
    *object = static_cast<IVideoWindow*>(this);
  } else {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

ULONG FilterGraph::AddRef() { return ++references_; }

ULONG FilterGraph::Release() {
  const ULONG left = --references_;
  if (left == 0) delete this;
  return left;
}

// --- Building

HRESULT FilterGraph::AddFilter(IBaseFilter* filter, LPCWSTR) {
  // Filters of the caller's own cannot join a GStreamer pipeline yet.
  return filter ? E_NOTIMPL : E_POINTER;
}

HRESULT FilterGraph::RemoveFilter(IBaseFilter* filter) { return filter ? VFW_E_NOT_CONNECTED : E_POINTER; }

HRESULT FilterGraph::RenderFile(LPCWSTR file, LPCWSTR playList) {
  if (!file) return E_POINTER;
  if (playList) return E_INVALIDARG;
  if (pipeline_) return VFW_E_WRONG_STATE;
  if (!StartMediaFramework()) return VFW_E_CANNOT_RENDER;
  std::string uri;
  if (HRESULT result = UriFor(Narrow(file), &uri); FAILED(result)) return result;
  if (HRESULT result = OpenUrlSource(uri); FAILED(result)) return result;

  GstElement* playbin = gst_element_factory_make("playbin", nullptr);
  if (!playbin) {
    urlSource_.reset();
    return VFW_E_CANNOT_RENDER;
  }
  pipeline_ = GST_ELEMENT(gst_object_ref_sink(playbin));
  try {
    gain_ = std::make_shared<std::atomic<double>>(LinearVolume(volume_));
  } catch (const std::bad_alloc&) {
    ReleasePipeline();
    return E_OUTOFMEMORY;
  }
  const AudioOutput output = MakeAudioOutput(gain_);
  outputAppliesGain_ = output.appliesGain;
  if (!output.element) {
    ReleasePipeline();
    return VFW_E_NO_AUDIO_HARDWARE;
  }
  g_object_set(pipeline_, "uri", uri.c_str(), "audio-sink", output.element, "flags", kPlayAudio | kPlaySoftVolume,
               "volume", outputAppliesGain_ ? 1.0 : LinearVolume(volume_), nullptr);
  if (urlSource_) urlSource_->Attach(pipeline_);
  GstBus* bus = gst_element_get_bus(pipeline_);
  gst_bus_set_sync_handler(bus, &FilterGraph::OnBusMessage, this, nullptr);
  gst_object_unref(bus);
  {
    std::lock_guard guard(lock_);
    rendering_ = true;
    prerolled_ = false;
    failure_ = S_OK;
  }
  HRESULT result = ChangeState(GST_STATE_PAUSED);
  if (result == S_FALSE) result = WaitUntilSettled();
  // The pipeline announces its preroll before it has taken the new state;
  // a Run in between would leave it paused in name with its sink playing.
  if (SUCCEEDED(result) &&
      gst_element_get_state(pipeline_, nullptr, nullptr, kSeekLimit) != GST_STATE_CHANGE_SUCCESS)
    result = VFW_E_TIMEOUT;
  if (SUCCEEDED(result)) {
    gint audioStreams = 0;
    g_object_get(pipeline_, "n-audio", &audioStreams, nullptr);
    if (audioStreams <= 0) result = VFW_E_CANNOT_RENDER;
  }
  {
    std::lock_guard guard(lock_);
    rendering_ = false;
  }
  if (FAILED(result)) {
    ReleasePipeline();
    return result;
  }
  return S_OK;
}

HRESULT FilterGraph::OpenUrlSource(const std::string& url) {
  if (!StartsWithIgnoringCase(url, "http://") && !StartsWithIgnoringCase(url, "ftp://")) return S_FALSE;
  const std::optional<TwlUrlReader> reader = RegisteredUrlReader();
  if (!reader) return S_FALSE;
  try {
    urlSource_ = std::make_unique<UrlSource>();
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
  if (urlSource_->Open(*reader, url)) return S_OK;
  urlSource_.reset();
  return VFW_E_CANNOT_LOAD_SOURCE_FILTER;
}

HRESULT FilterGraph::WaitUntilSettled() {
  std::unique_lock guard(lock_);
  if (!settled_.wait_for(guard, kRenderLimit, [this] { return prerolled_ || FAILED(failure_); })) return VFW_E_TIMEOUT;
  return FAILED(failure_) ? failure_ : S_OK;
}

GstBusSyncReply FilterGraph::OnBusMessage(GstBus*, GstMessage* message, gpointer data) {
  auto* self = static_cast<FilterGraph*>(data);
  switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_ERROR:
      self->OnError(message);
      break;
    case GST_MESSAGE_ASYNC_DONE:
      if (GST_MESSAGE_SRC(message) == GST_OBJECT(self->pipeline_)) {
        std::lock_guard guard(self->lock_);
        self->prerolled_ = true;
        self->settled_.notify_all();
      }
      break;
    case GST_MESSAGE_EOS:
      self->QueueEvent(EC_COMPLETE, S_OK);
      break;
    default:
      break;
  }
  // A sync handler that drops a message owns it: every message holds its
  // source, so one left alive keeps the whole pipeline (its bus's
  // descriptors, its elements) alive after the graph's last release.
  gst_message_unref(message);
  return GST_BUS_DROP;
}

void FilterGraph::OnError(GstMessage* message) {
  GError* error = nullptr;
  gst_message_parse_error(message, &error, nullptr);
  const HRESULT result = ResultOf(error);
  g_clear_error(&error);
  {
    std::lock_guard guard(lock_);
    if (rendering_) {
      if (SUCCEEDED(failure_)) failure_ = result;
      settled_.notify_all();
      return;
    }
  }
  QueueEvent(EC_ERRORABORT, result);
}

void FilterGraph::QueueEvent(LONG code, LONG_PTR param1) {
  OAHWND window = 0;
  LONG notify = 0;
  LONG_PTR data = 0;
  {
    std::lock_guard guard(lock_);
    if (rendering_) return;  // RenderFile reports what happens before it returns
    try {
      events_.push_back({code, param1});
    } catch (const std::bad_alloc&) {
      return;
    }
    window = notifyWindow_;
    notify = notifyMessage_;
    data = notifyData_;
  }
  eventQueued_.notify_all();
  if (window) PostMessageA(reinterpret_cast<HWND>(window), static_cast<UINT>(notify), 0, data);
}

// --- Control

HRESULT FilterGraph::ChangeState(GstState state) {
  if (!pipeline_) return VFW_E_WRONG_STATE;
  // A change still under way finishes first: a pause that overtook a run
  // still in progress would leave the sink playing.
  gst_element_get_state(pipeline_, nullptr, nullptr, kSeekLimit);
  switch (gst_element_set_state(pipeline_, state)) {
    case GST_STATE_CHANGE_FAILURE: {
      std::lock_guard guard(lock_);
      return FAILED(failure_) ? failure_ : VFW_E_CANNOT_RENDER;
    }
    case GST_STATE_CHANGE_ASYNC:
      return S_FALSE;
    default:
      return S_OK;
  }
}

// Run and Pause return once the new state has taken hold (S_FALSE when it
// has not within the limit), so that the next change starts from it.
HRESULT FilterGraph::SettleState(GstState state) {
  const HRESULT result = ChangeState(state);
  if (result != S_FALSE) return result;
  return gst_element_get_state(pipeline_, nullptr, nullptr, kSeekLimit) == GST_STATE_CHANGE_SUCCESS ? S_OK : S_FALSE;
}

HRESULT FilterGraph::Run() { return SettleState(GST_STATE_PLAYING); }

HRESULT FilterGraph::Pause() { return SettleState(GST_STATE_PAUSED); }
// The graph keeps its place; only the media stops moving. A URL read
// through the program's reader is shut down first, so the stop never waits
// for its server.
HRESULT FilterGraph::Stop() {
  if (urlSource_) urlSource_->Shutdown();
  return ChangeState(GST_STATE_PAUSED);
}

// --- Events

HRESULT FilterGraph::GetEvent(LONG* code, LONG_PTR* param1, LONG_PTR* param2, LONG timeout) {
  if (!code || !param1 || !param2) return E_POINTER;
  std::unique_lock guard(lock_);
  const auto queued = [this] { return !events_.empty(); };
  if (timeout < 0)
    eventQueued_.wait(guard, queued);
  else if (timeout > 0)
    eventQueued_.wait_for(guard, std::chrono::milliseconds(timeout), queued);
  if (events_.empty()) {
    *code = 0;
    *param1 = *param2 = 0;
    return E_ABORT;
  }
  *code = events_.front().code;
  *param1 = events_.front().param1;
  *param2 = 0;
  events_.pop_front();
  return S_OK;
}

HRESULT FilterGraph::FreeEventParams(LONG, LONG_PTR, LONG_PTR) { return S_OK; }  // no event owns memory

HRESULT FilterGraph::SetNotifyWindow(OAHWND window, LONG message, LONG_PTR instanceData) {
  bool waiting = false;
  {
    std::lock_guard guard(lock_);
    notifyWindow_ = window;
    notifyMessage_ = message;
    notifyData_ = instanceData;
    waiting = !events_.empty();
  }
  if (window && waiting) PostMessageA(reinterpret_cast<HWND>(window), static_cast<UINT>(message), 0, instanceData);
  return S_OK;
}

// --- Position

HRESULT FilterGraph::get_Duration(REFTIME* length) {
  if (!length) return E_POINTER;
  gint64 nanoseconds = 0;
  if (!pipeline_) return VFW_E_WRONG_STATE;
  if (!gst_element_query_duration(pipeline_, GST_FORMAT_TIME, &nanoseconds) || nanoseconds < 0) return E_FAIL;
  *length = static_cast<double>(nanoseconds) / GST_SECOND;
  return S_OK;
}

HRESULT FilterGraph::put_CurrentPosition(REFTIME time) {
  if (!pipeline_) return VFW_E_WRONG_STATE;
  if (!(time >= 0) || time > 1e9) return E_INVALIDARG;
  const auto nanoseconds = static_cast<gint64>(std::llround(time * GST_SECOND));
  if (!gst_element_seek_simple(pipeline_, GST_FORMAT_TIME,
                               static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE), nanoseconds))
    return E_FAIL;
  // The seek finishes once the pipeline has prerolled at the new place.
  gst_element_get_state(pipeline_, nullptr, nullptr, kSeekLimit);
  return S_OK;
}

HRESULT FilterGraph::get_CurrentPosition(REFTIME* time) {
  if (!time) return E_POINTER;
  gint64 nanoseconds = 0;
  if (!pipeline_) return VFW_E_WRONG_STATE;
  if (!gst_element_query_position(pipeline_, GST_FORMAT_TIME, &nanoseconds) || nanoseconds < 0) return E_FAIL;
  *time = static_cast<double>(nanoseconds) / GST_SECOND;
  return S_OK;
}

// --- Sound

HRESULT FilterGraph::put_Volume(LONG volume) {
  if (volume < -10000 || volume > 0) return E_INVALIDARG;
  volume_ = volume;
  if (gain_) gain_->store(LinearVolume(volume));
  if (pipeline_ && !outputAppliesGain_) g_object_set(pipeline_, "volume", LinearVolume(volume), nullptr);
  return S_OK;
}

HRESULT FilterGraph::get_Volume(LONG* volume) {
  if (!volume) return E_POINTER;
  *volume = volume_;
  return S_OK;
}

// --- Picture

HRESULT FilterGraph::GetVideoSize(LONG* width, LONG* height) {
  if (!width || !height) return E_POINTER;
  return E_NOINTERFACE;
}

HRESULT FilterGraph::put_WindowStyle(LONG style) {
  window_.style = style;
  return S_OK;
}
HRESULT FilterGraph::get_WindowStyle(LONG* style) {
  if (!style) return E_POINTER;
  *style = window_.style;
  return S_OK;
}
HRESULT FilterGraph::put_AutoShow(LONG autoShow) {
  window_.autoShow = autoShow;
  return S_OK;
}
HRESULT FilterGraph::put_Visible(LONG visible) {
  window_.visible = visible;
  return S_OK;
}
HRESULT FilterGraph::get_Visible(LONG* visible) {
  if (!visible) return E_POINTER;
  *visible = window_.visible;
  return S_OK;
}
HRESULT FilterGraph::put_Owner(OAHWND owner) {
  window_.owner = owner;
  return S_OK;
}
HRESULT FilterGraph::SetWindowPosition(LONG left, LONG top, LONG width, LONG height) {
  window_.left = left;
  window_.top = top;
  window_.width = width;
  window_.height = height;
  return S_OK;
}
HRESULT FilterGraph::GetWindowPosition(LONG* left, LONG* top, LONG* width, LONG* height) {
  if (!left || !top || !width || !height) return E_POINTER;
  *left = window_.left;
  *top = window_.top;
  *width = window_.width;
  *height = window_.height;
  return S_OK;
}

}  // namespace twl::dshow
