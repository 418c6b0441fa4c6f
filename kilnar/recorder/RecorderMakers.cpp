// The makers of the engine's recorder classes, registered by class name
// the first time the factory looks for one.
#include <memory>

#include "kilnar/recorder/AtapiRecorder.h"
#include "kilnar/recorder/MmcDevice.h"
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
    RegisterRecorderMaker("MmcDevice", &Make<MmcDevice>);
    RegisterRecorderMaker("Dev_ATAPIRecorder", &Make<Dev_ATAPIRecorder>);
    RegisterRecorderMaker("Dev_Sony928", &Make<Dev_Sony928>);
    return true;
  }();
  (void)registered;
}
