// The texts of DirectDraw and DirectSound result codes, as users and the
// log see them: one localised key per code ("CDirectDrawError.<name>",
// "CDirectSoundError.<name>"), with a default for unknown codes. Never
// fails; any thread.
#pragma once

#include <windows.h>

#include "foundation/kernel/Str.h"

CStr GetDirectDrawErrorText(DWORD code);
CStr GetDirectSoundErrorText(DWORD code);

// The key a code's text is translated under, the unknown-code key for a
// code without a row.
const char* GetDirectDrawErrorKey(DWORD code);
const char* GetDirectSoundErrorKey(DWORD code);
