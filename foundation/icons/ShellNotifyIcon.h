// CShellNotifyIcon: the data of one icon in the taskbar's notification area
// (the tray) and the promise that the icon goes when its holder goes. The
// owner fills the data and adds and removes the icon itself with
// Shell_NotifyIconA, setting `m_Shown` after a successful NIM_ADD and
// clearing it after a successful NIM_DELETE; the holder only starts clean
// and, when destroyed while the icon is shown, removes it.
//
// One thread (the owner's) uses a holder.
#pragma once

#include <windows.h>

#include "foundation/kernel/TypedObject.h"

class CShellNotifyIcon : public CTypedObject {
  TWL_DECLARE_CLASS(CShellNotifyIcon)
 public:
  // No window, id, flags, message, icon or tip; not shown.
  CShellNotifyIcon();
  CShellNotifyIcon(const CShellNotifyIcon&) = delete;
  CShellNotifyIcon& operator=(const CShellNotifyIcon&) = delete;
  ~CShellNotifyIcon() override;

  NOTIFYICONDATAA m_NotifyIconData;
  BYTE m_Shown = FALSE;
};
