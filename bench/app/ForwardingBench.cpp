// A second start of twl that hands its commands to the running instance:
// from exec to its exit code 1, with the program warm (run once before).
// A first instance runs, headless, from a program folder and a desktop of
// its own for the whole benchmark. The goal is under 100 ms a start. Also
// a forwarded line of 100 KB of faults, and ten thousand adds on one line.
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
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Place {
  fs::path folder;
  pid_t first = -1;
};

Place* started = nullptr;

// Runs folder/twl with the arguments; its output goes nowhere.
pid_t Spawn(const fs::path& folder, const std::vector<std::string>& arguments) {
  const std::string program = (folder / "twl").string();
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  const pid_t pid = fork();
  if (pid == 0) {
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, 1);
    dup2(null, 2);
    execv(program.c_str(), argv.data());
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
    made.first = Spawn(made.folder, {});
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
  if (ExitCode(Spawn(place.folder, {"-s"})) != 1) {  // warm: the files in the page cache
    state.SkipWithError("the start was not forwarded");
    return;
  }
  for (auto _ : state) {
    if (ExitCode(Spawn(place.folder, {"-s"})) != 1) {
      state.SkipWithError("the start was not forwarded");
      return;
    }
  }
}
BENCHMARK(BM_ForwardingStart)->Unit(benchmark::kMillisecond)->UseRealTime();

// A forwarded line of 100 KB: "-a" with 100,000 letters it does not know
// and a path. The goal is within a second or two.
void BM_ForwardingAHundredThousandUnknownLetters(benchmark::State& state) {
  Place& place = RunningInstance();
  const std::vector<std::string> line{"-a" + std::string(100000, 'q'), "/nowhere/none.wav"};
  for (auto _ : state) {
    if (ExitCode(Spawn(place.folder, line)) != 1) {
      state.SkipWithError("the start was not forwarded");
      return;
    }
  }
}
BENCHMARK(BM_ForwardingAHundredThousandUnknownLetters)->Unit(benchmark::kMillisecond)->UseRealTime();

// Ten thousand adds on one line, then a start that can only be answered
// once the running instance has put them into its playlist: the two
// starts together time the adds.
void BM_TenThousandAddsOnOneLine(benchmark::State& state) {
  Place& place = RunningInstance();
  std::vector<std::string> line;
  for (int i = 0; i < 10000; ++i) {
    line.push_back("-a");
    line.push_back("/nowhere/song" + std::to_string(i) + ".wav");
  }
  for (auto _ : state) {
    if (ExitCode(Spawn(place.folder, line)) != 1 || ExitCode(Spawn(place.folder, {"-s"})) != 1) {
      state.SkipWithError("the start was not forwarded");
      return;
    }
  }
}
BENCHMARK(BM_TenThousandAddsOnOneLine)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

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
