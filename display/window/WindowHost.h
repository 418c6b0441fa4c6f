// CWindowHost: what the display layer's windows ask of the user interface
// above them: the drawable skin and the user-interface mode it is shown
// in, the aux windows with their modal stack, the skin's background
// brushes, the message pump of modal loops and the hidden window that owns
// the program's windows. The user interface installs its own while the
// program loads; until then (and in programs without one) the plain
// answers below hold: an empty skin, mode 0, a list of aux windows of its
// own, no brushes, no owner, no full screen, and a pump that only
// translates and dispatches. A host overrides what it answers otherwise.
//
// Threading: the user-interface thread.
#pragma once

#include <windows.h>

class CAuxWindow;
class CAuxWindowManager;
class CDDSkin;

class CWindowHost {
 public:
  virtual CDDSkin& GetDDSkin();
  virtual int GetMode() { return 0; }
  virtual CAuxWindowManager& GetAuxWindowManager();
  // One of the five skin backgrounds; null when the index is outside them.
  virtual HBRUSH GetBrush(int index) { return nullptr; }
  // Pushes the window onto the modal stack; answers the stack's depth.
  virtual int BeginModal(CAuxWindow* window);
  // False when the window was not modal.
  virtual bool EndModal(CAuxWindow* window);
  // Takes one message as the program's own loop does; answers what
  // GetMessageA answered.
  virtual BOOL PumpMessage();
  // Null when none.
  virtual HWND GetOwnerWindow() { return nullptr; }
  // The tooltips' brushes (skin colours "TooltipBackground" and
  // "TooltipBorder"), owned by the host; null when it has none.
  virtual HBRUSH GetTooltipBackgroundBrush() { return nullptr; }
  virtual HBRUSH GetTooltipBorderBrush() { return nullptr; }
  // The program's shared list of 16 x 16 icons; null when it has none.
  virtual HIMAGELIST GetSmallIconList() { return nullptr; }
  // The font of the program's controls; null: the system's.
  virtual HFONT GetControlFont() { return nullptr; }
  // True while a view is full screen or its leave is still pending; no
  // tooltip shows then.
  virtual bool IsFullScreenActiveOrLeaving() { return false; }

 protected:
  ~CWindowHost() = default;
};

// Not owned; null puts the plain answers back.
void SetWindowHost(CWindowHost* host);
CWindowHost& GetWindowHost();
