// The icon slots: icons, icons of files and system image-list icons become
// indices of the program's icon list, and every failure answers 0.
#include <gtest/gtest.h>

#include "foundation/icons/IconManager.h"
#include "pluginhost/hostapi/HostApi.h"
#include "pluginhost/hostapi/HostEnvironment.h"
#include "support/SolidIcons.h"
#include "support/TestPaths.h"

namespace {

class IconListEnvironment : public CHostEnvironment {
 public:
  IconListEnvironment() {
    m_Icons.Init();
    SetHostEnvironment(this);
  }
  ~IconListEnvironment() override { SetHostEnvironment(nullptr); }
  CIconManager* GetIconManager() override { return &m_Icons; }
  CIconManager& Icons() { return m_Icons; }

 private:
  CIconManager m_Icons;
};

TEST(IconSlots, IconsBecomeIndicesOfTheProgramsList) {
  const HostApiTable& host = *GetHostApiTable();
  HICON red = twltest::SolidIcon(RGB(255, 0, 0));
  HICON blue = twltest::SolidIcon(RGB(0, 0, 255));
  EXPECT_EQ(host.HOST_AddIcon(red), 0) << "no list yet";

  IconListEnvironment environment;
  EXPECT_EQ(host.HOST_AddIcon(red), 0);
  EXPECT_EQ(host.HOST_AddIcon(blue), 1);
  EXPECT_EQ(host.HOST_AddIcon(red), 0) << "an icon is added once";
  EXPECT_EQ(twltest::DrawnColour(environment.Icons().GetImageList(), 1), RGB(0, 0, 255));

  const int32_t system = host.HOST_GetSystemIconIndex(3);
  EXPECT_EQ(system, environment.Icons().FindSystemIcon(3));
  EXPECT_EQ(host.HOST_GetSystemIconIndex(3), system);
  DestroyIcon(red);
  DestroyIcon(blue);
}

TEST(IconSlots, WhatCannotBeAddedAnswersZeroAndAddsNothing) {
  const HostApiTable& host = *GetHostApiTable();
  IconListEnvironment environment;
  HICON green = twltest::SolidIcon(RGB(0, 255, 0));
  ASSERT_EQ(host.HOST_AddIcon(green), 0);
  const int before = ImageList_GetImageCount(environment.Icons().GetImageList());
  EXPECT_EQ(host.HOST_AddIcon(nullptr), 0);
  EXPECT_EQ(host.HOST_GetSystemIconIndex(-1), 0);
  EXPECT_EQ(host.HOST_AddIconFromFile(nullptr, 0), 0);
  EXPECT_EQ(host.HOST_AddIconFromFile((twltest::SandboxDir() + "/missing.ico").c_str(), 0), 0);
  EXPECT_EQ(ImageList_GetImageCount(environment.Icons().GetImageList()), before);
  DestroyIcon(green);
}

}  // namespace
