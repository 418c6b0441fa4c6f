// A Keys.ini value as the key bindings read it (at most the 1999
// characters the reader takes): any value loads into a trigger's hotkeys,
// and what the trigger writes back reads again into the very same value.
// Anything else (a crash, a sanitizer report, a value that changes on its
// way back) is a finding.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/keys/Trigger.h"

namespace {

class FuzzedTrigger : public CTrigger {
 public:
  void Execute() override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string value(reinterpret_cast<const char*>(data), size < 1999 ? size : 1999);
  auto* trigger = new FuzzedTrigger;
  trigger->Init(nullptr, "Main", 0, "Fuzzed", "", (size & 1) ? CTrigger::kPartitioned : 0);
  trigger->ParseKeys(value.c_str());
  const CStr written = trigger->FormatKeys();
  trigger->ParseKeys(written.c_str());
  if (!(trigger->FormatKeys() == written)) std::abort();
  trigger->Release();
  return 0;
}
