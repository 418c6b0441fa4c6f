// The ASPI stand-in: the two entry points of "WNASPI32.DLL" (and of the
// fallback "VLB_SPTI.DLL") over the recorders the switches choose. All
// state lives under one lock; a command whose end a test delayed is ended
// by a thread of its own that sleeps on the layer's clock.
#include <cstring>
#include <map>
#include <mutex>
#include <thread>

#include "MmcRecorder.h"
#include "platform/kernel/Clock.h"
#include "platform/modules/SystemModules.h"
#include "twlwin/aspi.h"
#include "twlwin/sync.h"
#include "twlwin/testing_recorder.h"

namespace twl::aspi {
namespace {

constexpr BYTE kNoDevice = 0x82;
constexpr BYTE kCdDevice = 0x05;

struct Manager {
  std::mutex lock;
  bool configured = false;
  RecorderSwitches switches;
  MmcRecorder recorder;
  DWORD supportInfo = 0;
  DWORD busyLeft = 0;
  std::map<BYTE, DWORD> delays;
  std::map<BYTE, BYTE> statuses;
  // Requests that have not ended yet, with the status they end with
  // (ASPI_PENDING: one that was never carried out).
  std::map<AspiCommandRequest*, BYTE> pending;
};

Manager& TheManager() {
  static auto* manager = new Manager;  // never destroyed: delayed ends may run at exit
  return *manager;
}

void ConfigureLocked(Manager& manager) {
  manager.switches = ReadRecorderSwitches();
  manager.recorder.Configure(manager.switches);
  manager.configured = true;
}

Manager& Configured(std::unique_lock<std::mutex>& guard) {
  Manager& manager = TheManager();
  guard = std::unique_lock(manager.lock);
  if (!manager.configured) ConfigureLocked(manager);
  return manager;
}

int AdapterCount(const Manager& manager) { return manager.switches.kind == RecorderKind::Emulated ? 1 : 0; }

bool LibraryPresent() {
  std::unique_lock<std::mutex> guard;
  return Configured(guard).switches.kind != RecorderKind::None;
}

DWORD SupportInfo() {
  std::unique_lock<std::mutex> guard;
  Manager& manager = Configured(guard);
  if (manager.supportInfo) return manager.supportInfo;
  return static_cast<DWORD>(ASPI_DONE) << 8 | static_cast<DWORD>(AdapterCount(manager));
}

DWORD HostAdapterInquiry(Manager& manager, AspiHostAdapterInquiry& request) {
  if (request.hostAdapter >= AdapterCount(manager)) return request.status = ASPI_INVALID_HOST_ADAPTER;
  request.adapterCount = static_cast<BYTE>(AdapterCount(manager));
  request.adapterScsiId = 7;
  std::memset(request.managerId, ' ', sizeof request.managerId);
  std::memcpy(request.managerId, "TWL ASPI", 8);
  std::memset(request.adapterIdentifier, 0, sizeof request.adapterIdentifier);
  const std::string& identifier = manager.switches.adapterIdentifier;
  std::memcpy(request.adapterIdentifier, identifier.data(), std::min<size_t>(identifier.size(), 16));
  request.adapterParameters[3] = manager.switches.adapterTargets;
  return request.status = ASPI_DONE;
}

DWORD DeviceType(Manager& manager, AspiDeviceTypeRequest& request) {
  if (request.hostAdapter >= AdapterCount(manager)) return request.status = ASPI_INVALID_HOST_ADAPTER;
  if (request.target != 0 || request.lun != 0) return request.status = kNoDevice;
  request.deviceType = kCdDevice;
  return request.status = ASPI_DONE;
}

void FillSense(AspiCommandRequest& request, const std::vector<uint8_t>& sense) {
  std::memset(request.sense, 0, sizeof request.sense);
  const size_t room = std::min<size_t>(request.senseLength, sizeof request.sense);
  if (!sense.empty()) std::memcpy(request.sense, sense.data(), std::min(room, sense.size()));
}

// Publishes the end of a pending request; the caller holds the lock and
// has taken the request out of the pending ones.
void PublishEnd(AspiCommandRequest* request, BYTE status) {
  const bool notify = (request->flags & ASPI_EVENT_NOTIFY) != 0;
  // Read by the caller's polls without the lock: published last.
  __atomic_store_n(&request->status, status, __ATOMIC_RELEASE);
  if (notify && request->event) SetEvent(request->event);
}

// Ends a delayed request unless it was aborted meanwhile.
void EndLater(AspiCommandRequest* request, BYTE status, DWORD milliseconds) {
  std::thread([request, status, milliseconds] {
    SleepOnClock(milliseconds);
    Manager& manager = TheManager();
    std::lock_guard guard(manager.lock);
    if (manager.pending.erase(request) == 0) return;
    PublishEnd(request, status);
  }).detach();
}

DWORD ExecCommand(Manager& manager, AspiCommandRequest& request) {
  if (request.hostAdapter >= AdapterCount(manager)) return request.status = ASPI_INVALID_HOST_ADAPTER;
  if (request.target != 0 || request.lun != 0) return request.status = kNoDevice;
  if ((request.cdbLength != 6 && request.cdbLength != 10 && request.cdbLength != 12) ||
      (request.dataLength > 0 && !request.data))
    return request.status = ASPI_INVALID_REQUEST;
  const BYTE opcode = request.cdb[0];
  if (auto status = manager.statuses.find(opcode); status != manager.statuses.end()) {
    manager.recorder.Log().Note("request " + HexBytes(request.cdb, request.cdbLength) + " ends with status " +
                                HexBytes(&status->second, 1));
    if (status->second == ASPI_PENDING) {
      manager.pending[&request] = ASPI_PENDING;
      return request.status = ASPI_PENDING;
    }
    return request.status = status->second;
  }
  const DataPhase phase = request.dataLength == 0              ? DataPhase::None
                          : (request.flags & ASPI_DATA_IN) != 0 ? DataPhase::In
                          : (request.flags & ASPI_DATA_OUT) != 0 ? DataPhase::Out
                                                                  : DataPhase::None;
  const MmcAnswer answer =
      manager.recorder.Execute(request.cdb, request.cdbLength, request.data, request.dataLength, phase);
  FillSense(request, answer.good ? std::vector<uint8_t>{} : answer.sense);
  request.targetStatus = answer.good ? 0 : ASPI_TARGET_CHECK_CONDITION;
  const BYTE status = answer.good ? ASPI_DONE : ASPI_ERROR;
  auto delay = manager.delays.find(opcode);
  if (delay == manager.delays.end()) return request.status = status;
  manager.pending[&request] = status;
  request.status = ASPI_PENDING;
  if (delay->second != INFINITE) EndLater(&request, status, delay->second);
  return ASPI_PENDING;
}

DWORD Abort(Manager& manager, AspiAbortRequest& request) {
  if (request.request)
    manager.recorder.Log().Note("abort of " + HexBytes(request.request->cdb, request.request->cdbLength));
  if (request.request && manager.pending.erase(request.request))
    __atomic_store_n(&request.request->status, static_cast<BYTE>(ASPI_ABORTED), __ATOMIC_RELEASE);
  return request.status = ASPI_DONE;
}

DWORD SendCommand(void* block) {
  std::unique_lock<std::mutex> guard;
  Manager& manager = Configured(guard);
  if (!block) return ASPI_INVALID_REQUEST;
  if (manager.busyLeft > 0) {
    --manager.busyLeft;
    return ASPI_BUSY;
  }
  switch (*static_cast<BYTE*>(block)) {
    case ASPI_HOST_ADAPTER_INQUIRY: return HostAdapterInquiry(manager, *static_cast<AspiHostAdapterInquiry*>(block));
    case ASPI_GET_DEVICE_TYPE: return DeviceType(manager, *static_cast<AspiDeviceTypeRequest*>(block));
    case ASPI_EXEC_SCSI_COMMAND: return ExecCommand(manager, *static_cast<AspiCommandRequest*>(block));
    case ASPI_ABORT_REQUEST: return Abort(manager, *static_cast<AspiAbortRequest*>(block));
    default: return static_cast<BYTE*>(block)[1] = ASPI_INVALID_REQUEST;
  }
}

DWORD ManagerSupportInfo() { return SupportInfo(); }
DWORD ManagerSendCommand(void* block) { return SendCommand(block); }

const SystemLibraryRegistration kAspiManager("WNASPI32.DLL", &LibraryPresent,
                                             {{"GetASPI32SupportInfo", ExportAddress(&ManagerSupportInfo)},
                                              {"SendASPI32Command", ExportAddress(&ManagerSendCommand)}});
const SystemLibraryRegistration kSptiLibrary("VLB_SPTI.DLL", &LibraryPresent,
                                             {{"GetASPI32SupportInfo", ExportAddress(&ManagerSupportInfo)},
                                              {"SendASPI32Command", ExportAddress(&ManagerSendCommand)}});

}  // namespace
}  // namespace twl::aspi

