// The makers of the engine's recorder classes, registered by class name
// the first time the factory looks for one.
#include <memory>

#include "kilnar/recorder/RecorderClassTable.h"
#include "kilnar/recorder/ScsiDevice.h"

namespace {

template <typename Recorder>
std::unique_ptr<ScsiDrive> Make(ScsiMan* manager) {
  return std::make_unique<Recorder>(manager);
}

}  // namespace

void RegisterEngineRecorders() {
  static const bool registered = [] {
    RegisterRecorderMaker("ScsiDevice", &Make<ScsiDevice>);
    return true;
  }();
  (void)registered;
}
