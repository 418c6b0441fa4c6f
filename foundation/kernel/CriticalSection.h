// CriticalSection: a Win32 critical section that lives exactly as long as
// its owner, and CriticalSectionLock, which holds one for a scope. The
// section is recursive; a lock may be left and entered again inside its
// scope (a wait that must not block others), and leaves it at the end only
// when it holds it then.
#pragma once

#include <windows.h>

class CriticalSection {
 public:
  CriticalSection() { InitializeCriticalSection(&m_Section); }
  ~CriticalSection() { DeleteCriticalSection(&m_Section); }
  CriticalSection(const CriticalSection&) = delete;
  CriticalSection& operator=(const CriticalSection&) = delete;

  void Enter() { EnterCriticalSection(&m_Section); }
  void Leave() { LeaveCriticalSection(&m_Section); }

 private:
  CRITICAL_SECTION m_Section;
};

class CriticalSectionLock {
 public:
  explicit CriticalSectionLock(CriticalSection& section) : m_Section(section) { m_Section.Enter(); }
  ~CriticalSectionLock() {
    if (m_Held) m_Section.Leave();
  }
  CriticalSectionLock(const CriticalSectionLock&) = delete;
  CriticalSectionLock& operator=(const CriticalSectionLock&) = delete;

  void Leave() {
    m_Held = false;
    m_Section.Leave();
  }
  void Enter() {
    m_Section.Enter();
    m_Held = true;
  }

 private:
  CriticalSection& m_Section;
  bool m_Held = true;
};
