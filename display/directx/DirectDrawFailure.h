// The two ways a failed DirectDraw call is passed on: thrown as a
// CDirectDrawError (caption "DirectDraw error", the code's text and the
// code), or left in the calling thread's error state (the DirectDraw
// family, the code and its text) for code that reports through results.
// Any thread.
#pragma once

#include <windows.h>

[[noreturn]] void ThrowDirectDrawError(HRESULT code);
void SetDirectDrawThreadError(HRESULT code);
