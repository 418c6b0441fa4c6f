// A second start of twl that hands its commands to the running instance:
// from exec to its exit code 1, with the program warm (run once before).
// A first instance runs, headless, from a program folder and a desktop of
// its own for the whole benchmark. The goal is under 100 ms a start.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

namespace fs = std::filesystem;

namespace {

struct Place {
  fs::path folder;
  pid_t first = -1;
};

Place* started = nullptr;

// Runs folder/twl with the arguments; its output goes nowhere.
pid_t Spawn(const fs::path& folder, const char* argument) {
  const std::string program = (folder / "twl").string();
  const pid_t pid = fork();
  if (pid == 0) {
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, 1);
    dup2(null, 2);
    if (argument)
      execl(program.c_str(), program.c_str(), argument, static_cast<char*>(nullptr));
    else
      execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  return pid;
}

int ExitCode(pid_t pid) {
  int status = 0;
  if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

bool LogSays(const fs::path& log, const std::string& text) {
  std::ifstream in(log);
  const std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return content.find(text) != std::string::npos;
}

// A program folder with twl and the platform library, a desktop and a
// registry in a temporary folder, and the first instance started there.
Place& RunningInstance() {
  static Place place = [] {
    Place made;
    char pattern[] = "/tmp/twl-forward-bench-XXXXXX";
    made.folder = mkdtemp(pattern);
    fs::create_directories(made.folder / "PlugIns");
    fs::copy_file(fs::path(TWL_PROGRAM_DIR) / "twl", made.folder / "twl");
    fs::copy_file(fs::path(TWL_PROGRAM_DIR) / "libtwlwin.so", made.folder / "libtwlwin.so");
    setenv("TWL_HEADLESS", "1", 1);
    setenv("TWL_SOUND_SINK", "null", 1);
    setenv("TWL_DESKTOP", (made.folder / "desktop").c_str(), 1);
    setenv("TWL_REGISTRY", (made.folder / "registry.sqlite").c_str(), 1);
    made.first = Spawn(made.folder, nullptr);
    for (int wait = 0; wait < 3000 && !LogSays(made.folder / "Log.txt", "START INITIALIZATIONS DONE"); ++wait)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return made;
  }();
  started = &place;
  return place;
}

void BM_ForwardingStart(benchmark::State& state) {
  Place& place = RunningInstance();
  if (!LogSays(place.folder / "Log.txt", "START INITIALIZATIONS DONE")) {
    state.SkipWithError("the first instance did not start");
    return;
  }
  if (ExitCode(Spawn(place.folder, "-s")) != 1) {  // warm: the files in the page cache
    state.SkipWithError("the start was not forwarded");
    return;
  }
  for (auto _ : state) {
    if (ExitCode(Spawn(place.folder, "-s")) != 1) {
      state.SkipWithError("the start was not forwarded");
      return;
    }
  }
}
BENCHMARK(BM_ForwardingStart)->Unit(benchmark::kMillisecond)->UseRealTime();

// Ends the first instance and removes its folder when the program ends.
struct CleanUp {
  ~CleanUp() {
    if (!started) return;
    if (started->first > 0) {
      kill(started->first, SIGTERM);
      waitpid(started->first, nullptr, 0);
    }
    std::error_code error;
    fs::remove_all(started->folder, error);
  }
} cleanUp;

}  // namespace
