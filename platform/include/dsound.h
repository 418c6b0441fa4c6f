// DirectSound, which programs include beside <windows.h>.
#pragma once

#include "windows.h"
#include "twlwin/dsound.h"
