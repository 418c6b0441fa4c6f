#include <cerrno>

#include "twlwin/sync.h"

// Critical sections are recursive pthread mutexes: the thread that holds one
// may enter it again, as the log groups and the localizer rely on.

TWLAPI void InitializeCriticalSection(LPCRITICAL_SECTION section) {
  pthread_mutexattr_t attributes;
  pthread_mutexattr_init(&attributes);
  pthread_mutexattr_settype(&attributes, PTHREAD_MUTEX_RECURSIVE);
  pthread_mutex_init(&section->mutex, &attributes);
  pthread_mutexattr_destroy(&attributes);
  section->initialized = true;
}

TWLAPI BOOL InitializeCriticalSectionAndSpinCount(LPCRITICAL_SECTION section, DWORD) {
  InitializeCriticalSection(section);
  return TRUE;
}

TWLAPI void DeleteCriticalSection(LPCRITICAL_SECTION section) {
  if (!section->initialized) return;
  pthread_mutex_destroy(&section->mutex);
  section->initialized = false;
}

TWLAPI void EnterCriticalSection(LPCRITICAL_SECTION section) { pthread_mutex_lock(&section->mutex); }

TWLAPI BOOL TryEnterCriticalSection(LPCRITICAL_SECTION section) {
  return pthread_mutex_trylock(&section->mutex) == 0 ? TRUE : FALSE;
}

TWLAPI void LeaveCriticalSection(LPCRITICAL_SECTION section) { pthread_mutex_unlock(&section->mutex); }
