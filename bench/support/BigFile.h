// Shared by the benchmarks that read a large file: one 256 MiB file of
// pseudo-random bytes in $TMPDIR (made on first use, in the page cache
// after the first pass, removed at exit), the programs of the program
// folder, and a benchmark that runs a shell command per iteration.
#pragma once

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace benchfile {

constexpr size_t kFileSize = 256u << 20;

class BigFile {
 public:
  BigFile() {
    const char* tmp = std::getenv("TMPDIR");
    m_Path = std::string(tmp && *tmp ? tmp : "/tmp") + "/twl-bigfile-bench-" + std::to_string(getpid()) + ".bin";
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

inline const std::string& FilePath() {
  static BigFile file;
  return file.Path();
}

// A program of the program folder, which lies beside the benchmark folder.
inline std::string ProgramPath(const std::string& name) {
  char self[4096];
  const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
  std::string path(self, length > 0 ? static_cast<size_t>(length) : 0);
  path = path.substr(0, path.find_last_of('/'));
  return path.substr(0, path.find_last_of('/')) + "/bin/" + name;
}

// The command line `'program' ARGS 'file' > /dev/null`.
inline std::string ToDevNull(const std::string& program, const char* args) {
  std::string command = "'";
  command.append(program).append("' ").append(args).append(" '").append(FilePath()).append("' > /dev/null");
  return command;
}

inline void RunShell(benchmark::State& state, const std::string& command) {
  for (auto _ : state) {
    if (std::system(command.c_str()) != 0) {
      state.SkipWithError(("failed: " + command).c_str());
      return;
    }
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kFileSize));
}

}  // namespace benchfile
