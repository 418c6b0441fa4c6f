// The desktop presenter's cost. Presenting a full 1024 x 768 change of a
// model window (reading the model's pixels straight into the real window's
// backing store and flushing it) against a plain Qt raster blit of the
// same pixels from a QImage: the presenter should reach at least 0.8 of
// the plain rate. And the CPU an idle twl on a desktop uses: with nothing
// changing, the presenter's thread sleeps in Qt's event loop and nothing
// polls, so the figure should be 0.
//
// Runs on the X server DISPLAY names, else on an Xvfb of its own.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QBackingStore>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QWindow>

#include <windows.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "RealWindow.h"
#include "twlwin/presenter.h"

extern char** environ;

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;
const RECT kAll{0, 0, kWidth, kHeight};

std::vector<pid_t> peers;

pid_t Spawn(std::vector<std::string> words, bool quiet = true) {
  std::vector<char*> argv;
  for (auto& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (quiet) {
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  }
  pid_t pid = 0;
  int rc = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  return rc == 0 ? pid : 0;
}

bool EnsureDisplay() {
  if (const char* display = std::getenv("DISPLAY"); display && *display) return true;
  int ready[2];
  if (pipe(ready) != 0) return false;
  fcntl(ready[0], F_SETFD, FD_CLOEXEC);
  pid_t server = Spawn({"Xvfb", "-displayfd", std::to_string(ready[1]), "-screen", "0", "1024x768x24", "-nolisten",
                        "tcp", "-br"});
  close(ready[1]);
  std::string number;
  char c = 0;
  while (server && read(ready[0], &c, 1) == 1 && c != '\n') number += c;
  close(ready[0]);
  if (number.empty()) return false;
  peers.push_back(server);
  setenv("DISPLAY", (":" + number).c_str(), 1);
  return true;
}

void WaitExposed(QWindow& window) {
  for (int turn = 0; turn < 500 && !window.isExposed(); ++turn)
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
}

// A shown model window covering the screen, painted in bands.
HWND ModelWindow() {
  static HWND window = [] {
    WNDCLASSA cls{};
    cls.lpfnWndProc = DefWindowProcA;
    cls.lpszClassName = "PresenterBenchWindow";
    RegisterClassA(&cls);
    HWND made = CreateWindowExA(0, "PresenterBenchWindow", "Bench", WS_POPUP | WS_VISIBLE, 0, 0, kWidth, kHeight,
                                nullptr, nullptr, nullptr, nullptr);
    HDC dc = GetWindowDC(made);
    for (int band = 0; band < 16; ++band) {
      RECT part{0, band * kHeight / 16, kWidth, (band + 1) * kHeight / 16};
      HBRUSH brush = CreateSolidBrush(RGB(band * 16, 255 - band * 16, 128));
      FillRect(dc, &part, brush);
      DeleteObject(brush);
    }
    ReleaseDC(made, dc);
    return made;
  }();
  return window;
}

void BM_PresentFullModelChange(benchmark::State& state) {
  twl::qt::RealWindow window(ModelWindow());
  window.FollowModel();
  WaitExposed(window);
  if (!window.isExposed()) state.SkipWithError("the window was never exposed");
  for (auto _ : state) window.Present(kAll);
  state.SetItemsProcessed(state.iterations());
  state.SetBytesProcessed(state.iterations() * int64_t{kWidth} * kHeight * 4);
}
BENCHMARK(BM_PresentFullModelChange)->Unit(benchmark::kMicrosecond);

class PlainWindow : public QWindow {
 public:
  PlainWindow() : store_(this) {
    setSurfaceType(QSurface::RasterSurface);
    setFlags(Qt::Window | Qt::FramelessWindowHint);
    setGeometry(0, 0, kWidth, kHeight);
  }
  void Blit(const QImage& image) {
    if (store_.size() != size()) store_.resize(size());
    QRect all(0, 0, kWidth, kHeight);
    store_.beginPaint(all);
    QPainter painter(store_.paintDevice());
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(0, 0, image);
    painter.end();
    store_.endPaint();
    store_.flush(all);
  }

 private:
  QBackingStore store_;
};

void BM_PlainQtRasterBlit(benchmark::State& state) {
  QImage image(kWidth, kHeight, QImage::Format_RGB32);
  TwlReadWindowPixels(ModelWindow(), &kAll, reinterpret_cast<DWORD*>(image.bits()), static_cast<int>(image.bytesPerLine()));
  PlainWindow window;
  window.show();
  WaitExposed(window);
  if (!window.isExposed()) state.SkipWithError("the window was never exposed");
  for (auto _ : state) window.Blit(image);
  state.SetItemsProcessed(state.iterations());
  state.SetBytesProcessed(state.iterations() * int64_t{kWidth} * kHeight * 4);
}
BENCHMARK(BM_PlainQtRasterBlit)->Unit(benchmark::kMicrosecond);

// User and system time of a process, in clock ticks.
long CpuTicks(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  auto close = text.rfind(')');
  if (close == std::string::npos) return -1;
  std::istringstream fields(text.substr(close + 2));
  std::string field;
  long utime = 0, stime = 0;
  for (int index = 3; fields >> field; ++index) {
    if (index == 14) utime = std::stol(field);
    if (index == 15) {
      stime = std::stol(field);
      break;
    }
  }
  return utime + stime;
}

bool Maps(pid_t pid, const char* library) {
  std::ifstream maps("/proc/" + std::to_string(pid) + "/maps");
  std::string text((std::istreambuf_iterator<char>(maps)), std::istreambuf_iterator<char>());
  return text.find(library) != std::string::npos;
}

std::string ProgramFolder() {
  char path[4096] = "";
  ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  std::string self(path, length > 0 ? static_cast<size_t>(length) : 0);
  return self.substr(0, self.find_last_of('/')) + "/../bin";
}

// twl started on the desktop, left alone for a while after it settled:
// the CPU it used in that time, per second of wall time.
void BM_IdleTwlCpu(benchmark::State& state) {
  char folder[] = "/tmp/twl-idle-XXXXXX";
  if (!mkdtemp(folder)) {
    state.SkipWithError("no temporary folder");
    return;
  }
  std::string sandbox = folder;
  setenv("TWL_DESKTOP", (sandbox + "/desktop").c_str(), 1);
  setenv("TWL_REGISTRY", (sandbox + "/registry.sqlite").c_str(), 1);
  setenv("XDG_RUNTIME_DIR", sandbox.c_str(), 1);
  setenv("TWL_SOUND_SINK", "null", 1);
  unsetenv("TWL_HEADLESS");
  setenv("DBUS_SESSION_BUS_ADDRESS", "disabled:", 1);  // no bus to start for Qt's accessibility
  pid_t twl = Spawn({ProgramFolder() + "/twl"});
  if (!twl) {
    state.SkipWithError("twl did not start");
    return;
  }
  std::this_thread::sleep_for(std::chrono::seconds(2));  // start-up settles
  const long ticksPerSecond = sysconf(_SC_CLK_TCK);
  const double seconds = 3.0;
  long used = 0;
  for (auto _ : state) {
    long before = CpuTicks(twl);
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    used = CpuTicks(twl) - before;
  }
  state.counters["presenter_loaded"] = Maps(twl, "libtwlqt") ? 1 : 0;
  state.counters["cpu_ms_per_s"] = 1000.0 * static_cast<double>(used) / static_cast<double>(ticksPerSecond) / seconds;
  kill(twl, SIGTERM);
  waitpid(twl, nullptr, 0);
  std::string remove = "rm -rf '" + sandbox + "'";
  if (std::system(remove.c_str()) != 0) state.SkipWithError("sandbox not removed");
}
BENCHMARK(BM_IdleTwlCpu)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("DBUS_SESSION_BUS_ADDRESS")) setenv("DBUS_SESSION_BUS_ADDRESS", "disabled:", 1);
  if (!EnsureDisplay()) {
    std::fprintf(stderr, "no X server: set DISPLAY or install Xvfb\n");
    return 1;
  }
  static char platformOption[] = "-platform";
  static char xcb[] = "xcb";
  std::vector<char*> qtArguments{argv[0], platformOption, xcb, nullptr};
  int qtCount = 3;
  QGuiApplication application(qtCount, qtArguments.data());
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  for (pid_t peer : peers) {
    kill(peer, SIGTERM);
    waitpid(peer, nullptr, 0);
  }
  return 0;
}
