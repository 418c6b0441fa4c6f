// Waiting in tests with a generous bound. A wait that does not end is a
// failure that would otherwise hang the test process (a thread stuck in
// the code under test keeps it from exiting), so the process ends at once
// with a message instead.
#pragma once

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <future>

namespace streamtest {

constexpr std::chrono::seconds kWaitBound{30};

template <class T>
T AwaitOrExit(std::future<T>& future, const char* what) {
  if (future.wait_for(kWaitBound) != std::future_status::ready) {
    std::fprintf(stderr, "FAILED: %s did not end within %lld s\n", what, static_cast<long long>(kWaitBound.count()));
    std::fflush(stderr);
    std::_Exit(1);
  }
  return future.get();
}

}  // namespace streamtest
