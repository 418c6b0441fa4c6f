// The tick thread: wakes its window every interval with message 1204, but
// never queues a second tick while one waits, so a window that was busy
// for a while gets one tick, not a backlog.
#include "display/window/Window.h"
#include "foundation/errors/LocalText.h"
#include "foundation/kernel/Error.h"
#include "foundation/kernel/Threads.h"

void CWindow::StartTicks(DWORD interval) {
  {
    CriticalSectionLock lock(m_TickLock);
    m_TickInterval = interval;
    // A running thread takes the new interval after its current sleep.
    if (m_TickThread) return;
  }
  HANDLE thread = BeginThread(nullptr, 0, &CWindow::TickThread, this, 0, nullptr);
  if (!thread) {
    {
      CriticalSectionLock lock(m_TickLock);
      m_TickInterval = 0;
    }
    ThrowError<CError>(LocalText("CreateThreadFailed.Caption", "Thread error"),
                       LocalText("CreateThreadFailed.Text", "Unable to create thread."));
  }
  SetThreadPriority(thread, THREAD_PRIORITY_BELOW_NORMAL);
  m_TickThread = thread;
}

void CWindow::StopTicks() {
  {
    CriticalSectionLock lock(m_TickLock);
    m_TickInterval = 0;
  }
  if (!m_TickThread) return;
  WaitForSingleObject(m_TickThread, INFINITE);
  CloseHandle(m_TickThread);
  m_TickThread = nullptr;
}

DWORD WINAPI CWindow::TickThread(LPVOID argument) {
  auto* self = static_cast<CWindow*>(argument);
  for (;;) {
    DWORD interval;
    {
      CriticalSectionLock lock(self->m_TickLock);
      interval = self->m_TickInterval;
    }
    if (interval == 0) return 0;
    SleepEx(interval, FALSE);
    CriticalSectionLock lock(self->m_TickLock);
    if (self->m_PendingTicks == 0 && PostMessageA(self->m_Window, kWindowTickMessage, 0, 0)) self->m_PendingTicks = 1;
  }
}
