// Crashes on purpose in child processes: the child's filter writes what it
// got with write(2) into a file that the test then reads.
#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <windows.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <thread>

#include "CrashFaults.h"
#include "support/TestPaths.h"

namespace {

// --- The child's side: everything the filter uses is set up before. ---

int reportFile = -1;
LONG filterAnswer = EXCEPTION_EXECUTE_HANDLER;
MODULEENTRY32 moduleEntry;  // no allocation inside the filter

void Put(const char* text) {
  ssize_t ignored = write(reportFile, text, strlen(text));
  (void)ignored;
}

void PutNumber(const char* name, uint64_t value) {
  char text[32];
  int at = sizeof text;
  text[--at] = '\0';
  text[--at] = '\n';
  do {
    text[--at] = "0123456789abcdef"[value & 0xF];
    value >>= 4;
  } while (value);
  Put(name);
  Put("=");
  Put(text + at);
}

const char* ModuleOf(uintptr_t address) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return "snapshot-failed";
  moduleEntry.dwSize = sizeof moduleEntry;
  for (BOOL more = Module32First(snapshot, &moduleEntry); more; more = Module32Next(snapshot, &moduleEntry)) {
    auto base = reinterpret_cast<uintptr_t>(moduleEntry.modBaseAddr);
    if (base <= address && address < base + moduleEntry.modBaseSize) return moduleEntry.szModule;
  }
  return "none";
}

LONG WINAPI ReportingFilter(EXCEPTION_POINTERS* exception) {
  const EXCEPTION_RECORD& record = *exception->ExceptionRecord;
  const CONTEXT& context = *exception->ContextRecord;
  PutNumber("code", record.ExceptionCode);
  PutNumber("flags", record.ExceptionFlags);
  PutNumber("address", reinterpret_cast<uintptr_t>(record.ExceptionAddress));
  PutNumber("parameters", record.NumberParameters);
  for (DWORD i = 0; i < record.NumberParameters && i < 2; ++i) PutNumber(i ? "p1" : "p0", record.ExceptionInformation[i]);
  PutNumber("rip", context.Rip);
  PutNumber("eip", context.Eip);
  PutNumber("rsp", context.Rsp);
  PutNumber("flagsOfContext", context.ContextFlags);
  PutNumber("segcs", context.SegCs);
  PutNumber("mxcsr", *reinterpret_cast<const uint32_t*>(context.ExtendedRegisters + 24));
  PutNumber("control", context.FloatSave.ControlWord);
  PutNumber("thread", static_cast<uint64_t>(syscall(SYS_gettid)));
  Put("module=");
  Put(ModuleOf(reinterpret_cast<uintptr_t>(record.ExceptionAddress)));
  Put("\n");
  if (filterAnswer == EXCEPTION_CONTINUE_EXECUTION) {
    exception->ContextRecord->Rip = reinterpret_cast<uintptr_t>(&twltest_after_read);
    exception->ContextRecord->Rax = 42;
  }
  return filterAnswer;
}

void PreviousHandler(int, siginfo_t*, void*) {
  Put("previous=1\n");
  _exit(7);
}

volatile bool keepRecursing = true;

[[gnu::noinline]] int Recurse(int depth) {
  volatile char frame[256];
  frame[0] = static_cast<char>(depth);
  return keepRecursing ? Recurse(depth + 1) + frame[0] : 0;
}

void TouchTruncatedMapping() {
  std::string path = twltest::SandboxDir() + "/mapped";
  int file = open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0600);
  if (ftruncate(file, 4096) != 0) _exit(90);
  auto* bytes = static_cast<volatile char*>(mmap(nullptr, 4096, PROT_READ, MAP_SHARED, file, 0));
  if (ftruncate(file, 0) != 0) _exit(91);
  PutNumber("mapped", reinterpret_cast<uintptr_t>(bytes));
  (void)bytes[0];
}

uint64_t AddressOf(void (*function)()) { return reinterpret_cast<uintptr_t>(function); }
uint64_t AddressOf(int (*function)()) { return reinterpret_cast<uintptr_t>(function); }

// Where each kind of fault happens, in this process.
uint64_t FaultingInstruction(const std::string& kind) {
  if (kind == "read" || kind == "thread") return AddressOf(twltest_read_0x10);
  if (kind == "write") return AddressOf(twltest_write_0x20);
  if (kind == "noncanonical") return AddressOf(twltest_noncanonical_at);
  if (kind == "divide") return AddressOf(twltest_divide_at);
  if (kind == "illegal") return AddressOf(twltest_illegal_instruction);
  if (kind == "resume") return AddressOf(twltest_read_then_return);
  return 0;
}

