#include "ProgramFolder.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "support/TestPaths.h"

namespace fs = std::filesystem;

namespace programtest {

namespace {

void LinkOrCopy(const fs::path& from, const fs::path& to) {
  std::error_code error;
  fs::remove(to, error);
  fs::create_hard_link(from, to, error);
  if (error) fs::copy_file(from, to, fs::copy_options::overwrite_existing);
}

std::string SelfPath() {
  char self[4096];
  const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
  return length > 0 ? std::string(self, static_cast<size_t>(length)) : std::string();
}

}  // namespace

std::string BuiltTwl() { return twltest::ProgramPath("twl"); }
std::string ThisTestProgram() { return SelfPath(); }

void InstallProgram(const std::string& folder, const std::string& binary) {
  fs::create_directories(fs::path(folder) / "PlugIns");
  LinkOrCopy(binary, fs::path(folder) / "twl");
  LinkOrCopy(twltest::ProgramPath("libtwlwin.so"), fs::path(folder) / "libtwlwin.so");
}

pid_t Start(const std::string& folder, const std::vector<std::string>& args,
            const std::vector<std::string>& environment) {
  const std::string program = folder + "/twl";
  const std::string errors = folder + "/stderr.txt";
  const pid_t pid = fork();
  if (pid == 0) {
    const int fd = open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd >= 0) dup2(fd, 2);
    const int null = open("/dev/null", O_WRONLY);
    if (null >= 0) dup2(null, 1);
    setenv("TWL_HEADLESS", "1", 1);
    for (const std::string& entry : environment) putenv(const_cast<char*>(entry.c_str()));
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  return pid;
}

bool WaitForText(const std::string& path, const std::string& text) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (std::chrono::steady_clock::now() < end) {
    if (Contains(ReadText(path), text)) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return false;
}

int Wait(pid_t pid) {
  int status = 0;
  if (waitpid(pid, &status, 0) != pid) return -1;
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : -1;
}

int WaitAtMost(pid_t pid, int seconds) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  int status = 0;
  while (std::chrono::steady_clock::now() < end) {
    const pid_t ended = waitpid(pid, &status, WNOHANG);
    if (ended == pid) {
      if (WIFEXITED(status)) return WEXITSTATUS(status);
      return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : -1;
    }
    if (ended < 0) return -1;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  kill(pid, SIGKILL);
  waitpid(pid, &status, 0);
  return -1;
}

std::string LogName(const std::string& folder, int instance) {
  return instance == 0 ? folder + "/Log.txt" : folder + "/Log" + std::to_string(instance) + ".txt";
}

pid_t StartUntilDone(const std::string& folder, int instance, const std::vector<std::string>& args,
                     const std::vector<std::string>& environment) {
  const pid_t pid = Start(folder, args, environment);
  EXPECT_TRUE(WaitForText(LogName(folder, instance), kDone)) << "instance " << instance << "\n"
                                                             << ReadText(folder + "/stderr.txt");
  return pid;
}

int Stop(pid_t pid) {
  kill(pid, SIGTERM);
  return WaitAtMost(pid, 30);
}

void InstallWavPlayer(const std::string& folder) {
  fs::copy_file(std::string(TWL_WAV_PLAYER_DIR) + "/TestWavPlayer.dll", folder + "/PlugIns/TestWavPlayer.dll",
                fs::copy_options::overwrite_existing);
}

void WriteTone(const std::string& path, int seconds) {
  const uint32_t frames = 8000u * static_cast<uint32_t>(seconds);
  std::ofstream out(path, std::ios::binary);
  auto put = [&out](uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.put(static_cast<char>(value >> (8 * i)));
  };
  out.write("RIFF", 4);
  put(36 + frames * 2, 4);
  out.write("WAVEfmt ", 8);
  put(16, 4);
  put(1, 2);
  put(1, 2);
  put(8000, 4);
  put(16000, 4);
  put(2, 2);
  put(16, 2);
  out.write("data", 4);
  put(frames * 2, 4);
  for (uint32_t i = 0; i < frames; ++i)
    put(static_cast<uint16_t>(static_cast<int16_t>(8000 * std::sin(i * 0.345))), 2);
}

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string NewProgramFolder(const std::string& hint) {
  const std::string folder = twltest::MakeTempDir(hint);
  InstallProgram(folder, BuiltTwl());
  return folder;
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

}  // namespace programtest
