// The descriptions AMGetErrorTextA gives for the results the filter graph
// answers. Plain data; any thread.
#pragma once

#include "twlwin/dshow.h"

namespace twl::dshow {

// The description of `result`, or null for a result the graph never gives.
const char* ErrorText(HRESULT result);

}  // namespace twl::dshow
