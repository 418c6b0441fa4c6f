// The filter graph interfaces, as <dsound.h> is for DirectSound.
#pragma once

#include "twlwin/dshow.h"
