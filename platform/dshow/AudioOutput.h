// Where a graph's sound goes: the sound output the DirectSound stand-in
// uses (TWL_SOUND_SINK or the test's choice). "wav:PATH" captures the
// samples into that WAV file, appended graph after graph for the whole
// process, in the format of the first sound written (16-bit PCM at the
// first stream's rate and channels; later streams are converted to it);
// "null" plays into nothing; anything else is the desktop's audio output.
// Every output renders in real time on the pipeline's clock.
#pragma once

#include <gst/gst.h>

#include <atomic>
#include <memory>

namespace twl::dshow {

// The linear gain a graph's volume asks for; read as each buffer is
// rendered, so a change reaches the sound already waiting in the sink.
using SharedGain = std::shared_ptr<std::atomic<double>>;

struct AudioOutput {
  GstElement* element = nullptr;  // a floating reference; null when elements are missing
  // True when the output applies `gain` itself (the capture); otherwise
  // the graph's own volume element does.
  bool appliesGain = false;
};

// A new sink for a graph.
AudioOutput MakeAudioOutput(const SharedGain& gain);

}  // namespace twl::dshow
