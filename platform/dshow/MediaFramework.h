// GStreamer, started once per process on first use. Any thread.
#pragma once

namespace twl::dshow {

// False when GStreamer cannot start (the graph then renders nothing).
bool StartMediaFramework();

// Whether an element factory of that name is installed ("vorbisdec").
bool HasElement(const char* factoryName);

}  // namespace twl::dshow
