// A 256 MiB file from python3's http.server, and from pyftpdlib (the
// tests' FTP server), on 127.0.0.1, fetched by twltool hostcat --plugins
// --stats through Netvarra and by curl, in the same run. Each iteration
// times both: hostcat by its own "read N bytes in S s" (open to close),
// curl by -w '%{time_total}'. Counters: each one's MB/s and `ratio`,
// hostcat's speed over curl's (the goal is at least 0.9).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "support/BigFile.h"

extern char** environ;

namespace {

// python3 -m http.server over the big file's folder, on a port of its own.
class FileServer {
 public:
  FileServer() {
    const std::string& file = benchfile::FilePath();
    m_Name = file.substr(file.find_last_of('/') + 1);
    const std::string folder = file.substr(0, file.find_last_of('/'));
    int out[2];
    if (pipe(out) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    // Its request log would cost it time on a terminal.
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::string words[] = {"python3", "-u", "-m", "http.server", "0", "--bind", "127.0.0.1", "--directory", folder};
    char* argv[10];
    for (int i = 0; i < 9; ++i) argv[i] = words[i].data();
    argv[9] = nullptr;
    if (posix_spawnp(&m_Pid, "python3", &actions, nullptr, argv, environ) != 0) m_Pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    // "Serving HTTP on 127.0.0.1 port N (http://127.0.0.1:N/) ..."
    std::string line;
    char c;
    while (read(out[0], &c, 1) == 1 && c != '\n') line += c;
    close(out[0]);
    const size_t at = line.find(" port ");
    if (at != std::string::npos) m_Port = std::atoi(line.c_str() + at + 6);
  }
  ~FileServer() {
    if (m_Pid <= 0) return;
    kill(m_Pid, SIGTERM);
    waitpid(m_Pid, nullptr, 0);
  }
  std::string Url() const { return "http://127.0.0.1:" + std::to_string(m_Port) + "/" + m_Name; }
  bool Running() const { return m_Port != 0; }

 private:
  pid_t m_Pid = -1;
  int m_Port = 0;
  std::string m_Name;
};

// The tests' pyftpdlib server over the big file's folder, on a port of its
// own; it ends when its stdin closes.
class FtpServer {
 public:
  FtpServer() {
    const std::string& file = benchfile::FilePath();
    m_Name = file.substr(file.find_last_of('/') + 1);
    const std::string folder = file.substr(0, file.find_last_of('/'));
    int out[2], in[2];
    if (pipe(out) != 0 || pipe(in) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addclose(&actions, in[1]);
    std::string words[] = {"python3", std::string(TWL_SOURCE_DIR) + "/tests/support/ftpd_peer.py", folder};
    char* argv[4] = {words[0].data(), words[1].data(), words[2].data(), nullptr};
    if (posix_spawnp(&m_Pid, "python3", &actions, nullptr, argv, environ) != 0) m_Pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    close(in[0]);
    m_Stdin = in[1];
    std::string line;  // "port N"
    char c;
    while (read(out[0], &c, 1) == 1 && c != '\n') line += c;
    close(out[0]);
    if (line.rfind("port ", 0) == 0) m_Port = std::atoi(line.c_str() + 5);
  }
  ~FtpServer() {
    if (m_Stdin >= 0) close(m_Stdin);
    if (m_Pid > 0) waitpid(m_Pid, nullptr, 0);
  }
  std::string Url() const { return "ftp://127.0.0.1:" + std::to_string(m_Port) + "/" + m_Name; }
  bool Running() const { return m_Port != 0; }

 private:
  pid_t m_Pid = -1;
  int m_Stdin = -1;
  int m_Port = 0;
  std::string m_Name;
};

// The first line of a command's stdout that holds `marker`, or empty.
std::string OutputLine(const std::string& command, const char* marker) {
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return {};
  char line[512];
  std::string found;
  while (std::fgets(line, sizeof line, pipe))
    if (found.empty() && std::string(line).find(marker) != std::string::npos) found = line;
  if (pclose(pipe) != 0) return {};
  return found;
}

void MeasureAgainstCurl(benchmark::State& state, const std::string& url) {
  const std::string twltool = benchfile::ProgramPath("twltool");
  const std::string plugIns = twltool.substr(0, twltool.find_last_of('/')) + "/PlugIns";
  const std::string hostcat = "TWL_HEADLESS=1 '" + twltool + "' hostcat --plugins '" + plugIns + "' --stats '" +
                              url + "' 2>&1 >/dev/null";
  const std::string curl = "curl -s -o /dev/null -w 'curl %{time_total}\\n' '" + url + "'";
  double ours = 0, theirs = 0;
  for (auto _ : state) {
    const std::string stats = OutputLine(hostcat, "read ");
    const std::string yardstick = OutputLine(curl, "curl ");
    unsigned long long bytes = 0;
    double seconds = 0, curlSeconds = 0;
    if (std::sscanf(stats.c_str(), "read %llu bytes in %lf s", &bytes, &seconds) != 2 ||
        bytes != benchfile::kFileSize || std::sscanf(yardstick.c_str(), "curl %lf", &curlSeconds) != 1) {
      state.SkipWithError(("no figures: " + stats + " | " + yardstick).c_str());
      return;
    }
    ours += seconds;
    theirs += curlSeconds;
    state.SetIterationTime(seconds);
  }
  const double megabytes = static_cast<double>(benchfile::kFileSize) * state.iterations() / 1e6;
  state.counters["hostcat_MBps"] = megabytes / ours;
  state.counters["curl_MBps"] = megabytes / theirs;
  state.counters["ratio"] = theirs / ours;
}
void BM_NetvarraDownload(benchmark::State& state) {
  FileServer server;
  if (!server.Running()) {
    state.SkipWithError("python3 -m http.server did not start");
    return;
  }
  MeasureAgainstCurl(state, server.Url());
}
BENCHMARK(BM_NetvarraDownload)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

void BM_NetvarraFtpDownload(benchmark::State& state) {
  FtpServer server;
  if (!server.Running()) {
    state.SkipWithError("the pyftpdlib server did not start");
    return;
  }
  MeasureAgainstCurl(state, server.Url());
}
BENCHMARK(BM_NetvarraFtpDownload)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

}  // namespace
