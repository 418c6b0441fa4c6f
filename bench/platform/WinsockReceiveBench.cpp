// Receiving from a local sender through WSAAsyncSelect notices (each read
// notice drains what waits into a 64 KiB buffer) against a blocking recv
// loop into the same buffer, on the same sender, in the same run. The
// counter `ratio` is the notice-driven speed over the blocking one.
#include <benchmark/benchmark.h>
#include <winsock.h>

#include <chrono>
#include <string>
#include <thread>

namespace {

constexpr size_t kTotal = size_t{256} << 20;
constexpr int kBuffer = 64 << 10;
constexpr UINT kNotice = WM_USER + 1;

struct Listener {
  SOCKET socket = INVALID_SOCKET;
  SOCKADDR_IN address{};
};

Listener Listen() {
  WSADATA data;
  WSAStartup(MAKEWORD(1, 1), &data);
  Listener l;
  l.socket = socket(AF_INET, SOCK_STREAM, 0);
  l.address.sin_family = AF_INET;
  l.address.sin_addr.S_un.S_addr = inet_addr("127.0.0.1");
  bind(l.socket, reinterpret_cast<SOCKADDR*>(&l.address), sizeof l.address);
  listen(l.socket, 1);
  int length = sizeof l.address;
  getsockname(l.socket, reinterpret_cast<SOCKADDR*>(&l.address), &length);
  return l;
}

// Connects and sends kTotal bytes in 64 KiB blocks, then closes.
std::thread StartSender(const SOCKADDR_IN& address) {
  return std::thread([address] {
    SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
    connect(s, reinterpret_cast<const SOCKADDR*>(&address), sizeof address);
    std::string block(kBuffer, 'x');
    for (size_t sent = 0; sent < kTotal;) {
      const int n = send(s, block.data(), kBuffer, 0);
      if (n <= 0) break;
      sent += static_cast<size_t>(n);
    }
    closesocket(s);
  });
}

size_t ReceiveBlocking(SOCKET s, char* buffer) {
  size_t received = 0;
  for (int n; (n = recv(s, buffer, kBuffer, 0)) > 0;) received += static_cast<size_t>(n);
  return received;
}

size_t ReceiveByNotices(SOCKET s, HWND window, char* buffer) {
  size_t received = 0;
  WSAAsyncSelect(s, window, kNotice, FD_READ | FD_CLOSE);
  MSG msg;
  bool closed = false;
  while (!closed && GetMessageA(&msg, window, 0, 0) > 0) {
    if (msg.message != kNotice) continue;
    closed = WSAGETSELECTEVENT(msg.lParam) == FD_CLOSE;
    for (int n; (n = recv(s, buffer, kBuffer, 0)) > 0;) received += static_cast<size_t>(n);
  }
  return received;
}

HWND NoticeWindow() {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "winsock bench window";
  RegisterClassA(&windowClass);
  return CreateWindowExA(0, windowClass.lpszClassName, "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                         windowClass.hInstance, nullptr);
}

// Seconds one transfer of kTotal bytes takes with the given receiver.
template <class Receive>
double Transfer(const Listener& l, Receive receive) {
  std::thread sender = StartSender(l.address);
  SOCKET s = accept(l.socket, nullptr, nullptr);
  static char buffer[kBuffer];
  const auto start = std::chrono::steady_clock::now();
  const size_t received = receive(s, buffer);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  closesocket(s);
  sender.join();
  return received == kTotal ? seconds : 1e9;
}

void BM_NoticeVersusBlockingReceive(benchmark::State& state) {
  const Listener l = Listen();
  HWND window = NoticeWindow();
  double blocking = 0, notices = 0;
  auto byBlocking = [](SOCKET s, char* buffer) { return ReceiveBlocking(s, buffer); };
  auto byNotices = [window](SOCKET s, char* buffer) { return ReceiveByNotices(s, window, buffer); };
  bool noticesFirst = false;
  for (auto _ : state) {
    // Taking turns at going first evens out a machine that warms up or
    // slows down during the run.
    if (noticesFirst) notices += Transfer(l, byNotices);
    blocking += Transfer(l, byBlocking);
    if (!noticesFirst) notices += Transfer(l, byNotices);
    noticesFirst = !noticesFirst;
  }
  const double mebibytes = static_cast<double>(kTotal >> 20) * static_cast<double>(state.iterations());
  state.counters["blocking_MiBps"] = mebibytes / blocking;
  state.counters["notices_MiBps"] = mebibytes / notices;
  state.counters["ratio"] = blocking / notices;
  DestroyWindow(window);
  closesocket(l.socket);
}
BENCHMARK(BM_NoticeVersusBlockingReceive)->Iterations(8)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
