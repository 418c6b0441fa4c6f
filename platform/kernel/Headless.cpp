#include "Headless.h"

#include <cstdlib>

namespace twl {

bool HasDesktop() {
  auto set = [](const char* name) {
    const char* value = std::getenv(name);
    return value && *value;
  };
  if (std::getenv("TWL_HEADLESS")) return false;
  return set("DISPLAY") || set("WAYLAND_DISPLAY");
}

}  // namespace twl