void Crash(const std::string& kind) {
  PutNumber("crasher", static_cast<uint64_t>(syscall(SYS_gettid)));
  PutNumber("expected", FaultingInstruction(kind));
  if (kind == "read") twltest_read_0x10();
  if (kind == "write") twltest_write_0x20();
  if (kind == "execute") {
    void (*nowhere)() = nullptr;
    asm volatile("" : "+r"(nowhere));
    nowhere();
  }
  if (kind == "noncanonical") twltest_read_noncanonical();
  if (kind == "divide") twltest_divide_by_zero();
  if (kind == "illegal") twltest_illegal_instruction();
  if (kind == "abort") abort();
  if (kind == "bus") TouchTruncatedMapping();
  if (kind == "overflow") Recurse(0);
  if (kind == "thread") std::thread([] { Crash("read"); }).join();
  if (kind == "layer_thread_overflow") {
    HANDLE thread = CreateThread(nullptr, 0, [](LPVOID) -> DWORD { return static_cast<DWORD>(Recurse(0)); }, nullptr,
                                 0, nullptr);
    WaitForSingleObject(thread, INFINITE);
  }
  if (kind == "resume") {
    int value = twltest_read_then_return();
    PutNumber("resumed", static_cast<uint64_t>(value));
    _exit(value == 42 ? 0 : 1);
  }
}

// args: what to do, the filter's answer, the report file.
TWLTEST_CHILD(crash) {
  reportFile = open(args.at(2).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND, 0600);
  filterAnswer = std::atoi(args.at(1).c_str());
  if (filterAnswer == EXCEPTION_CONTINUE_SEARCH) {
    struct sigaction previous {};
    previous.sa_sigaction = PreviousHandler;
    previous.sa_flags = SA_SIGINFO;
    sigaction(SIGSEGV, &previous, nullptr);
  }
  SetUnhandledExceptionFilter(ReportingFilter);
  Crash(args.at(0));
  return 99;  // did not crash
}

// --- The test's side. ---

struct Report {
  int status = 0;
  std::map<std::string, std::string> fields;

  uint64_t Number(const std::string& name) const {
    auto found = fields.find(name);
    return found == fields.end() ? 0xBAD0BAD0BAD0ull : std::strtoull(found->second.c_str(), nullptr, 16);
  }
  bool Has(const std::string& name) const { return fields.count(name) != 0; }
  std::string Text(const std::string& name) const {
    auto found = fields.find(name);
    return found == fields.end() ? "" : found->second;
  }
};

// A filter that lets a fault repeat forever would hang the test.
int WaitAtMostAMinute(pid_t child) {
  for (int tenths = 0; tenths < 600; ++tenths) {
    int status = 0;
    if (waitpid(child, &status, WNOHANG) == child) return status;
    usleep(100000);
  }
  kill(child, SIGKILL);
  ADD_FAILURE() << "the crashing child did not end";
  return twltest::WaitChild(child);
}

// Under AddressSanitizer the child must not get the sanitizer's alternate
// stacks: the layer's own are what the tests are about.
void KeepSanitizerOffTheSignalStacks() {
  const char* options = std::getenv("ASAN_OPTIONS");
  std::string joined = options && *options ? std::string(options) + ":" : std::string();
  setenv("ASAN_OPTIONS", (joined + "use_sigaltstack=0").c_str(), 1);
}

Report RunCrash(const std::string& kind, LONG answer = EXCEPTION_EXECUTE_HANDLER) {
  KeepSanitizerOffTheSignalStacks();
  std::string path = twltest::MakeTempDir("crash") + "/report";
  Report report;
  report.status = WaitAtMostAMinute(twltest::SpawnChild("crash", {kind, std::to_string(answer), path}));
  std::string text = twltest::ReadFile(path);
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    size_t equals = line.find('=');
    if (equals != std::string::npos) report.fields[line.substr(0, equals)] = line.substr(equals + 1);
    start = end + 1;
  }
  return report;
}

bool KilledBy(int status, int signal) { return WIFSIGNALED(status) && WTERMSIG(status) == signal; }

TEST(CrashFilter, SeesAReadAccessViolationWithTheFaultingAddress) {
  Report report = RunCrash("read");
  EXPECT_EQ(report.Number("code"), 0xC0000005u);
  EXPECT_EQ(report.Number("flags"), 0u);
  EXPECT_EQ(report.Number("parameters"), 2u);
  EXPECT_EQ(report.Number("p0"), 0u) << "a read";
  EXPECT_EQ(report.Number("p1"), 0x10u) << "the address read";
  EXPECT_EQ(report.Number("address"), report.Number("expected")) << "the faulting instruction";
  EXPECT_EQ(report.Number("rip"), report.Number("address"));
  EXPECT_EQ(report.Number("eip"), report.Number("address") & 0xFFFFFFFFu);
  EXPECT_EQ(report.Number("thread"), report.Number("crasher"));
  EXPECT_EQ(report.Text("module"), "test_platform_crash");
  EXPECT_EQ(report.Number("flagsOfContext"), 0x1002Fu) << "control, integer, segments, x87 and extended";
  EXPECT_NE(report.Number("segcs"), 0u);
  EXPECT_EQ(report.Number("mxcsr") & 0xFFC0u, 0x1F80u & 0xFFC0u) << "the SSE control word's masks";
  EXPECT_EQ(report.Number("control"), 0x37Fu) << "the x87 control word as the process starts";
  EXPECT_TRUE(KilledBy(report.status, SIGSEGV)) << "EXCEPTION_EXECUTE_HANDLER ends the process by its signal";
}

