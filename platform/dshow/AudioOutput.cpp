#include "AudioOutput.h"

#include <gst/app/gstappsink.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/dsound/SoundEngine.h"
#include "platform/dsound/WavFileSink.h"

namespace twl::dshow {
namespace {

// One capture per path for the life of the process: the sound of every
// graph lands in it in the order it was rendered.
struct Capture {
  std::unique_ptr<sound::WavFileSink> file;
  std::optional<sound::PcmFormat> format;  // fixed by the first sound
};

struct Captures {
  std::mutex lock;  // guards the map and every capture's file
  std::map<std::string, Capture> byPath;
};

Captures& AllCaptures() {
  static auto* captures = new Captures;  // never destroyed: a pipeline may still render during exit
  return *captures;
}

std::string CurrentChoice() {
  sound::SoundEngine& engine = sound::SoundEngine::Get();
  return engine.Update([&engine] { return engine.SinkChoice(); });
}

// The format a capture holds, if it holds one yet.
std::optional<sound::PcmFormat> HeldFormat(const std::string& path) {
  Captures& captures = AllCaptures();
  std::lock_guard guard(captures.lock);
  auto found = captures.byPath.find(path);
  return found == captures.byPath.end() ? std::nullopt : found->second.format;
}

struct CaptureTarget {
  std::string path;
  SharedGain gain;
};

// 16-bit samples scaled by `gain`, rounded and kept in range.
std::vector<uint8_t> Scaled(const uint8_t* bytes, size_t size, double gain) {
  std::vector<uint8_t> out(bytes, bytes + size);
  for (size_t i = 0; i + 1 < size; i += 2) {
    int16_t sample = 0;
    std::memcpy(&sample, bytes + i, 2);
    const long scaled = std::clamp(std::lround(sample * gain), -32768L, 32767L);
    sample = static_cast<int16_t>(scaled);
    std::memcpy(out.data() + i, &sample, 2);
  }
  return out;
}

// Called on the pipeline's streaming thread once each buffer's time has come.
GstFlowReturn WriteSample(GstAppSink* sink, gpointer data) {
  const auto& target = *static_cast<const CaptureTarget*>(data);
  const std::string& path = target.path;
  GstSample* sample = gst_app_sink_pull_sample(sink);
  if (!sample) return GST_FLOW_EOS;
  GstStructure* caps = gst_caps_get_structure(gst_sample_get_caps(sample), 0);
  int rate = 0;
  int channels = 0;
  GstBuffer* buffer = gst_sample_get_buffer(sample);
  GstMapInfo map{};
  if (caps && gst_structure_get_int(caps, "rate", &rate) && gst_structure_get_int(caps, "channels", &channels) &&
      rate > 0 && channels > 0 && channels <= 2 && buffer && gst_buffer_map(buffer, &map, GST_MAP_READ)) {
    const sound::PcmFormat format{static_cast<uint32_t>(rate), 16, static_cast<uint16_t>(channels)};
    Captures& captures = AllCaptures();
    std::lock_guard guard(captures.lock);
    Capture& capture = captures.byPath[path];
    if (!capture.file) capture.file = sound::WavFileSink::Create(path, format);
    if (!capture.format) capture.format = format;
    // A stream negotiated before the capture held a format may differ; its
    // samples would not fit the file.
    const size_t size = map.size - map.size % format.BlockAlign();
    if (capture.file && *capture.format == format) {
      const double gain = target.gain->load();
      if (gain == 1.0) {
        capture.file->Write(map.data, size, format);
      } else {
        const std::vector<uint8_t> scaled = Scaled(map.data, size, gain);
        capture.file->Write(scaled.data(), size, format);
      }
      capture.file->EndOfBatch();
    }
    gst_buffer_unmap(buffer, &map);
  }
  gst_sample_unref(sample);
  return GST_FLOW_OK;
}

GstElement* MakeElement(const char* factory) { return gst_element_factory_make(factory, nullptr); }

// audioconvert ! audioresample ! appsink with 16-bit caps.
GstElement* MakeCaptureOutput(const std::string& path, const SharedGain& gain) {
  GstElement* bin = gst_bin_new(nullptr);
  GstElement* convert = MakeElement("audioconvert");
  GstElement* resample = MakeElement("audioresample");
  GstElement* sink = MakeElement("appsink");
  if (!bin || !convert || !resample || !sink) {
    for (GstElement* element : {bin, convert, resample, sink}) {
      if (element) gst_object_unref(gst_object_ref_sink(element));
    }
    return nullptr;
  }
  std::string caps = "audio/x-raw,format=S16LE,layout=interleaved";
  if (std::optional<sound::PcmFormat> held = HeldFormat(path))
    caps += ",rate=" + std::to_string(held->rate) + ",channels=" + std::to_string(held->channels);
  else
    caps += ",channels=[1,2]";
  GstCaps* fixed = gst_caps_from_string(caps.c_str());
  g_object_set(sink, "sync", TRUE, "caps", fixed, nullptr);
  gst_caps_unref(fixed);
  GstAppSinkCallbacks callbacks{};
  callbacks.new_sample = &WriteSample;
  gst_app_sink_set_callbacks(GST_APP_SINK(sink), &callbacks, new CaptureTarget{path, gain},
                             [](gpointer data) { delete static_cast<CaptureTarget*>(data); });
  gst_bin_add_many(GST_BIN(bin), convert, resample, sink, nullptr);
  gst_element_link_many(convert, resample, sink, nullptr);
  GstPad* input = gst_element_get_static_pad(convert, "sink");
  gst_element_add_pad(bin, gst_ghost_pad_new("sink", input));
  gst_object_unref(input);
  return bin;
}

}  // namespace

AudioOutput MakeAudioOutput(const SharedGain& gain) {
  const std::string choice = CurrentChoice();
  if (choice.rfind("wav:", 0) == 0) return {MakeCaptureOutput(choice.substr(4), gain), true};
  if (choice == "null") {
    GstElement* sink = MakeElement("fakesink");
    if (sink) g_object_set(sink, "sync", TRUE, nullptr);
    return {sink, false};
  }
  return {MakeElement("autoaudiosink"), false};
}

}  // namespace twl::dshow
