// The program's URL reader (twlwin/urlreader.h) as the source of a
// playbin: the graph opens the URL through the reader, the playbin's
// "appsrc://" source is fed from it on its streaming thread, and the
// graph shuts the stream down before it stops or tears the pipeline down,
// so that neither waits for a silent server.
//
// Threading: Open, Attach and Close on the graph's thread; the feeding on
// GStreamer's streaming thread; Shutdown on any thread.
#pragma once

#include <gst/gst.h>

#include <atomic>
#include <optional>
#include <string>

#include "twlwin/urlreader.h"

namespace twl::dshow {

// The registered reader, when there is one.
std::optional<TwlUrlReader> RegisteredUrlReader();

class UrlSource {
 public:
  UrlSource() = default;
  UrlSource(const UrlSource&) = delete;
  UrlSource& operator=(const UrlSource&) = delete;
  ~UrlSource() { Close(); }

  // False when the reader cannot open the URL.
  bool Open(const TwlUrlReader& reader, const std::string& url);
  // Makes the playbin read through this source ("appsrc://").
  void Attach(GstElement* playbin);
  void Shutdown();
  void Close();

 private:
  static void OnSourceSetup(GstElement* playbin, GstElement* source, gpointer self);
  static void OnNeedData(GstElement* source, guint length, gpointer self);

  TwlUrlReader reader_{};
  void* stream_ = nullptr;
  std::atomic<bool> shutDown_{false};
};

}  // namespace twl::dshow
