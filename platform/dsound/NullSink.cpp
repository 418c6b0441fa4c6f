#include "SoundSink.h"

namespace twl::sound {
namespace {

class NullSink final : public SoundSink {
 public:
  bool WantsSamples() const override { return false; }
};

}  // namespace

std::unique_ptr<SoundSink> MakeNullSink() { return std::make_unique<NullSink>(); }

}  // namespace twl::sound