using twl::aspi::TheManager;

TWLAPI void TwlTestRecorderReset() {
  auto& manager = TheManager();
  std::lock_guard guard(manager.lock);
  manager.supportInfo = 0;
  manager.busyLeft = 0;
  manager.delays.clear();
  manager.statuses.clear();
  manager.pending.clear();
  twl::aspi::ConfigureLocked(manager);
}

TWLAPI void TwlTestRecorderSetSupportInfo(DWORD answer) {
  std::unique_lock<std::mutex> guard;
  twl::aspi::Configured(guard).supportInfo = answer;
}

TWLAPI void TwlTestRecorderSetBusy(DWORD count) {
  std::unique_lock<std::mutex> guard;
  twl::aspi::Configured(guard).busyLeft = count;
}

TWLAPI void TwlTestRecorderDelay(BYTE opcode, DWORD milliseconds) {
  std::unique_lock<std::mutex> guard;
  twl::aspi::Configured(guard).delays[opcode] = milliseconds;
}

TWLAPI void TwlTestRecorderSetRequestStatus(BYTE opcode, BYTE status) {
  std::unique_lock<std::mutex> guard;
  twl::aspi::Configured(guard).statuses[opcode] = status;
}

TWLAPI void TwlTestRecorderAddReply(BYTE opcode, DWORD occurrence, LPCSTR reply) {
  std::unique_lock<std::mutex> guard;
  twl::aspi::Configured(guard).recorder.Replies().Add(opcode, occurrence, reply ? reply : "");
}

TWLAPI DWORD TwlTestRecorderEndPending(BYTE opcode) {
  std::unique_lock<std::mutex> guard;
  auto& manager = twl::aspi::Configured(guard);
  DWORD ended = 0;
  for (auto it = manager.pending.begin(); it != manager.pending.end();) {
    if (it->first->cdb[0] != opcode || it->second == ASPI_PENDING) {
      ++it;
      continue;
    }
    twl::aspi::PublishEnd(it->first, it->second);
    it = manager.pending.erase(it);
    ++ended;
  }
  return ended;
}

TWLAPI DWORD TwlTestRecorderCommandCount(BYTE opcode) {
  std::unique_lock<std::mutex> guard;
  return twl::aspi::Configured(guard).recorder.CountOf(opcode);
}

TWLAPI BOOL TwlTestRecorderSubChannel(LONG lba, BYTE* q) {
  std::unique_lock<std::mutex> guard;
  return q && twl::aspi::Configured(guard).recorder.SubChannelOf(lba, q) ? TRUE : FALSE;
}
