// CTelnetSocket: the buffered socket of an FTP control connection. Telnet
// commands are taken out of the received bytes (an escaped 255 stays as
// data), option offers are refused (WILL x is answered DONT x, DO x WONT x),
// and the text is read as lines ending in CR LF; a line event of the
// owner's is set whenever a complete line has arrived.
//
// The answers go out from the message thread, in the order of the commands,
// without the socket lock: Close waits for that thread while holding the
// socket lock, so taking it there could never end.
#pragma once

#include <vector>

#include "foundation/kernel/Str.h"
#include "plugins/netvarra/sockets/BufferedSocket.h"

class CTelnetSocket : public CBufferedSocket {
  TWL_DECLARE_CLASS(CTelnetSocket)
 public:
  static constexpr BYTE kIAC = 255, kDont = 254, kDo = 253, kWont = 252, kWill = 251;

  CTelnetSocket();
  ~CTelnetSocket() override;

  void Close() override;

  void SetLineEvent(HANDLE event);
  // Whether the FIFO holds a CR immediately followed by an LF.
  bool HasLine();
  // The text before the first CR LF; without MSG_PEEK the line and its CR LF
  // leave the FIFO. False when no complete line is there.
  bool ReadLine(CStr& text, int flags);
  void SendString(const char* text, int flags);
  void SendCommand(BYTE command, int flags);

 protected:
  DWORD FilterReceived(BYTE* bytes, DWORD count) override;
  void AfterReceiveStep() override;

 private:
  // The offset of the first CR of a CR LF in the FIFO, or -1. Event lock.
  long long FindLineEnd();

  int m_PendingCommand = -1;
  bool m_CrSeen = false;
  bool m_IacSeen = false;
  HANDLE m_LineEvent = nullptr;
  // Filled during a receive step, sent at its end.
  std::vector<BYTE> m_Answers;
  bool m_LineEnded = false;
};
