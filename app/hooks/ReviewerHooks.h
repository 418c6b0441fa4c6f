// The hooks by which a reviewer or a test drives and observes a running
// program from outside. They act only when their variables are set:
//   TWL_INPUT=FIFO         a thread reads input lines (app/hooks/InputLine.h)
//                          from the named pipe, reopening it for each writer
//   TWL_SNAPSHOT_DIR=DIR   each tracked menu is written to DIR/menu-<n>.txt
//                          (n = 1, 2, ...; app/hooks/SnapshotTexts.h)
// With either set, tracked menus take their answers from the "menu" lines
// in order and are dismissed when none is waiting (on a real desktop the
// desktop's menus answer instead). This is the one part of the program that
// uses the layer's test controls. Thread-safe.
#pragma once

#include <windows.h>

#include <string>

class CWindow;

// Reads the variables and starts what they ask for; once, at start-up.
void StartReviewerHooks();

// What a "snap" line does: the program's snapshot taker installs itself
// (as for SIGUSR1); without one a "snap" is ignored. Called on the hook's
// thread: it must only hand the request on.
using SnapshotRequest = void (*)();
void SetSnapshotRequest(SnapshotRequest request);

// The snapshot folder (TWL_SNAPSHOT_DIR), empty when unset.
std::string GetSnapshotFolder();

// The text files of snapshot `number`: DIR/controls-<n>.txt of the main
// window (when there is one) and DIR/tray-<n>.txt. False when a file
// cannot be written or no folder is set.
bool WriteSnapshotTexts(CWindow* mainWindow, HINSTANCE program, int number);

// The next menu answer a "menu" line left, 0 (dismiss) when none waits.
UINT TakeMenuAnswer();
