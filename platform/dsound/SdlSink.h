// The sink that plays the mix on the sound device through SDL's audio
// (PipeWire, PulseAudio, ALSA, or whatever SDL_AUDIODRIVER names). The
// device opens in the primary format when the output first runs, opens
// again when the primary format has changed by the next time it runs, and
// closes when the last DirectSound object goes. While it is open, SDL's
// audio thread pulls the mix and so moves the play cursors, a period at a
// time; between sounds it plays silence.
#pragma once

#include <memory>

#include "SoundSink.h"

namespace twl::sound {

std::unique_ptr<SoundSink> MakeSdlSink();

}  // namespace twl::sound
