#include "plugins/netvarra/sockets/TelnetSocket.h"

#include <cstring>
#include <memory>

TWL_IMPLEMENT_CREATABLE_CLASS(CTelnetSocket, CBufferedSocket)

CTelnetSocket::CTelnetSocket() = default;

CTelnetSocket::~CTelnetSocket() { CTelnetSocket::Close(); }

void CTelnetSocket::Close() {
  CriticalSectionLock socketLock(m_SocketLock);
  CBufferedSocket::Close();
  CriticalSectionLock eventLock(m_EventLock);
  m_CrSeen = m_IacSeen = false;
  m_PendingCommand = -1;
  m_LineEvent = nullptr;
  m_Answers.clear();
  m_LineEnded = false;
}

DWORD CTelnetSocket::FilterReceived(BYTE* bytes, DWORD count) {
  DWORD passed = 0;
  for (DWORD i = 0; i < count; ++i) {
    const BYTE b = bytes[i];
    if (m_IacSeen || m_PendingCommand >= 0) {
      m_IacSeen = false;
      if (m_PendingCommand < 0) {
        if (b == kIAC)
          bytes[passed++] = b;  // an escaped 255
        else if (b >= kWill && b <= kDont)
          m_PendingCommand = b;
        continue;
      }
      // The option byte of the pending command.
      if (m_PendingCommand == kWill) m_Answers.insert(m_Answers.end(), {kIAC, kDont, b});
      if (m_PendingCommand == kDo) m_Answers.insert(m_Answers.end(), {kIAC, kWont, b});
      m_PendingCommand = -1;
      continue;
    }
    if (b == kIAC) {
      m_IacSeen = true;
      m_CrSeen = false;
      continue;
    }
    if (b == '\n' && m_CrSeen) m_LineEnded = true;
    m_CrSeen = b == '\r';
    bytes[passed++] = b;
  }
  return passed;
}

void CTelnetSocket::AfterReceiveStep() {
  if (!m_Answers.empty()) {
    std::vector<BYTE> answers;
    answers.swap(m_Answers);
    try {
      SendOrQueueLocked(answers.data(), static_cast<DWORD>(answers.size()), 0);
    } catch (CError* error) {
      RecordWriteFailure(error);
    }
  }
  if (m_LineEnded && m_LineEvent) SetEvent(m_LineEvent);
  m_LineEnded = false;
}

void CTelnetSocket::SetLineEvent(HANDLE event) {
  CriticalSectionLock socketLock(m_SocketLock);
  CriticalSectionLock eventLock(m_EventLock);
  m_LineEvent = event;
  if (event && FindLineEnd() >= 0) SetEvent(event);
}

long long CTelnetSocket::FindLineEnd() {
  long long offset = 0;
  bool crBefore = false;
  BYTE* data;
  DWORD length, free;
  for (DWORD block = 0; m_Fifo.GetBlockSpan(block, &data, &length, &free); ++block) {
    for (DWORD i = 0; i < length; ++i, ++offset) {
      if (crBefore && data[i] == '\n') return offset - 1;
      crBefore = data[i] == '\r';
    }
  }
  return -1;
}

bool CTelnetSocket::HasLine() {
  CriticalSectionLock socketLock(m_SocketLock);
  CriticalSectionLock eventLock(m_EventLock);
  return FindLineEnd() >= 0;
}

bool CTelnetSocket::ReadLine(CStr& text, int flags) {
  CriticalSectionLock socketLock(m_SocketLock);
  CriticalSectionLock eventLock(m_EventLock);
  const long long end = FindLineEnd();
  if (end < 0) return false;
  auto line = std::make_unique<char[]>(static_cast<size_t>(end) + 1);
  m_Fifo.Peek(line.get(), static_cast<DWORD>(end));
  text = CStr(line.get(), static_cast<size_t>(end));
  if (!(flags & MSG_PEEK)) m_Fifo.Skip(static_cast<DWORD>(end) + 2);
  return true;
}

void CTelnetSocket::SendString(const char* text, int flags) {
  Send(text, static_cast<DWORD>(std::strlen(text)), flags);
}

void CTelnetSocket::SendCommand(BYTE command, int flags) {
  const BYTE bytes[2] = {kIAC, command};
  Send(bytes, 2, flags);
}
