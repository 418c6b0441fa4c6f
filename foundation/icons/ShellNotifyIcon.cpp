#include "foundation/icons/ShellNotifyIcon.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CShellNotifyIcon, CTypedObject)

CShellNotifyIcon::CShellNotifyIcon() : m_NotifyIconData{} {
  // The size of the record's first layout, which every version of the
  // shell accepts.
  m_NotifyIconData.cbSize = NOTIFYICONDATAA_V1_SIZE;
}

CShellNotifyIcon::~CShellNotifyIcon() {
  if (m_Shown && Shell_NotifyIconA(NIM_DELETE, &m_NotifyIconData)) m_Shown = FALSE;
}
