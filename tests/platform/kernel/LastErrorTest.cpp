#include <windows.h>
#include <gtest/gtest.h>

#include <thread>

TEST(LastError, IsKeptPerThread) {
  SetLastError(ERROR_ACCESS_DENIED);
  DWORD seenByOtherThread = 12345;
  std::thread other([&] {
    seenByOtherThread = GetLastError();
    SetLastError(ERROR_DISK_FULL);
  });
  other.join();
  EXPECT_EQ(seenByOtherThread, ERROR_SUCCESS);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
}
