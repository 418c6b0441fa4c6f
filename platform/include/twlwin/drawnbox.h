// Message boxes that a program draws itself (its own window, buttons and
// loop) instead of asking MessageBoxA: the further type flags such a box
// takes, and how it is answered when nobody can see it. Not included by
// windows.h; any thread.
#pragma once

#include "messagebox.h"

// A last "Help" button, which answers nothing but sends WM_HELP.
#define MB_HELP 0x00004000u
// The text aligned to the right.
#define MB_RIGHT 0x00080000u

// When nobody can see the box (no desktop, or no presenter shows the
// windows) it must not wait for a user: this answers it as MessageBoxA
// would, by the next scripted answer (twlwin/testing_user.h) that is one of
// its `count` answers, else `defaultAnswer`, records it with `type` and
// writes its text to stderr, and returns TRUE with the answer. Returns
// FALSE, touching nothing, when a user can answer. A box with buttons of
// its own names them 1, 2, ... in their order.
TWLAPI BOOL TwlAnswerUnseenBox(LPCSTR text, LPCSTR caption, UINT type, const int* answers, int count,
                               int defaultAnswer, int* answer);

// Whether a user can see and answer a window of the program now (a desktop
// and a presenter showing the windows); a dialog of the program's own that
// nobody can answer must not wait. Touches nothing.
TWLAPI BOOL TwlCanUserAnswer(void);
