// GetSystemInfo and GlobalMemoryStatus from what Linux reports.
#include <sched.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

#include "MemoryFigures.h"
#include "twlwin/sysinfo.h"

namespace twl {

namespace {

constexpr uint64_t kAddressSpace = 0x7FFFFFFEFFFFull;  // user addresses of a 64-bit process
constexpr DWORD kAllocationGranularity = 0x10000;

std::string ReadText(const char* path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The processor's family and model, as Windows reports them.
void FillProcessor(SYSTEM_INFO& info) {
#if defined(__x86_64__) || defined(__i386__)
  unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
  if (__get_cpuid(1, &eax, &ebx, &ecx, &edx)) {
    unsigned family = (eax >> 8) & 0xF;
    unsigned model = (eax >> 4) & 0xF;
    const unsigned stepping = eax & 0xF;
    if (family == 0xF) family += (eax >> 20) & 0xFF;
    if (family >= 6) model += ((eax >> 16) & 0xF) << 4;
    info.wProcessorLevel = static_cast<WORD>(family);
    info.wProcessorRevision = static_cast<WORD>((model << 8) | stepping);
  }
#endif
#if defined(__x86_64__)
  info.wProcessorArchitecture = PROCESSOR_ARCHITECTURE_AMD64;
  info.dwProcessorType = PROCESSOR_AMD_X8664;
#elif defined(__i386__)
  info.wProcessorArchitecture = PROCESSOR_ARCHITECTURE_INTEL;
  info.dwProcessorType = PROCESSOR_INTEL_PENTIUM;
#elif defined(__aarch64__)
  info.wProcessorArchitecture = PROCESSOR_ARCHITECTURE_ARM64;
#else
  info.wProcessorArchitecture = PROCESSOR_ARCHITECTURE_UNKNOWN;
#endif
}

void FillProcessors(SYSTEM_INFO& info) {
  cpu_set_t set;
  CPU_ZERO(&set);
  DWORD count = 0;
  DWORD_PTR mask = 0;
  if (sched_getaffinity(0, sizeof set, &set) == 0) {
    for (int cpu = 0; cpu < CPU_SETSIZE; ++cpu) {
      if (!CPU_ISSET(cpu, &set)) continue;
      ++count;
      if (cpu < static_cast<int>(8 * sizeof mask)) mask |= DWORD_PTR{1} << cpu;
    }
  }
  if (count == 0) {
    long online = sysconf(_SC_NPROCESSORS_ONLN);
    count = online > 0 ? static_cast<DWORD>(online) : 1;
    mask = count >= 8 * sizeof mask ? ~DWORD_PTR{0} : (DWORD_PTR{1} << count) - 1;
  }
  // The count is the machine's, as the system reports it to every program
  // whatever its affinity; the mask says where this process may run.
  const long configured = sysconf(_SC_NPROCESSORS_CONF);
  if (configured > 0) count = static_cast<DWORD>(configured);
  info.dwNumberOfProcessors = count;
  info.dwActiveProcessorMask = mask;
}

uint64_t SaturatingAdd(uint64_t a, uint64_t b) { return a > UINT64_MAX - b ? UINT64_MAX : a + b; }

}  // namespace

}  // namespace twl

TWLAPI void GetSystemInfo(LPSYSTEM_INFO info) {
  if (!info) return;
  std::memset(info, 0, sizeof *info);
  long page = sysconf(_SC_PAGESIZE);
  info->dwPageSize = page > 0 ? static_cast<DWORD>(page) : 4096;
  info->lpMinimumApplicationAddress = reinterpret_cast<LPVOID>(uintptr_t{twl::kAllocationGranularity});
  info->lpMaximumApplicationAddress = reinterpret_cast<LPVOID>(static_cast<uintptr_t>(twl::kAddressSpace));
  info->dwAllocationGranularity = twl::kAllocationGranularity;
  twl::FillProcessors(*info);
  twl::FillProcessor(*info);
}

TWLAPI void GlobalMemoryStatus(LPMEMORYSTATUS status) {
  if (!status) return;
  std::memset(status, 0, sizeof *status);
  status->dwLength = sizeof *status;
  twl::MemoryFigures figures = twl::ReadMemoryFigures(twl::ReadText("/proc/meminfo"));
  const uint64_t total = figures.total.value_or(0);
  const uint64_t available = std::min(figures.available.value_or(0), total);
  status->dwTotalPhys = total;
  status->dwAvailPhys = available;
  status->dwTotalPageFile = twl::SaturatingAdd(total, figures.swapTotal.value_or(0));
  status->dwAvailPageFile = twl::SaturatingAdd(available, figures.swapFree.value_or(0));
  if (total) status->dwMemoryLoad = static_cast<DWORD>(static_cast<unsigned __int128>(total - available) * 100 / total);
  status->dwTotalVirtual = twl::kAddressSpace - twl::kAllocationGranularity;
  uint64_t used = twl::ReadFigure(twl::ReadText("/proc/self/status"), "VmSize").value_or(0);
  status->dwAvailVirtual = status->dwTotalVirtual - std::min<uint64_t>(used, status->dwTotalVirtual);
}
