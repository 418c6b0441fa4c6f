// Test controls of the window manager: input at screen points, scripted
// message box answers and their record, the virtual screen, the windows of
// the process, running a queue until idle, and a clock for timers that the
// test moves. Product code never includes this header. Thread-safe.
#pragma once

#include "types.h"

// The virtual screen (1024 x 768, 32 bits per pixel by default). Setting
// the screen is a display mode change (0 keeps a value): the work area
// becomes the whole screen and the top-level windows get WM_DISPLAYCHANGE.
TWLAPI void TwlTestSetScreen(int width, int height, int bitsPerPixel);
TWLAPI void TwlTestSetWorkArea(const RECT* area);

// Input at screen points. Mouse events go to the capture window, else to
// the topmost visible window under the point; keys and the wheel go to the
// focus window of the foreground window's thread. Each returns FALSE when
// no window takes the event. Buttons are VK_LBUTTON, VK_RBUTTON, VK_MBUTTON.
TWLAPI BOOL TwlTestMouseMove(int x, int y);
TWLAPI BOOL TwlTestMouseButton(int button, BOOL down, int x, int y);
TWLAPI BOOL TwlTestClick(int x, int y);
TWLAPI BOOL TwlTestMouseWheel(int x, int y, int delta);
TWLAPI BOOL TwlTestKey(UINT virtualKey, BOOL down);
TWLAPI BOOL TwlTestKeyPress(UINT virtualKey);

// Message boxes take the scripted answers in order; with none left (or one
// the box has no button for) a box takes its default button. Every box is
// recorded.
TWLAPI void TwlTestPushMessageBoxAnswer(int answer);
TWLAPI void TwlTestResetMessageBoxes();
TWLAPI int TwlTestMessageBoxCount();
// Copies the record of box `index` (0 = first); buffers may be null.
TWLAPI BOOL TwlTestGetMessageBox(int index, LPSTR text, DWORD textSize, LPSTR caption, DWORD captionSize,
                                 UINT* type, int* answer);

// The windows of this process: top-level windows top first, each followed
// by its children (depth first). Returns the total, which may exceed
// capacity.
TWLAPI int TwlTestListWindows(HWND* windows, int capacity);
// Dispatches the calling thread's messages until none is left; returns how
// many it dispatched (it stops after a large number, for windows that never
// validate).
TWLAPI int TwlTestPumpMessages();
// Waits until the thread sleeps in GetMessageA (or WaitMessage) with
// nothing to take. FALSE on timeout or when the thread has no queue.
TWLAPI BOOL TwlTestWaitForIdle(DWORD threadId, DWORD timeoutMilliseconds);
// The next GetMessageA of any thread fails with -1.
TWLAPI void TwlTestFailNextGetMessage();
// The same for one thread alone, so that other threads' loops (the log
// window's) keep running.
TWLAPI void TwlTestFailNextGetMessageOfThread(DWORD threadId);

// The part of the screen where the window's own pixels show, in screen
// coordinates (see twlwin/presenter.h), copied into `region`. Returns the
// region's complexity, ERROR for a bad handle.
TWLAPI int TwlTestGetVisibleRegion(HWND window, HRGN region);

// Timers and message times follow a clock the test moves instead of real
// time while the manual clock is on.
TWLAPI void TwlTestUseManualClock(BOOL manual);
TWLAPI void TwlTestAdvanceClock(DWORD milliseconds);
// While on and the manual clock is on, Sleep and SleepEx of every thread
// advance the clock by their time (as TwlTestAdvanceClock) instead of
// waiting, so code that polls with sleeps runs through test time at once.
TWLAPI void TwlTestSleepAdvancesClock(BOOL on);
