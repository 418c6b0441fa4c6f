// Shell_NotifyIconA: the notification-area icons as a model.
#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

#include "twlwin/errors.h"
#include "twlwin/presenter.h"
#include "twlwin/shell.h"
#include "twlwin/testing_gdi.h"
#include "platform/user/ScreenEvents.h"
#include "twlwin/windowing.h"

namespace {

struct TrayIcons {
  std::mutex lock;
  std::vector<TWLTEST_NOTIFYICON> icons;
};

TrayIcons& Tray() {
  static auto* tray = new TrayIcons;
  return *tray;
}

void Apply(const NOTIFYICONDATAA& data, TWLTEST_NOTIFYICON* icon) {
  if (data.uFlags & NIF_MESSAGE) icon->uCallbackMessage = data.uCallbackMessage;
  if (data.uFlags & NIF_ICON) icon->hIcon = data.hIcon;
  if (data.uFlags & NIF_TIP) {
    // The tip may come without a terminating zero: never read past it.
    size_t length = strnlen(data.szTip, sizeof data.szTip - 1);
    std::memcpy(icon->szTip, data.szTip, length);
    icon->szTip[length] = '\0';
  }
}

BOOL ChangeTray(DWORD message, PNOTIFYICONDATAA data) {
  if (!data || (data->cbSize != NOTIFYICONDATAA_V1_SIZE && data->cbSize != sizeof(NOTIFYICONDATAA))) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  TrayIcons& tray = Tray();
  std::lock_guard guard(tray.lock);
  auto found = std::find_if(tray.icons.begin(), tray.icons.end(), [&](const TWLTEST_NOTIFYICON& icon) {
    return icon.hWnd == data->hWnd && icon.uID == data->uID;
  });
  bool exists = found != tray.icons.end();
  switch (message) {
    case NIM_ADD: {
      if (exists) break;
      TWLTEST_NOTIFYICON icon{};
      icon.hWnd = data->hWnd;
      icon.uID = data->uID;
      Apply(*data, &icon);
      tray.icons.push_back(icon);
      return TRUE;
    }
    case NIM_MODIFY:
      if (!exists) break;
      Apply(*data, &*found);
      return TRUE;
    case NIM_DELETE:
      if (!exists) break;
      tray.icons.erase(found);
      return TRUE;
    default: SetLastError(ERROR_INVALID_PARAMETER); return FALSE;
  }
  SetLastError(ERROR_INVALID_PARAMETER);
  return FALSE;
}

}  // namespace

// A presenter hears of every change that took.
TWLAPI BOOL Shell_NotifyIconA(DWORD message, PNOTIFYICONDATAA data) {
  BOOL changed = ChangeTray(message, data);
  if (changed) twl::user::TellDesktopChange(TWL_SCREEN_TRAY, data->hWnd);
  return changed;
}

TWLAPI UINT TwlGetNotifyIconCount() { return TwlTestGetNotifyIconCount(); }

TWLAPI BOOL TwlGetNotifyIcon(UINT index, TWLNOTIFYICON* icon) { return icon && TwlTestGetNotifyIcon(index, icon); }

TWLAPI UINT TwlTestGetNotifyIconCount() {
  TrayIcons& tray = Tray();
  std::lock_guard guard(tray.lock);
  return static_cast<UINT>(tray.icons.size());
}

TWLAPI BOOL TwlTestGetNotifyIcon(UINT index, TWLTEST_NOTIFYICON* icon) {
  TrayIcons& tray = Tray();
  std::lock_guard guard(tray.lock);
  if (!icon || index >= tray.icons.size()) return FALSE;
  *icon = tray.icons[index];
  return TRUE;
}

TWLAPI BOOL TwlTestPostNotifyIconMessage(UINT index, UINT mouseMessage) {
  TWLTEST_NOTIFYICON icon{};
  if (!TwlTestGetNotifyIcon(index, &icon) || icon.uCallbackMessage == 0) return FALSE;
  // Posted outside the tray's lock: the window may answer by changing icons.
  return PostMessageA(icon.hWnd, icon.uCallbackMessage, icon.uID, static_cast<LPARAM>(mouseMessage));
}
