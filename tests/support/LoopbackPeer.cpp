#include "LoopbackPeer.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include "TestPaths.h"

extern char** environ;

namespace twltest {

LoopbackPeer::LoopbackPeer(const std::vector<std::string>& modeAndArgs)
    : LoopbackPeer("loopback_peer.py", modeAndArgs) {}

LoopbackPeer::LoopbackPeer(const std::string& script, const std::vector<std::string>& modeAndArgs) {
  int toPeer[2], fromPeer[2];
  if (pipe2(toPeer, O_CLOEXEC) != 0 || pipe2(fromPeer, O_CLOEXEC) != 0) {
    ADD_FAILURE() << "pipe failed";
    return;
  }
  std::vector<std::string> words{"python3", SourceDir() + "/tests/support/" + script};
  words.insert(words.end(), modeAndArgs.begin(), modeAndArgs.end());
  std::vector<char*> argv;
  for (auto& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, toPeer[0], 0);
  posix_spawn_file_actions_adddup2(&actions, fromPeer[1], 1);
  posix_spawn_file_actions_addclose(&actions, toPeer[1]);
  posix_spawn_file_actions_addclose(&actions, fromPeer[0]);
  const int rc = posix_spawnp(&m_Pid, "python3", &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(toPeer[0]);
  close(fromPeer[1]);
  m_ToPeer = toPeer[1];
  m_FromPeer = fromPeer[0];
  if (rc != 0) {
    ADD_FAILURE() << "python3 did not start: " << rc;
    m_Pid = -1;
    return;
  }
  const std::string first = ReadLine();
  if (first.rfind("port ", 0) == 0) m_Port = std::atoi(first.c_str() + 5);
  if (!m_Port) ADD_FAILURE() << "the peer did not tell its port: " << first;
}

LoopbackPeer::~LoopbackPeer() {
  Wait();
  if (m_FromPeer >= 0) close(m_FromPeer);
}

std::string LoopbackPeer::Command(const std::string& line) {
  const std::string text = line + "\n";
  if (m_ToPeer < 0 || write(m_ToPeer, text.data(), text.size()) != static_cast<ssize_t>(text.size())) return {};
  return ReadLine();
}

int LoopbackPeer::Wait() {
  if (m_ToPeer >= 0) {
    close(m_ToPeer);
    m_ToPeer = -1;
  }
  if (m_Pid > 0) {
    waitpid(m_Pid, &m_Status, 0);
    m_Pid = -1;
  }
  return m_Status;
}

std::string LoopbackPeer::ReadLine() {
  std::string line;
  char c;
  while (m_FromPeer >= 0 && read(m_FromPeer, &c, 1) == 1 && c != '\n') line += c;
  return line;
}

}  // namespace twltest
