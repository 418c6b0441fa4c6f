// `twltool winsock`: the sockets layer as Netvarra uses it. `lookup` looks
// a host up as the host finder does; `connect` drives one socket through
// its window notices, sending a file and keeping what comes back.
#include <winsock.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "HiddenWindow.h"
#include "driver/Command.h"
#include "driver/Numbers.h"

namespace {

constexpr UINT kLookupDone = WM_USER + 0x64;
constexpr UINT kSocketNotice = WM_USER + 0x65;
constexpr UINT_PTR kDeadlineTimer = 1;

bool StartWinsock() {
  WSADATA data;
  return WSAStartup(MAKEWORD(1, 1), &data) == 0;
}

// Waits for the lookup's reply on the window; the error code of the reply.
int AwaitLookup(HWND window, HANDLE request) {
  MSG msg;
  while (GetMessageA(&msg, window, 0, 0) > 0) {
    if (msg.message == kLookupDone && reinterpret_cast<HANDLE>(msg.wParam) == request)
      return WSAGETASYNCERROR(msg.lParam);
    DispatchMessageA(&msg);
  }
  return WSAEINTR;
}

const char* NoticeName(WORD event) {
  switch (event) {
    case FD_CONNECT: return "connect";
    case FD_WRITE: return "write";
    case FD_READ: return "read";
    case FD_ACCEPT: return "accept";
    case FD_CLOSE: return "close";
    default: return "other";
  }
}

// One connection driven by its notices.
class NoticeRun {
 public:
  NoticeRun(SOCKET s, std::string payload, std::FILE* out) : m_Socket(s), m_Payload(std::move(payload)), m_Out(out) {}

  // False when the run is over.
  bool Handle(WORD event, WORD error) {
    std::printf("%s %u\n", NoticeName(event), error);
    std::fflush(stdout);
    switch (event) {
      case FD_CONNECT:
        if (error) return false;
        m_Sending = true;
        SendMore();
        return true;
      case FD_WRITE:
        SendMore();
        return true;
      case FD_READ:
        ReceiveWaiting();
        return true;
      case FD_CLOSE:
        ReceiveWaiting();
        return false;
      default: return true;
    }
  }

  size_t Sent() const { return m_Sent; }
  size_t Received() const { return m_Received; }

 private:
  // Sends until the network takes no more; the rest goes at the next write
  // notice. Sending ends with a shutdown of this side.
  void SendMore() {
    while (m_Sending && m_Sent < m_Payload.size()) {
      const int chunk = static_cast<int>(std::min<size_t>(m_Payload.size() - m_Sent, 65536));
      const int n = send(m_Socket, m_Payload.data() + m_Sent, chunk, 0);
      if (n == SOCKET_ERROR) {
        if (WSAGetLastError() == WSAEWOULDBLOCK) return;
        m_Sending = false;
        return;
      }
      m_Sent += static_cast<size_t>(n);
    }
    if (m_Sending) shutdown(m_Socket, SD_SEND);
    m_Sending = false;
  }

  void ReceiveWaiting() {
    char buffer[65536];
    for (;;) {
      const int n = recv(m_Socket, buffer, sizeof buffer, 0);
      if (n <= 0) return;
      if (m_Out) std::fwrite(buffer, 1, static_cast<size_t>(n), m_Out);
      m_Received += static_cast<size_t>(n);
    }
  }

  SOCKET m_Socket;
  std::string m_Payload;
  std::FILE* m_Out;
  bool m_Sending = false;
  size_t m_Sent = 0;
  size_t m_Received = 0;
};

struct ConnectOptions {
  std::string sendFile, outFile;
  uint64_t seconds = 10;
  std::string address;
  uint64_t port = 0;
};

bool ParseConnect(const tool::Args& args, ConnectOptions& options, std::string& problem) {
  std::vector<std::string> rest;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool takesValue = a == "--send" || a == "--out" || a == "--seconds";
    if (!takesValue) {
      rest.push_back(a);
      continue;
    }
    if (i + 1 >= args.size()) return problem = a + " needs a value", false;
    const std::string& value = args[++i];
    if (a == "--send") options.sendFile = value;
    if (a == "--out") options.outFile = value;
    if (a == "--seconds" && !tool::ParseUnsigned(value, options.seconds, 3600))
      return problem = "bad seconds " + value, false;
  }
  if (rest.size() != 2) return problem = "connect takes ADDRESS PORT", false;
  options.address = rest[0];
  if (!tool::ParseUnsigned(rest[1], options.port, 65535)) return problem = "bad port " + rest[1], false;
  return true;
}

