#include "MediaFramework.h"

#include <gst/gst.h>

namespace twl::dshow {

bool StartMediaFramework() {
  static const bool started = gst_init_check(nullptr, nullptr, nullptr) != FALSE;
  return started;
}

bool HasElement(const char* factoryName) {
  if (!StartMediaFramework()) return false;
  GstElementFactory* factory = gst_element_factory_find(factoryName);
  if (!factory) return false;
  gst_object_unref(factory);
  return true;
}

}  // namespace twl::dshow
