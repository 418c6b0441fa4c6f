// The display lock: one re-entrant lock for the whole program that
// serialises every use of DirectDraw objects, of the display state and of
// the skin renderers. A thread may enter it again while it holds it; it is
// held until every Enter has been matched by a Leave. Any thread.
#pragma once

class CDisplayLock {
 public:
  static void Enter();
  static void Leave();
  // How often the calling thread holds the lock (0: not at all).
  static int GetDepth();
};

// Holds the display lock for the life of a scope.
class DisplayLockScope {
 public:
  DisplayLockScope() { CDisplayLock::Enter(); }
  ~DisplayLockScope() { CDisplayLock::Leave(); }
  DisplayLockScope(const DisplayLockScope&) = delete;
  DisplayLockScope& operator=(const DisplayLockScope&) = delete;
};
