// What the host API hands out of the program around it: its folders, its
// What the host API hands out of the program around it: its folders, its
// windows, its control font, its message box, its icon list and its file
// information. The application core installs an environment of its own at
// start, before plug-ins are loaded;
// until then the defaults answer: the folders beside the program ("PlugIns/"
// and "Skins/" in the program's folder), no owner window, the main window
// the application core has set, the system's GUI font, the platform's
// message box and no icon list; file information goes straight to the
// process's file info database.
//
// Threading: install before any plug-in runs; the answers may be asked
// from any thread.
#pragma once

#include <windows.h>

#include "foundation/kernel/Str.h"

class CIconManager;

class CHostEnvironment {
 public:
  virtual ~CHostEnvironment() = default;

  // Each ends with a path separator.
  virtual CStr GetProgramFolder();
  virtual CStr GetPlugInsFolder();
  virtual CStr GetSkinsFolder();
  // The hidden window that owns the program's windows; null when none.
  virtual HWND GetOwnerWindow();
  // The main window shown now; null when none.
  virtual HWND GetCurrentMainWindow();
  virtual HFONT GetControlFont();
  virtual int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT style);
  // The program's image list of icons; null when it has none.
  virtual CIconManager* GetIconManager() { return nullptr; }
  // What an identifier found about the file at `path` (priorities 0..255;
  // see CFileInfoDataBase::UpdateFileInfo).
  virtual void UpdateFileInfo(const char* path, const char* typeText, int textPriority, int typeIcon,
                              int iconPriority, int thirdValue, int thirdPriority);
};

// Not owned; null puts the defaults back.
void SetHostEnvironment(CHostEnvironment* environment);
CHostEnvironment& GetHostEnvironment();
