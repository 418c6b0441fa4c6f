// The program's main window as the library sees it: the application core
// sets its handle while the main window exists (null otherwise), and code
// on any thread may ask the program to quit through it.
#pragma once

#include <windows.h>

void SetMainWindowHandle(HWND window);
HWND GetMainWindowHandle();

// Posts WM_QUIT to the main window, which ends the program's message loop.
// Nothing happens while there is no main window. False when nothing was
// posted.
bool PostQuitToMainWindow();