TEST(CrashFilter, TellsEachKindOfFault) {
  const struct {
    const char* kind;
    uint64_t code;
    int signal;
    uint64_t parameters;
    uint64_t access;
    uint64_t target;
  } cases[] = {
      {"write", 0xC0000005u, SIGSEGV, 2, 1, 0x20},
      {"execute", 0xC0000005u, SIGSEGV, 2, 8, 0},
      {"noncanonical", 0xC0000005u, SIGSEGV, 2, 0, ~uint64_t{0}},
      {"divide", 0xC0000094u, SIGFPE, 0, 0, 0},
      {"illegal", 0xC000001Du, SIGILL, 0, 0, 0},
  };
  for (const auto& c : cases) {
    Report report = RunCrash(c.kind);
    EXPECT_EQ(report.Number("code"), c.code) << c.kind;
    EXPECT_EQ(report.Number("address"), report.Number("expected")) << c.kind;
    EXPECT_EQ(report.Number("parameters"), c.parameters) << c.kind;
    if (c.parameters) {
      EXPECT_EQ(report.Number("p0"), c.access) << c.kind;
      EXPECT_EQ(report.Number("p1"), c.target) << c.kind;
    }
    EXPECT_TRUE(KilledBy(report.status, c.signal)) << c.kind;
  }
}

TEST(CrashFilter, SeesAnAbortAsNoncontinuable) {
  Report report = RunCrash("abort", EXCEPTION_CONTINUE_EXECUTION);
  EXPECT_EQ(report.Number("code"), 0x40000015u);
  EXPECT_EQ(report.Number("flags"), 1u);
  EXPECT_TRUE(KilledBy(report.status, SIGABRT)) << "an abort cannot be continued";
}

TEST(CrashFilter, SeesAPageOfATruncatedFileAsInPageError) {
  Report report = RunCrash("bus");
  EXPECT_EQ(report.Number("code"), 0xC0000006u);
  EXPECT_EQ(report.Number("p1"), report.Number("mapped"));
  EXPECT_TRUE(KilledBy(report.status, SIGBUS));
}

TEST(CrashFilter, RunsOnAnAlternateStackWhenTheStackOverflows) {
  Report report = RunCrash("overflow");
  EXPECT_EQ(report.Number("code"), 0xC00000FDu);
  EXPECT_EQ(report.Number("p0"), 1u) << "the overflow writes";
  EXPECT_TRUE(KilledBy(report.status, SIGSEGV));
}

TEST(CrashFilter, ThreadsOfTheLayerHaveAnAlternateStackToo) {
  Report report = RunCrash("layer_thread_overflow");
  EXPECT_EQ(report.Number("code"), 0xC00000FDu);
  EXPECT_NE(report.Number("thread"), report.Number("crasher")) << "the filter ran on the thread that overflowed";
  EXPECT_TRUE(KilledBy(report.status, SIGSEGV));
}

TEST(CrashFilter, RunsOnTheCrashingThread) {
  Report report = RunCrash("thread");
  EXPECT_EQ(report.Number("code"), 0xC0000005u);
  EXPECT_EQ(report.Number("thread"), report.Number("crasher"));
  EXPECT_TRUE(KilledBy(report.status, SIGSEGV));
}

TEST(CrashFilter, ContinueExecutionGoesOnWithTheChangedRegisters) {
  Report report = RunCrash("resume", EXCEPTION_CONTINUE_EXECUTION);
  EXPECT_EQ(report.Number("code"), 0xC0000005u);
  EXPECT_EQ(report.Number("resumed"), 42u);
  EXPECT_TRUE(WIFEXITED(report.status) && WEXITSTATUS(report.status) == 0);
}

TEST(CrashFilter, ContinueSearchHandsTheSignalToTheHandlerBefore) {
  Report report = RunCrash("read", EXCEPTION_CONTINUE_SEARCH);
  EXPECT_EQ(report.Number("code"), 0xC0000005u);
  EXPECT_EQ(report.Text("previous"), "1");
  EXPECT_TRUE(WIFEXITED(report.status) && WEXITSTATUS(report.status) == 7);
}

LONG WINAPI FirstFilter(EXCEPTION_POINTERS*) { return EXCEPTION_CONTINUE_SEARCH; }
LONG WINAPI SecondFilter(EXCEPTION_POINTERS*) { return EXCEPTION_EXECUTE_HANDLER; }

TEST(CrashFilter, InstallingAnswersTheFilterItReplaces) {
  EXPECT_EQ(SetUnhandledExceptionFilter(FirstFilter), nullptr);
  EXPECT_EQ(SetUnhandledExceptionFilter(SecondFilter), &FirstFilter);
  EXPECT_EQ(SetUnhandledExceptionFilter(nullptr), &SecondFilter);
}

}  // namespace
