// The filter graph over a GStreamer playbin: one object answers all the
// graph's interfaces. RenderFile builds the pipeline for the file and
// waits until it stands paused at the start (or failed); Run, Pause and
// Stop move it; the end of the stream and errors become events.
//
// Threading: the interfaces are called on the thread that made the graph.
// The pipeline's bus handler runs on GStreamer's threads: it only queues
// events under the event lock and posts the notify message, and wakes a
// RenderFile waiting for the pipeline to settle. The last Release stops the
// pipeline (joining its threads) before anything is freed.
#pragma once

#include <gst/gst.h>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>

#include "AudioOutput.h"
#include "UrlSource.h"
#include "twlwin/dshow.h"

namespace twl::dshow {

class FilterGraph final : public IGraphBuilder,
                          public IMediaControl,
                          public IMediaEventEx,
                          public IMediaPosition,
                          public IBasicAudio,
                          public IBasicVideo,
                          public IVideoWindow {
 public:
  static HRESULT Create(REFIID iid, void** object);

  FilterGraph(const FilterGraph&) = delete;
  FilterGraph& operator=(const FilterGraph&) = delete;

  HRESULT QueryInterface(REFIID iid, void** object) override;
  ULONG AddRef() override;
  ULONG Release() override;

  // IGraphBuilder
  HRESULT AddFilter(IBaseFilter* filter, LPCWSTR name) override;
  HRESULT RemoveFilter(IBaseFilter* filter) override;
  HRESULT RenderFile(LPCWSTR file, LPCWSTR playList) override;

  // IMediaControl
  HRESULT Run() override;
  HRESULT Pause() override;
  HRESULT Stop() override;

  // IMediaEventEx
  HRESULT GetEvent(LONG* code, LONG_PTR* param1, LONG_PTR* param2, LONG timeout) override;
  HRESULT FreeEventParams(LONG code, LONG_PTR param1, LONG_PTR param2) override;
  HRESULT SetNotifyWindow(OAHWND window, LONG message, LONG_PTR instanceData) override;

  // IMediaPosition
  HRESULT get_Duration(REFTIME* length) override;
  HRESULT put_CurrentPosition(REFTIME time) override;
  HRESULT get_CurrentPosition(REFTIME* time) override;

  // IBasicAudio
  HRESULT put_Volume(LONG volume) override;
  HRESULT get_Volume(LONG* volume) override;

  // IBasicVideo: the graph renders no video yet, so the query fails with
  // E_NOINTERFACE as for a file without pictures.
  HRESULT GetVideoSize(LONG* width, LONG* height) override;

  // IVideoWindow: without video the window's properties are only kept.
  HRESULT put_WindowStyle(LONG style) override;
  HRESULT get_WindowStyle(LONG* style) override;
  HRESULT put_AutoShow(LONG autoShow) override;
  HRESULT put_Visible(LONG visible) override;
  HRESULT get_Visible(LONG* visible) override;
  HRESULT put_Owner(OAHWND owner) override;
  HRESULT SetWindowPosition(LONG left, LONG top, LONG width, LONG height) override;
  HRESULT GetWindowPosition(LONG* left, LONG* top, LONG* width, LONG* height) override;

 private:
  struct Event {
    LONG code;
    LONG_PTR param1;
  };
  struct WindowState {
    LONG style = 0;
    LONG visible = 0;
    LONG autoShow = -1;
    OAHWND owner = 0;
    LONG left = 0, top = 0, width = 0, height = 0;
  };

  FilterGraph() = default;
  ~FilterGraph();

  static GstBusSyncReply OnBusMessage(GstBus* bus, GstMessage* message, gpointer self);
  void OnError(GstMessage* message);
  void QueueEvent(LONG code, LONG_PTR param1);
  HRESULT WaitUntilSettled();
  // Opens a network URL through the program's reader when one is
  // registered; S_FALSE when GStreamer's own source is to read it.
  HRESULT OpenUrlSource(const std::string& url);
  // Stops the pipeline (joining its threads, after the URL stream was shut
  // down) and frees it.
  void ReleasePipeline();
  HRESULT ChangeState(GstState state);
  HRESULT SettleState(GstState state);

  std::atomic<ULONG> references_{1};
  GstElement* pipeline_ = nullptr;
  std::unique_ptr<UrlSource> urlSource_;  // the program's reader feeds the pipeline
  LONG volume_ = 0;
  SharedGain gain_;           // the capture's, when it applies the volume itself
  bool outputAppliesGain_ = false;
  WindowState window_;

  std::mutex lock_;  // guards what follows; taken by the bus handler
  std::condition_variable settled_;
  bool rendering_ = false;  // RenderFile waits: errors go to it, not to events
  bool prerolled_ = false;
  HRESULT failure_ = S_OK;  // the first error while rendering
  std::deque<Event> events_;
  OAHWND notifyWindow_ = 0;
  LONG notifyMessage_ = 0;
  LONG_PTR notifyData_ = 0;
  std::condition_variable eventQueued_;
};

}  // namespace twl::dshow
