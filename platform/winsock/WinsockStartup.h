// Whether a WSAStartup has succeeded in this process: until then the calls
// fail with WSANOTINITIALISED, as a Windows caller expects.
#pragma once

namespace twl::winsock {

bool WinsockStarted();

}  // namespace twl::winsock
