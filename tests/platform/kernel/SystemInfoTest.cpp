// The machine's figures: processors and page size as Linux reports them,
// and memory from /proc/meminfo, whose reader takes any text.
#include <unistd.h>

#include <gtest/gtest.h>
#include <windows.h>

#include <bitset>
#include <string>

#include "platform/kernel/MemoryFigures.h"
#include "support/TestPaths.h"

TEST(SystemInfo, ProcessorsAndPagesAsLinuxCountsThem) {
  SYSTEM_INFO info{};
  GetSystemInfo(&info);
  std::string processors;
  ASSERT_EQ(twltest::RunCommand("nproc --all", &processors), 0);
  EXPECT_EQ(info.dwNumberOfProcessors, static_cast<DWORD>(std::stoul(processors)));
  // The mask holds the processors this process may run on.
  std::string usable;
  ASSERT_EQ(twltest::RunCommand("nproc", &usable), 0);
  if (info.dwNumberOfProcessors <= 64) {
    EXPECT_EQ(std::bitset<64>(info.dwActiveProcessorMask).count(), std::stoul(usable));
  }
  EXPECT_EQ(info.dwPageSize, static_cast<DWORD>(sysconf(_SC_PAGESIZE)));
  EXPECT_EQ(info.dwAllocationGranularity, 65536u);
  EXPECT_LT(info.lpMinimumApplicationAddress, info.lpMaximumApplicationAddress);
#if defined(__x86_64__)
  EXPECT_EQ(info.wProcessorArchitecture, PROCESSOR_ARCHITECTURE_AMD64);
  EXPECT_GE(info.wProcessorLevel, 6);
#endif
}

TEST(SystemInfo, MemoryAsTheKernelReportsIt) {
  MEMORYSTATUS status{};
  GlobalMemoryStatus(&status);
  std::string total;
  ASSERT_EQ(twltest::RunCommand("awk '/^MemTotal:/ {print $2}' /proc/meminfo", &total), 0);
  EXPECT_EQ(status.dwLength, sizeof status);
  EXPECT_EQ(status.dwTotalPhys, static_cast<SIZE_T>(std::stoull(total)) * 1024);
  EXPECT_LE(status.dwAvailPhys, status.dwTotalPhys);
  EXPECT_GT(status.dwAvailPhys, 0u);
  EXPECT_LE(status.dwMemoryLoad, 100u);
  EXPECT_GE(status.dwTotalPageFile, status.dwTotalPhys);
  EXPECT_LE(status.dwAvailVirtual, status.dwTotalVirtual);
  EXPECT_GT(status.dwTotalVirtual - status.dwAvailVirtual, 0u) << "this process uses some address space";
}

TEST(SystemInfo, TheMemoryReaderTakesAnyText) {
  const struct {
    const char* behaviour;
    const char* text;
    std::optional<uint64_t> total, available, swapTotal, swapFree;
  } cases[] = {
      {"a usual text", "MemTotal:  1000 kB\nMemFree: 100 kB\nMemAvailable:   600 kB\nSwapTotal: 50 kB\nSwapFree: 20 kB\n",
       1024000, 614400, 51200, 20480},
      {"without MemAvailable, free plus buffers and cache", "MemTotal: 1000 kB\nMemFree: 100 kB\nBuffers: 10 kB\nCached: 5 kB\n",
       1024000, 117760, std::nullopt, std::nullopt},
      {"no unit is bytes", "MemTotal: 4096\nMemAvailable: 10", 4096, 10, std::nullopt, std::nullopt},
      {"more available than there is", "MemTotal: 1 kB\nMemAvailable: 9 kB\nSwapTotal: 1 kB\nSwapFree: 2 kB", 1024,
       1024, 1024, 1024},
      {"a number past 64 bits", "MemTotal: 99999999999999999999 kB\n", std::nullopt, std::nullopt, std::nullopt,
       std::nullopt},
      {"kilobytes past 64 bits", "MemTotal: 18446744073709551615 kB\n", std::nullopt, std::nullopt, std::nullopt,
       std::nullopt},
      {"a name that only starts alike", "MemTotalX: 5 kB\nMemTotal: 6 kB", 6144, std::nullopt, std::nullopt,
       std::nullopt},
      {"lines without a value", "MemTotal:\nMemFree: kB\n: 7\nnothing", std::nullopt, std::nullopt, std::nullopt,
       std::nullopt},
      {"free parts that add past 64 bits", "MemFree: 18446744073709551615\nCached: 18446744073709551615",
       std::nullopt, 18446744073709551615ull, std::nullopt, std::nullopt},
  };
  for (const auto& c : cases) {
    twl::MemoryFigures figures = twl::ReadMemoryFigures(c.text);
    EXPECT_EQ(figures.total, c.total) << c.behaviour;
    EXPECT_EQ(figures.available, c.available) << c.behaviour;
    EXPECT_EQ(figures.swapTotal, c.swapTotal) << c.behaviour;
    EXPECT_EQ(figures.swapFree, c.swapFree) << c.behaviour;
  }
}
