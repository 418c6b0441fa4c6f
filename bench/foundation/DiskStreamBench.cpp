// Reading a large file: through the disk stream in 64 KiB reads, through
// `fndtool cat`, and through the system's `cat`, all on the same 256 MiB
// file (in the page cache after the first pass), so the three throughputs
// can be compared directly. The goal for the stream is at least 90% of cat.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "foundation/streams/DiskFileStream.h"

namespace {

constexpr size_t kFileSize = 256u << 20;
constexpr DWORD kChunk = 64 * 1024;

// The test file, made on first use in $TMPDIR and removed at exit.
class BigFile {
 public:
  BigFile() {
    const char* tmp = std::getenv("TMPDIR");
    m_Path = std::string(tmp && *tmp ? tmp : "/tmp") + "/twl-diskstream-bench-" + std::to_string(getpid()) + ".bin";
    const int fd = open(m_Path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (fd < 0) {
      std::perror(m_Path.c_str());
      std::exit(1);
    }
    std::string block(1u << 20, '\0');
    unsigned state = 12345;
    for (size_t written = 0; written < kFileSize; written += block.size()) {
      for (char& byte : block) byte = static_cast<char>((state = state * 1103515245u + 12345u) >> 24);
      if (write(fd, block.data(), block.size()) != static_cast<ssize_t>(block.size())) {
        std::perror("write");
        std::exit(1);
      }
    }
    close(fd);
  }
  ~BigFile() { unlink(m_Path.c_str()); }
  const std::string& Path() const { return m_Path; }

 private:
  std::string m_Path;
};

const std::string& FilePath() {
  static BigFile file;
  return file.Path();
}

// fndtool lies in the program folder beside the benchmark folder.
std::string FndtoolPath() {
  char self[4096];
  const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
  std::string path(self, length > 0 ? static_cast<size_t>(length) : 0);
  path = path.substr(0, path.find_last_of('/'));
  return path.substr(0, path.find_last_of('/')) + "/bin/fndtool";
}

void RunShell(benchmark::State& state, const std::string& command) {
  for (auto _ : state) {
    if (std::system(command.c_str()) != 0) {
      state.SkipWithError(("failed: " + command).c_str());
      return;
    }
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kFileSize));
}

void BM_DiskStreamRead64K(benchmark::State& state) {
  const std::string& path = FilePath();
  auto buffer = std::make_unique<char[]>(kChunk);
  for (auto _ : state) {
    CDiskFileStream stream;
    stream.Open(path.c_str(), kStreamRead | kStreamShareRead, false);
    size_t total = 0;
    for (DWORD got = kChunk; got == kChunk;) {
      got = stream.Read(buffer.get(), kChunk);
      total += got;
    }
    stream.Close();
    benchmark::DoNotOptimize(total);
    if (total != kFileSize) state.SkipWithError("short read");
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kFileSize));
}
BENCHMARK(BM_DiskStreamRead64K)->Unit(benchmark::kMillisecond)->UseRealTime();

// The command line `'program' ARGS 'file' > /dev/null`.
std::string ToDevNull(const std::string& program, const char* args) {
  std::string command = "'";
  command.append(program).append("' ").append(args).append(" '").append(FilePath()).append("' > /dev/null");
  return command;
}

void BM_FndtoolCat(benchmark::State& state) { RunShell(state, ToDevNull(FndtoolPath(), "cat")); }
BENCHMARK(BM_FndtoolCat)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SystemCat(benchmark::State& state) { RunShell(state, ToDevNull("cat", "")); }
BENCHMARK(BM_SystemCat)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
