// Processes of one desktop see each other's top-level windows and reach
// them with WM_COPYDATA; a process that vanished leaves nothing behind;
// another desktop sees nothing.
#include <gtest/gtest.h>
#include <signal.h>

#include <functional>
#include <sys/wait.h>
#include <twlwin/testing.h>
#include <twlwin/testing_user.h>
#include <windows.h>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "SteppedClock.h"
#include "support/TestPaths.h"

namespace {

constexpr char kOwnerClass[] = "Desktop Test Owner Class";
constexpr ULONG_PTR kCommandLineTag = 4675;
constexpr LONG kMarker = 0x4B494C4E;

std::string received;
HWND receivedFrom = nullptr;

LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COPYDATA) {
    auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    if (data->dwData != kCommandLineTag) return 0;
    received.assign(static_cast<const char*>(data->lpData), data->cbData);
    receivedFrom = reinterpret_cast<HWND>(wParam);
    PostQuitMessage(0);
    return 1234;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

HWND CreateOwner(const char* title) {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = OwnerProc;
  wc.cbWndExtra = 24;
  wc.lpszClassName = kOwnerClass;
  RegisterClassExA(&wc);
  HWND window = CreateWindowExA(WS_EX_APPWINDOW, kOwnerClass, title, WS_POPUP | WS_VISIBLE, -500, -500, 0, 0, nullptr,
                                nullptr, nullptr, nullptr);
  SetWindowLongA(window, 4, kMarker);
  return window;
}

// Finds the first instance's window by its class and the marker in its
// extra bytes, as a second instance does.
HWND FindFirstInstance() {
  for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
    char name[64] = {};
    GetClassNameA(w, name, sizeof name);
    if (std::strcmp(name, kOwnerClass) == 0 && GetWindowLongA(w, 4) == kMarker) return w;
  }
  return nullptr;
}

std::string DesktopFolder() {
  char folder[1024] = {};
  TwlGetDesktopFolder(folder, sizeof folder);
  return folder;
}

int CountPublishedWindows() {
  int count = 0;
  for (auto& entry : std::filesystem::directory_iterator(DesktopFolder() + "/windows"))
    if (entry.path().extension() == ".win") ++count;
  return count;
}

}  // namespace

