// The texts of DirectDraw and DirectSound result codes, as users and the
// log see them: one localised key per code ("CDirectDrawError.<name>",
// "CDirectSoundError.<name>"), with a default for unknown codes. Never
// fails; any thread.
#pragma once

#include <windows.h>

#include "foundation/kernel/Str.h"

CStr GetDirectDrawErrorText(DWORD code);
CStr GetDirectSoundErrorText(DWORD code);
