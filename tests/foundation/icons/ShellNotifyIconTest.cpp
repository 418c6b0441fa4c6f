#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <memory>

#include "foundation/icons/ShellNotifyIcon.h"
#include "twlwin/testing_gdi.h"

namespace {

// The tray model tells icons apart by window and id only.
HWND const kWindow = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x4440));

NOTIFYICONDATAA TrayData(UINT id) {
  NOTIFYICONDATAA data{};
  data.cbSize = NOTIFYICONDATAA_V1_SIZE;
  data.hWnd = kWindow;
  data.uID = id;
  data.uFlags = NIF_TIP;
  std::strcpy(data.szTip, "tip");
  return data;
}

TEST(ShellNotifyIcon, StartsWithCleanDataAndNotShown) {
  CShellNotifyIcon holder;
  const NOTIFYICONDATAA& data = holder.m_NotifyIconData;
  EXPECT_EQ(data.cbSize, 88u);
  EXPECT_EQ(data.hWnd, nullptr);
  EXPECT_EQ(data.uID, 0u);
  EXPECT_EQ(data.uFlags, 0u);
  EXPECT_EQ(data.uCallbackMessage, 0u);
  EXPECT_EQ(data.hIcon, nullptr);
  EXPECT_STREQ(data.szTip, "");
  EXPECT_FALSE(holder.m_Shown);
}

// The owner adds the icon with the holder's data and marks it shown, as the
// main window does; the holder's end must then take the icon away.
TEST(ShellNotifyIcon, DestructionRemovesTheIconOnlyWhenShown) {
  // Another owner's icon under the same window and id: a holder that never
  // showed its icon must leave it alone.
  NOTIFYICONDATAA foreign = TrayData(7);
  ASSERT_TRUE(Shell_NotifyIconA(NIM_ADD, &foreign));
  {
    CShellNotifyIcon holder;
    holder.m_NotifyIconData = TrayData(7);
  }
  ASSERT_EQ(TwlTestGetNotifyIconCount(), 1u);
  ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &foreign));

  auto shown = std::make_unique<CShellNotifyIcon>();
  shown->m_NotifyIconData = TrayData(1);
  ASSERT_TRUE(Shell_NotifyIconA(NIM_ADD, &shown->m_NotifyIconData));
  shown->m_Shown = TRUE;
  auto hidden = std::make_unique<CShellNotifyIcon>();
  hidden->m_NotifyIconData = TrayData(2);
  ASSERT_TRUE(Shell_NotifyIconA(NIM_ADD, &hidden->m_NotifyIconData));
  hidden->m_Shown = TRUE;
  ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &hidden->m_NotifyIconData));  // the owner took it away itself
  hidden->m_Shown = FALSE;
  EXPECT_EQ(TwlTestGetNotifyIconCount(), 1u);

  shown.reset();
  EXPECT_EQ(TwlTestGetNotifyIconCount(), 0u);
  hidden.reset();
  EXPECT_EQ(TwlTestGetNotifyIconCount(), 0u);
}

}  // namespace