TWLTEST_CHILD(second_instance) {
  HWND first = FindFirstInstance();
  if (!first || first != FindWindowA(kOwnerClass, nullptr)) return 10;
  char title[64] = {};
  GetWindowTextA(first, title, sizeof title);
  if (std::string(title) != "First") return 11;
  std::string line = args.empty() ? "" : args[0];
  COPYDATASTRUCT data{kCommandLineTag, static_cast<DWORD>(line.size()), line.data()};
  LRESULT result = SendMessageA(first, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
  return result == 1234 ? 0 : 12;
}

TWLTEST_CHILD(vanishing_instance) {
  CreateOwner("Vanishing");
  kill(getpid(), SIGKILL);  // no clean-up runs
  return 1;
}

TWLTEST_CHILD(other_desktop) {
  setenv("TWL_DESKTOP", (twltest::SandboxDir() + "/other-desktop").c_str(), 1);
  return FindWindowA(kOwnerClass, nullptr) == nullptr && FindFirstInstance() == nullptr ? 0 : 20;
}

TEST(Desktop, SecondProcessFindsTheFirstAndItsCopyDataArrivesWhileItWaits) {
  HWND first = CreateOwner("First");
  ASSERT_TRUE(first);
  pid_t child = twltest::SpawnChild("second_instance", {"-play a.mp3"});
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  EXPECT_EQ(received, "-play a.mp3");
  int status = twltest::WaitChild(child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST(Desktop, AVanishedProcessIsForgotten) {
  int status = twltest::WaitChild(twltest::SpawnChild("vanishing_instance"));
  ASSERT_TRUE(WIFSIGNALED(status));
  EXPECT_EQ(CountPublishedWindows(), 1);  // its window record is still there
  EXPECT_EQ(FindWindowA(kOwnerClass, "Vanishing"), nullptr);
  EXPECT_EQ(CountPublishedWindows(), 0);
}

TEST(Desktop, AnotherDesktopSeesNoneOfOurWindows) {
  ASSERT_TRUE(CreateOwner("First"));
  ASSERT_EQ(FindWindowA(kOwnerClass, "First") != nullptr, true);
  int status = twltest::WaitChild(twltest::SpawnChild("other_desktop"));
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

namespace {

// This process's key on the desktop: the name of its liveness file.
std::string OwnProcessKey() {
  for (auto& entry : std::filesystem::directory_iterator(DesktopFolder() + "/windows"))
    if (entry.path().extension() == ".alive") return entry.path().stem().string();
  return "";
}

std::string KernelWaitOf(pid_t thread) {
  std::ifstream in("/proc/self/task/" + std::to_string(thread) + "/wchan");
  std::string where;
  std::getline(in, where);
  return where;
}

bool WaitUntil(const std::function<bool()>& done, std::chrono::seconds limit) {
  auto deadline = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

}  // namespace

// A record file whose writing never finishes (a FIFO nobody reads stands
// where the record is written) must not hold up other threads: records are
// written with the window model free.
TEST(Desktop, WritingAWindowRecordHoldsUpNoOtherThread) {
  std::promise<HWND> made;
  std::promise<void> go;
  std::atomic<pid_t> moverThread{0};
  std::thread mover([&] {
    moverThread = gettid();
    HWND window = CreateOwner("Slow");
    made.set_value(window);
    go.get_future().wait();
    SetWindowPos(window, nullptr, 10, 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    DestroyWindow(window);
  });
  HWND window = made.get_future().get();
  ASSERT_TRUE(window);
  char name[32];
  std::snprintf(name, sizeof name, "/W%08x.win.tmp-", static_cast<unsigned>(reinterpret_cast<uintptr_t>(window)));
  std::string stuck = DesktopFolder() + "/windows" + name + OwnProcessKey();
  ASSERT_EQ(mkfifo(stuck.c_str(), 0600), 0) << stuck;
  go.set_value();
  ASSERT_TRUE(WaitUntil([&] { std::string where = KernelWaitOf(moverThread);
    return where == "wait_for_partner" || where == "fifo_open"; }, std::chrono::seconds(20)))
      << "the mover never started writing the record";

  std::atomic<bool> answered{false};
  std::thread asker([&] {
    RECT r;
    GetWindowRect(window, &r);
    answered = true;
  });
  bool answeredInTime = WaitUntil([&] { return answered.load(); }, std::chrono::seconds(10));
  // Let the writer finish whatever happened.
  int fd = open(stuck.c_str(), O_RDONLY);
  char sink[4096];
  while (fd >= 0 && read(fd, sink, sizeof sink) > 0) {
  }
  if (fd >= 0) close(fd);
  asker.join();
  mover.join();
  EXPECT_TRUE(answeredInTime) << "another thread waited for the record file";
}

TWLTEST_CHILD(raise_after_clock_step) {
  desktoptest::StepRealTimeClock(-86400);  // a day back
  HWND later = CreateOwner("Later");
  SetWindowPos(later, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  twltest::WriteFile(twltest::SandboxDir() + "/raised", "");
  for (int i = 0; i < 4000 && !std::filesystem::exists(twltest::SandboxDir() + "/done"); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  return 0;
}

TEST(Desktop, AWindowRaisedLaterIsHigherWhateverTheProcessesClocksSay) {
  HWND earlier = CreateOwner("Earlier");
  ASSERT_TRUE(earlier);
  pid_t child = twltest::SpawnChild("raise_after_clock_step");
  ASSERT_TRUE(WaitUntil([] { return std::filesystem::exists(twltest::SandboxDir() + "/raised"); },
                        std::chrono::seconds(20)));
  HWND later = FindWindowA(kOwnerClass, "Later");
  EXPECT_NE(later, nullptr);
  EXPECT_EQ(GetTopWindow(nullptr), later);
  EXPECT_EQ(GetWindow(later, GW_HWNDNEXT), earlier);
  twltest::WriteFile(twltest::SandboxDir() + "/done", "");
  int status = twltest::WaitChild(child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}

namespace {

long ResidentKilobytes() {
  std::ifstream in("/proc/self/status");
  std::string line;
  while (std::getline(in, line))
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  return -1;
}

// A connection to this process's own WM_COPYDATA socket.
int ConnectToOwnSocket() {
  const std::string path = DesktopFolder() + "/windows/" + OwnProcessKey() + ".sock";
  int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (fd < 0 || path.size() >= sizeof address.sun_path) return -1;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

// The request header of a cross-process WM_COPYDATA: magic, window, sender,
// payload size, tag.
std::vector<unsigned char> RequestHeader(uint32_t window, uint32_t size) {
  std::vector<unsigned char> bytes;
  auto put = [&bytes](uint64_t value, int width) {
    for (int i = 0; i < width; ++i) bytes.push_back(static_cast<unsigned char>(value >> (8 * i)));
  };
  put(0x43574C54, 4);
  put(window, 4);
  put(0, 4);
  put(size, 4);
  put(kCommandLineTag, 8);
  return bytes;
}

}  // namespace

// Local processes that connect and hang up, or that announce 64 MiB and
// send nothing, cost only their own connection: no SIGPIPE ends this
// process, no memory is taken for what never arrives, and a real sender
// still gets through.
TEST(Desktop, PeersThatHangUpOrClaimWhatTheyNeverSendCostOnlyTheirConnection) {
  HWND first = CreateOwner("First");
  ASSERT_TRUE(first);
  const uint32_t id = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(first));
  for (int i = 0; i < 20; ++i) {
    const int fd = ConnectToOwnSocket();
    ASSERT_GE(fd, 0);
    const std::vector<unsigned char> half = RequestHeader(id, 16);
    ASSERT_EQ(write(fd, half.data(), 10), 10);
    close(fd);  // the reply finds nobody
  }

  const long before = ResidentKilobytes();
  std::vector<int> claims;
  for (int i = 0; i < 8; ++i) {
    const int fd = ConnectToOwnSocket();
    ASSERT_GE(fd, 0);
    const std::vector<unsigned char> header = RequestHeader(id, 64u << 20);
    ASSERT_EQ(write(fd, header.data(), header.size()), static_cast<ssize_t>(header.size()));
    claims.push_back(fd);
  }
  std::this_thread::sleep_for(std::chrono::seconds(1));
  const long during = ResidentKilobytes();
  for (int fd : claims) close(fd);
  EXPECT_LT(during - before, 64 * 1024) << "kilobytes taken for 8 x 64 MiB that never came";

  pid_t child = twltest::SpawnChild("second_instance", {"-p"});
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  EXPECT_EQ(received, "-p");
  const int status = twltest::WaitChild(child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}
