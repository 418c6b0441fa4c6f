#include "UrlSource.h"

#include <gst/app/gstappsrc.h>

#include <mutex>

namespace twl::dshow {

namespace {

constexpr gsize kReadSize = 64 * 1024;

std::mutex readerLock;
std::optional<TwlUrlReader> registeredReader;

}  // namespace

std::optional<TwlUrlReader> RegisteredUrlReader() {
  std::lock_guard guard(readerLock);
  return registeredReader;
}

bool UrlSource::Open(const TwlUrlReader& reader, const std::string& url) {
  Close();
  reader_ = reader;
  shutDown_ = false;
  stream_ = reader_.Open ? reader_.Open(reader_.context, url.c_str()) : nullptr;
  return stream_ != nullptr;
}

void UrlSource::Attach(GstElement* playbin) {
  g_object_set(playbin, "uri", "appsrc://", nullptr);
  g_signal_connect(playbin, "source-setup", G_CALLBACK(&UrlSource::OnSourceSetup), this);
}

void UrlSource::OnSourceSetup(GstElement*, GstElement* source, gpointer self) {
  if (!GST_IS_APP_SRC(source)) return;
  // A forward-only byte stream: the reader cannot seek.
  g_object_set(source, "stream-type", GST_APP_STREAM_TYPE_STREAM, "format", GST_FORMAT_BYTES, nullptr);
  g_signal_connect(source, "need-data", G_CALLBACK(&UrlSource::OnNeedData), self);
}

void UrlSource::OnNeedData(GstElement* source, guint, gpointer self) {
  auto* me = static_cast<UrlSource*>(self);
  GstAppSrc* appSource = GST_APP_SRC(source);
  if (me->shutDown_ || !me->stream_) {
    gst_app_src_end_of_stream(appSource);
    return;
  }
  GstBuffer* buffer = gst_buffer_new_allocate(nullptr, kReadSize, nullptr);
  GstMapInfo map;
  if (!buffer || !gst_buffer_map(buffer, &map, GST_MAP_WRITE)) {
    if (buffer) gst_buffer_unref(buffer);
    GST_ELEMENT_ERROR(source, RESOURCE, READ, ("out of memory"), (nullptr));
    return;
  }
  const long count = me->reader_.Read(me->reader_.context, me->stream_, map.data, kReadSize);
  gst_buffer_unmap(buffer, &map);
  if (count > 0) {
    gst_buffer_set_size(buffer, static_cast<gssize>(count));
    gst_app_src_push_buffer(appSource, buffer);  // takes the buffer
    return;
  }
  gst_buffer_unref(buffer);
  if (count == 0 || me->shutDown_) {
    gst_app_src_end_of_stream(appSource);
    return;
  }
  GST_ELEMENT_ERROR(source, RESOURCE, READ, ("the program's URL reader failed"), (nullptr));
}

void UrlSource::Shutdown() {
  shutDown_ = true;
  if (stream_ && reader_.Shutdown) reader_.Shutdown(reader_.context, stream_);
}

void UrlSource::Close() {
  if (stream_ && reader_.Close) reader_.Close(reader_.context, stream_);
  stream_ = nullptr;
}

}  // namespace twl::dshow

TWLAPI void TwlSetUrlReader(const TwlUrlReader* reader) {
  std::lock_guard guard(twl::dshow::readerLock);
  if (reader)
    twl::dshow::registeredReader = *reader;
  else
    twl::dshow::registeredReader.reset();
}