int RunConnect(const ConnectOptions& options, HWND window) {
  std::string payload;
  if (!options.sendFile.empty()) {
    std::ifstream in(options.sendFile, std::ios::binary);
    if (!in) return tool::Fail("cannot read " + options.sendFile);
    payload.assign(std::istreambuf_iterator<char>(in), {});
  }
  std::FILE* out = nullptr;
  if (!options.outFile.empty() && !(out = std::fopen(options.outFile.c_str(), "wb")))
    return tool::Fail("cannot write " + options.outFile);

  SOCKADDR_IN target{};
  target.sin_family = AF_INET;
  target.sin_port = htons(static_cast<USHORT>(options.port));
  target.sin_addr.S_un.S_addr = inet_addr(options.address.c_str());
  if (target.sin_addr.S_un.S_addr == INADDR_NONE) return tool::Fail("not a dotted address: " + options.address);

  const SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
  if (s == INVALID_SOCKET) return tool::Fail("socket failed: " + std::to_string(WSAGetLastError()));
  NoticeRun run(s, std::move(payload), out);
  WSAAsyncSelect(s, window, kSocketNotice, FD_READ | FD_WRITE | FD_ACCEPT | FD_CONNECT | FD_CLOSE);
  SetTimer(window, kDeadlineTimer, static_cast<UINT>(options.seconds * 1000), nullptr);
  bool going = true;
  if (connect(s, reinterpret_cast<SOCKADDR*>(&target), sizeof target) == SOCKET_ERROR &&
      WSAGetLastError() != WSAEWOULDBLOCK)
    going = run.Handle(FD_CONNECT, static_cast<WORD>(WSAGetLastError()));
  MSG msg;
  while (going && GetMessageA(&msg, window, 0, 0) > 0) {
    if (msg.message == WM_TIMER && msg.wParam == kDeadlineTimer) {
      std::printf("timeout\n");
      break;
    }
    if (msg.message == kSocketNotice)
      going = run.Handle(WSAGETSELECTEVENT(msg.lParam), WSAGETSELECTERROR(msg.lParam));
    else
      DispatchMessageA(&msg);
  }
  KillTimer(window, kDeadlineTimer);
  closesocket(s);
  if (out) std::fclose(out);
  std::printf("sent %zu\nreceived %zu\n", run.Sent(), run.Received());
  return 0;
}

}  // namespace

TOOL_COMMAND(RunWinsock, "winsock",
             "lookup NAME | connect [--send FILE] [--out FILE] [--seconds N] ADDRESS PORT  "
             "lookup: look NAME up as the host finder does (by address for a dotted one) and print "
             "'lookup 0 A.B.C.D' (the first address) or 'lookup CODE -' (exit code 1); "
             "connect: connect to the dotted IPv4 ADDRESS through window notices, printing 'connect CODE', "
             "'write CODE', 'read CODE', 'accept CODE' or 'close CODE' per notice; after the connect it sends "
             "FILE and shuts down sending, what arrives goes to the --out file; it ends after the close "
             "notice or after N seconds (default 10) with 'timeout', then prints 'sent N' and 'received N'") {
  if (args.empty()) return tool::Fail("winsock takes lookup or connect");
  if (!StartWinsock()) return tool::Fail("WSAStartup failed");
  HWND window = twltool::MakeHiddenWindow();
  if (!window) return tool::Fail("no window");
  if (args[0] == "lookup") {
    if (args.size() != 2) return tool::Fail("lookup takes one NAME");
    alignas(HOSTENT) static char answer[MAXGETHOSTSTRUCT];
    const ULONG address = inet_addr(args[1].c_str());
    HANDLE request =
        address != INADDR_NONE
            ? WSAAsyncGetHostByAddr(window, kLookupDone, reinterpret_cast<const char*>(&address), 4, AF_INET, answer,
                                    sizeof answer)
            : WSAAsyncGetHostByName(window, kLookupDone, args[1].c_str(), answer, sizeof answer);
    const int error = request ? AwaitLookup(window, request) : WSAGetLastError();
    if (error) {
      std::printf("lookup %d -\n", error);
      return 1;
    }
    const auto* entry = reinterpret_cast<const HOSTENT*>(answer);
    const auto* bytes = reinterpret_cast<const unsigned char*>(entry->h_addr_list[0]);
    std::printf("lookup 0 %u.%u.%u.%u\n", bytes[0], bytes[1], bytes[2], bytes[3]);
    return 0;
  }
  if (args[0] == "connect") {
    ConnectOptions options;
    std::string problem;
    if (!ParseConnect({args.begin() + 1, args.end()}, options, problem)) return tool::Fail(problem);
    return RunConnect(options, window);
  }
  return tool::Fail("unknown winsock command " + args[0]);
}
