// What the twltool commands that act as a plug-in share: the host table,
// a caller handle for slots that want one, and the thread error in words.
#pragma once

#include <string>

#include "pluginhost/hostapi/HostApi.h"

namespace twltool {

inline const HostApiTable& Host() { return *GetHostApiTable(); }

// The handle the tool passes as its object's: any non-null value will do.
inline PLUGIN_HANDLE ToolHandle() {
  static int object;
  return &object;
}

// The thread error's text, as a plug-in would read it.
inline std::string HostErrorText() {
  const char* text = Host().HOST_GetErrorText();
  return text && *text ? text : "failed without a reason";
}

}  // namespace twltool
