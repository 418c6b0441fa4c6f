// Disk space in the Windows form: 512-byte sectors, clusters of the file
// system's fragment size, counts that saturate instead of wrapping, and a
// path not yet made answered by its nearest existing folder.
#include <gtest/gtest.h>
#include <sys/statvfs.h>
#include <windows.h>

#include "support/TestPaths.h"

namespace {

TEST(DiskSpaceTest, SectorsClustersAndSaturation) {
  const std::string folder = twltest::MakeTempDir("space");
  DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
  ASSERT_TRUE(GetDiskFreeSpaceA(folder.c_str(), &sectorsPerCluster, &bytesPerSector, &freeClusters, &totalClusters));
  EXPECT_EQ(bytesPerSector, 512u);
  struct statvfs info {};
  ASSERT_EQ(statvfs(folder.c_str(), &info), 0);
  EXPECT_EQ(uint64_t{sectorsPerCluster} * 512, uint64_t{info.f_frsize});
  const uint64_t clusters = uint64_t{info.f_bavail};
  if (clusters > 0xFFFFFFFFu)
    EXPECT_EQ(freeClusters, 0xFFFFFFFFu);
  else
    EXPECT_NEAR(static_cast<double>(freeClusters), static_cast<double>(clusters), 4096);

  DWORD notYetClusters = 0;
  EXPECT_TRUE(GetDiskFreeSpaceA((folder + "/new/deeper/file.iso").c_str(), nullptr, nullptr, &notYetClusters, nullptr));
  EXPECT_GT(notYetClusters, 0u);
  ULARGE_INTEGER free{}, total{};
  ASSERT_TRUE(GetDiskFreeSpaceExA(folder.c_str(), &free, &total, nullptr));
  EXPECT_GT(total.QuadPart, free.QuadPart);
  EXPECT_TRUE(GetDiskFreeSpaceA(nullptr, nullptr, &bytesPerSector, nullptr, nullptr));
}

}  // namespace
