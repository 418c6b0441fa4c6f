// What the Netvarra network tests share: a fixture that starts Winsock,
// answers host names from the testing table and checks afterwards that no
// socket, poller registration, lookup thread or counted thread is left; a
// bounded wait on an event.
#pragma once

#include <gtest/gtest.h>
#include <winsock.h>

#include <functional>
#include <string>

#include "foundation/kernel/Threads.h"
#include "twlwin/testing_net.h"

namespace nettest {

// The bytes as lower-case hexadecimal digits (for the scripted peers).
inline std::string Hex(const std::string& bytes) {
  static const char digits[] = "0123456789abcdef";
  std::string hex;
  for (unsigned char c : bytes) {
    hex += digits[c >> 4];
    hex += digits[c & 15];
  }
  return hex;
}

// True when the event is set within `ms`.
inline bool Signalled(HANDLE event, DWORD ms = 5000) { return WaitForSingleObject(event, ms) == WAIT_OBJECT_0; }

// Polls `done` every millisecond for up to `ms`.
inline bool Eventually(const std::function<bool()>& done, DWORD ms = 5000) {
  for (DWORD waited = 0; waited < ms; ++waited) {
    if (done()) return true;
    Sleep(1);
  }
  return done();
}

inline SOCKADDR_IN LoopbackAddress(int port) {
  SOCKADDR_IN address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<USHORT>(port));
  address.sin_addr.S_un.S_addr = inet_addr("127.0.0.1");
  return address;
}

class NetTest : public testing::Test {
 protected:
  void SetUp() override {
    WSADATA data;
    ASSERT_EQ(0, WSAStartup(MAKEWORD(1, 0), &data));
    TwlTestSetHostAnswer("peer.example", "127.0.0.1", 0, 0);
    TwlTestSetHostAnswer("ok.example", "192.0.2.5", 0, 0);
    TwlTestSetHostAnswer("fail.example", nullptr, WSAHOST_NOT_FOUND, 0);
    TwlTestSetHostAnswer("slow.example", "192.0.2.6", 0, 60000);
    event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  }
  void TearDown() override {
    CloseHandle(event);
    EXPECT_EQ(0u, TwlTestOpenSocketCount());
    EXPECT_EQ(0u, TwlTestPollerRegistrationCount());
    EXPECT_TRUE(Eventually([] { return TwlTestLookupThreadCount() == 0; }));
    EXPECT_EQ(1, GetLiveThreadCount()) << "every counted thread has ended";
  }

  HANDLE event = nullptr;
};

}  // namespace nettest
