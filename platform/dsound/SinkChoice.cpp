#include "SinkChoice.h"

#include <cstdlib>

#include "SdlSink.h"
#include "WavFileSink.h"

namespace twl::sound {

std::string SinkChoiceFromEnvironment() {
  const char* value = std::getenv("TWL_SOUND_SINK");
  return value && *value ? value : "sdl";
}

std::unique_ptr<SoundSink> MakeSink(const std::string& choice, const PcmFormat& primary) {
  if (choice == "sdl") return MakeSdlSink();
  if (choice == "null") return MakeNullSink();
  if (choice.rfind("wav:", 0) == 0) return WavFileSink::Create(choice.substr(4), primary);
  return nullptr;
}

}  // namespace twl::sound
