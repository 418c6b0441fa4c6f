// WSAAsyncGetHostByName runs each lookup on a thread of its own; the reply
// is written and posted under the requests' lock only while the request is
// still listed, so after WSACancelAsyncRequest took it out the caller's
// buffer is never written and no reply comes.
#include <winsock.h>

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "HostEntry.h"
#include "HostLookup.h"
#include "WinsockStartup.h"
#include "WsaErrors.h"

using namespace twl::winsock;

namespace {

struct Request {
  HWND window = nullptr;
  UINT message = 0;
  char* buffer = nullptr;
  int length = 0;
  LookupCancel cancel;
};

std::mutex requestsLock;
std::map<DWORD, std::shared_ptr<Request>>& Requests() {
  static auto* requests = new std::map<DWORD, std::shared_ptr<Request>>;
  return *requests;
}
DWORD nextId = 0;  // guarded by requestsLock
std::atomic<DWORD> lookupThreads{0};

// A handle no other request holds: multiples of 4, never 0.
DWORD NewIdLocked() {
  do nextId += 4;
  while (nextId == 0 || Requests().count(nextId));
  return nextId;
}

void Reply(DWORD id, const HostAnswer& answer) {
  std::lock_guard<std::mutex> guard(requestsLock);
  auto it = Requests().find(id);
  if (it == Requests().end()) return;
  const Request& request = *it->second;
  int length = 0;
  int error = answer.error;
  if (!error) error = WriteHostEntry(answer, request.buffer, request.length, &length);
  PostMessageA(request.window, request.message, reinterpret_cast<WPARAM>(ULongToHandle(id)),
               static_cast<LPARAM>(MAKELONG(static_cast<WORD>(length), static_cast<WORD>(error))));
  Requests().erase(it);
}

HANDLE Enlist(HWND window, UINT message, char* buffer, int length, std::shared_ptr<Request>* out) {
  auto request = std::make_shared<Request>();
  request->window = window;
  request->message = message;
  request->buffer = buffer;
  request->length = length;
  std::lock_guard<std::mutex> guard(requestsLock);
  const DWORD id = NewIdLocked();
  Requests()[id] = request;
  if (out) *out = request;
  return ULongToHandle(id);
}

}  // namespace

TWLAPI HANDLE WSAAsyncGetHostByName(HWND window, UINT message, const char* name, char* buffer, int bufferLength) {
  if (!WinsockStarted()) return FailWith(WSANOTINITIALISED), nullptr;
  if (!name || !buffer || bufferLength < 0) return FailWith(WSAEFAULT), nullptr;
  std::shared_ptr<Request> request;
  HANDLE handle = Enlist(window, message, buffer, bufferLength, &request);
  const DWORD id = HandleToULong(handle);
  ++lookupThreads;
  try {
    std::thread([id, request, host = std::string(name)] {
      const HostAnswer answer = LookUpName(host, &request->cancel);
      Reply(id, answer);
      --lookupThreads;
    }).detach();
  } catch (...) {
    --lookupThreads;
    std::lock_guard<std::mutex> guard(requestsLock);
    Requests().erase(id);
    return FailWith(WSAENOBUFS), nullptr;
  }
  return handle;
}

TWLAPI HANDLE WSAAsyncGetHostByAddr(HWND window, UINT message, const char* address, int length, int type,
                                    char* buffer, int bufferLength) {
  if (!WinsockStarted()) return FailWith(WSANOTINITIALISED), nullptr;
  if (type != AF_INET) return FailWith(WSAEAFNOSUPPORT), nullptr;
  if (!address || length != 4 || !buffer || bufferLength < 0) return FailWith(WSAEFAULT), nullptr;
  uint32_t value;
  std::memcpy(&value, address, 4);
  HANDLE handle = Enlist(window, message, buffer, bufferLength, nullptr);
  // Nothing to ask: the reply is queued before the caller gets the handle,
  // and taken by its message loop afterwards.
  Reply(HandleToULong(handle), AnswerForAddress(value));
  return handle;
}

TWLAPI int WSACancelAsyncRequest(HANDLE request) {
  if (!WinsockStarted()) return FailWith(WSANOTINITIALISED);
  if (!request) return FailWith(WSAEINVAL);
  std::lock_guard<std::mutex> guard(requestsLock);
  auto it = Requests().find(HandleToULong(request));
  // Already answered (or never made): nothing left to cancel.
  if (it == Requests().end()) return FailWith(WSAEALREADY);
  it->second->cancel.Cancel();
  Requests().erase(it);
  return 0;
}

TWLAPI DWORD TwlTestLookupThreadCount() { return lookupThreads; }
