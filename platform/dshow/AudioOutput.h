// Where a graph's sound goes: the sound output the DirectSound stand-in
// uses (TWL_SOUND_SINK or the test's choice). "wav:PATH" captures the
// samples into that WAV file, appended graph after graph for the whole
// process, in the format of the first sound written (16-bit PCM at the
// first stream's rate and channels; later streams are converted to it);
// "null" plays into nothing; anything else is the desktop's audio output.
// Every output renders in real time on the pipeline's clock.
#pragma once

#include <gst/gst.h>

namespace twl::dshow {

// A new sink element for a graph (a floating reference), or null when
// the elements it needs are missing.
GstElement* MakeAudioOutput();

}  // namespace twl::dshow
