// CWindowHost: what the display layer's windows ask of the user interface
// above them: the drawable skin and the user-interface mode it is shown
// in, the aux windows with their modal stack, the skin's background
// brushes, the message pump of modal loops and the hidden window that owns
// the program's windows. The user interface installs its own at program
// start; until then (and in programs without one) a plain host answers:
// an empty skin, mode 0, a list of its own, no brushes, no owner, and a
// pump that only translates and dispatches.
//
// Threading: the user-interface thread.
#pragma once

#include <windows.h>

class CAuxWindow;
class CAuxWindowManager;
class CDDSkin;

class CWindowHost {
 public:
  virtual CDDSkin& GetDDSkin() = 0;
  virtual int GetMode() = 0;
  virtual CAuxWindowManager& GetAuxWindowManager() = 0;
  // One of the five skin backgrounds; null when the index is outside them.
  virtual HBRUSH GetBrush(int index) = 0;
  // Pushes the window onto the modal stack; answers the stack's depth.
  virtual int BeginModal(CAuxWindow* window) = 0;
  // False when the window was not modal.
  virtual bool EndModal(CAuxWindow* window) = 0;
  // Takes one message as the program's own loop does; answers what
  // GetMessageA answered.
  virtual BOOL PumpMessage() = 0;
  // Null when none.
  virtual HWND GetOwnerWindow() = 0;

 protected:
  ~CWindowHost() = default;
};

// Not owned; null puts the plain host back.
void SetWindowHost(CWindowHost* host);
CWindowHost& GetWindowHost();
