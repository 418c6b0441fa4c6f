// A python3 TCP peer on 127.0.0.1 (loopback_peer.py beside this file, or
// another script there) for
// the socket tests: started with a mode, it tells its port; in "script"
// mode the test sends it commands and reads its answers line by line. The
// peer ends by itself after at most a minute; the destructor waits for it.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace twltest {

class LoopbackPeer {
 public:
  explicit LoopbackPeer(const std::vector<std::string>& modeAndArgs);
  // Another peer script of this folder (such as "http_peer.py") with its
  // arguments; it tells its port the same way.
  LoopbackPeer(const std::string& script, const std::vector<std::string>& arguments);
  ~LoopbackPeer();
  LoopbackPeer(const LoopbackPeer&) = delete;
  LoopbackPeer& operator=(const LoopbackPeer&) = delete;

  // 0 when the peer did not start.
  int Port() const { return m_Port; }
  // Sends one command line and returns the peer's answer line (empty when
  // the peer is gone).
  std::string Command(const std::string& line);
  // Waits until the peer has ended; its exit status as waitpid reports it.
  int Wait();

 private:
  std::string ReadLine();

  pid_t m_Pid = -1;
  int m_ToPeer = -1;
  int m_FromPeer = -1;
  int m_Port = 0;
  int m_Status = -1;
};

}  // namespace twltest
