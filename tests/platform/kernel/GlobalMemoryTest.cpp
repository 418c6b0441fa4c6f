// Global memory blocks: page-aligned and zero-filled (they go to device
// I/O as they are), foreign handles refused, and a failure a test asks for.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>

#include "twlwin/testing.h"

namespace {

TEST(GlobalMemoryTest, BlocksArePageAlignedZeroFilledAndFixed) {
  const SIZE_T sizes[] = {0, 1, 4096, 310000};
  for (SIZE_T size : sizes) {
    HGLOBAL block = GlobalAlloc(GMEM_FIXED, size);
    ASSERT_NE(block, nullptr) << size;
    auto* bytes = static_cast<uint8_t*>(GlobalLock(block));
    ASSERT_EQ(static_cast<void*>(bytes), static_cast<void*>(block)) << "a fixed block's handle is its address";
    EXPECT_EQ(reinterpret_cast<uintptr_t>(bytes) % 4096, 0u) << size;
    for (SIZE_T i = 0; i < size; ++i) ASSERT_EQ(bytes[i], 0) << size << " at " << i;
    EXPECT_EQ(GlobalSize(block), size);
    EXPECT_FALSE(GlobalUnlock(block));
    EXPECT_EQ(GlobalFree(block), nullptr);
  }
}

TEST(GlobalMemoryTest, ForeignHandlesAndExhaustionAreRefused) {
  int local = 0;
  HGLOBAL foreign = reinterpret_cast<HGLOBAL>(&local);
  EXPECT_EQ(GlobalLock(foreign), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_EQ(GlobalFree(foreign), foreign);
  EXPECT_EQ(GlobalSize(foreign), 0u);

  EXPECT_EQ(GlobalAlloc(GPTR, SIZE_T{1} << 50), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));

  TwlTestFailGlobalAlloc(1);
  HGLOBAL first = GlobalAlloc(GPTR, 16);
  EXPECT_NE(first, nullptr);
  EXPECT_EQ(GlobalAlloc(GPTR, 16), nullptr);
  HGLOBAL third = GlobalAlloc(GPTR, 16);
  EXPECT_NE(third, nullptr);
  GlobalFree(first);
  GlobalFree(third);
}

TEST(GlobalMemoryTest, SystemErrorTextsForCodes) {
  char text[128] = {};
  const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                      ERROR_FILE_NOT_FOUND, 0, text, sizeof text, nullptr);
  EXPECT_STREQ(text, "The file cannot be found.\r\n");
  EXPECT_EQ(length, 27u);
  FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, 99999, 0, text, sizeof text, nullptr);
  EXPECT_STREQ(text, "System error 99999.\r\n");
  char tiny[4];
  EXPECT_EQ(FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, ERROR_FILE_NOT_FOUND, 0, tiny, sizeof tiny, nullptr),
            0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(FormatMessageA(FORMAT_MESSAGE_FROM_STRING, "x", 0, 0, text, sizeof text, nullptr), 0u);
}

}  // namespace
