// Stamps that order the top-level windows of all processes of a desktop:
// a window raised later gets a higher stamp, whatever the processes'
// clocks say. The stamps come from one counter shared through a file of
// the desktop folder, mapped into each process and increased atomically,
// so taking one costs no system call. Thread-safe.
#pragma once

#include <cstdint>
#include <string>

namespace twl::user {

// Stamps lie this far apart, so that a window can be placed between two.
constexpr int64_t kZOrderStampStep = int64_t{1} << 16;

// Maps the desktop's counter (done once, as the process joins the
// desktop); until then, or without a desktop, stamps count in this process.
void MapZOrderCounter(const std::string& folder);
int64_t NextZOrderStamp();

}  // namespace twl::user
