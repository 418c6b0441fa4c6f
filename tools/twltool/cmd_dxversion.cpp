#include <cstdarg>
#include <cstdio>

#include "display/directx/DirectXInfo.h"
#include "driver/Command.h"
#include "foundation/appcore/LogFront.h"

namespace {

// Log lines (the inconsistency warning) go to stderr, so that stdout holds
// the answer alone.
class StderrLogFront : public CLogFront {
 public:
  void LogFormatV(DWORD, const char* format, va_list args) override { std::vfprintf(stderr, format, args); }
};

}  // namespace

TOOL_COMMAND(RunDxVersion, "dxversion",
             "  print the installed DirectX version as the player finds it at start, as \"detected N exact M\" "
             "(-1: unknown); the registry of $TWL_REGISTRY counts; log lines go to stderr") {
  if (!args.empty()) return tool::Fail("dxversion takes no arguments");
  StderrLogFront front;
  SetLogFront(&front);
  CDirectXInfo info;
  INT detected = -1;
  INT exact = -1;
  info.GetVersion(detected, exact, true);
  SetLogFront(nullptr);
  std::printf("detected %d exact %d\n", detected, exact);
  return 0;
}
