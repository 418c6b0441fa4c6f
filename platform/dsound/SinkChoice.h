// The sink that a choice names: "sdl" (the sound device, or nothing when
// none opens), "null" (nothing, on the layer clock) or "wav:PATH" (a WAV
// file, on the layer clock). The choice comes from the testing interface
// or from TWL_SOUND_SINK; without either it is "sdl".
#pragma once

#include <memory>
#include <string>

#include "PcmFormat.h"
#include "SoundSink.h"

namespace twl::sound {

// The choice TWL_SOUND_SINK makes ("sdl" when it is unset or empty).
std::string SinkChoiceFromEnvironment();

// Null when the choice names no sink or the sink cannot be made (a WAV
// file that cannot be created).
std::unique_ptr<SoundSink> MakeSink(const std::string& choice, const PcmFormat& primary);

}  // namespace twl::sound
