#include "display/state/DisplayLock.h"

#include <mutex>

namespace {

std::recursive_mutex& Lock() {
  static std::recursive_mutex lock;
  return lock;
}

thread_local int t_Depth = 0;

}  // namespace

void CDisplayLock::Enter() {
  Lock().lock();
  ++t_Depth;
}

void CDisplayLock::Leave() {
  --t_Depth;
  Lock().unlock();
}

int CDisplayLock::GetDepth() { return t_Depth; }
