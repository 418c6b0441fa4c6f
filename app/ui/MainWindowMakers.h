// The five main windows' makers, one entry per window in index order
// (0 main window, 1 playlist, 2 file browser, 3 skin browser, 4 options).
// An entry without a maker is a window this program does not have yet;
// CreateWindows skips it. The application windows define the table
// (windows/MainWindowMakers.cpp): the core names no window class.
#pragma once

#include <windows.h>

#include "app/ui/UserInterface.h"

class CWindow;

struct MainWindowMaker {
  // The -z timing label of the window's creation.
  const char* label;
  // Creates and shows the window. `owner` is the main owner window; the
  // four others get the main window (null when it is absent). Throws a
  // CError when the window cannot be made.
  CWindow* (*create)(CUserInterface& ui, HWND owner, CWindow* mainWindow);
};

const MainWindowMaker& GetMainWindowMaker(int index);
