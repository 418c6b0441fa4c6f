#include "kilnar/recorder/AspiTarget.h"

#include <cstdio>
#include <strings.h>

#include <cstring>

#include "kilnar/recorder/SmallTransferMode.h"

namespace {

// ASPI busy is answered again after a short pause, but not for ever: a
// manager that stays busy for a minute has failed.
constexpr int kBusyRepeats = 1200;
constexpr DWORD kBusyPause = 50;
// How long a running no-wait command may take before the next one starts
// without it.
constexpr DWORD kPendingPollPause = 10;
constexpr uint64_t kPendingPollLimit = AspiTarget::kWaitMilliseconds;

AspiCommandRequest& WaitedRequest() {
  static auto* request = new AspiCommandRequest{};
  return *request;
}

BYTE StatusOf(const AspiCommandRequest& request) { return __atomic_load_n(&request.status, __ATOMIC_ACQUIRE); }

uint8_t CdbLengthOf(int group) { return group == 0 ? 6 : group == 1 ? 10 : 12; }

void ShowIoBox(const char* text) { MessageBoxA(nullptr, text, "SCSI IO", MB_OK | MB_ICONERROR); }

}  // namespace

AspiTarget::AspiTarget(uint16_t hostAdapter, uint16_t target, uint16_t lun)
    : m_Target(target), m_Lun(lun), m_HostAdapter(hostAdapter) {
  AspiLayer& layer = TheAspiLayer();
  layer.lastResult = 0;
  layer.hostAdapterCount = 0;
  layer.errorText.clear();
  if (!layer.supportInfo || !layer.sendCommand || !layer.event) LoadAspiLayer();
}

AspiTarget::~AspiTarget() { FinishPendingRequest(); }

DWORD AspiTarget::Send(void* request, BYTE* status) {
  AspiLayer& layer = TheAspiLayer();
  if (!layer.sendCommand) return layer.lastResult = 0;
  DWORD result = layer.sendCommand(request);
  for (int repeat = 0; result == ASPI_BUSY && repeat < kBusyRepeats; ++repeat) {
    Sleep(kBusyPause);
    result = layer.sendCommand(request);
  }
  // A request the manager never took ends as busy, not as pending.
  if (result == ASPI_BUSY && status) *status = ASPI_BUSY;
  return layer.lastResult = result;
}

bool AspiTarget::GetSupportInfo() {
  AspiLayer& layer = TheAspiLayer();
  if (!layer.supportInfo) {
    MessageBoxA(nullptr, "WNASPI32.DLL not found", "Message", MB_OK | MB_ICONERROR);
    layer.lastResult = ASPI_NO_MANAGER;
    return false;
  }
  const DWORD result = layer.lastResult = layer.supportInfo();
  const BYTE status = static_cast<BYTE>(result >> 8);
  switch (status) {
    case ASPI_DONE:
      layer.hostAdapterCount = static_cast<uint16_t>(result & 0xFF);
      layer.errorText.clear();
      return true;
    case ASPI_OLD_MANAGER:
      SetAspiErrorText("An ASPI manager whoich does not Support Windows is Installed\n");
      MessageBoxA(nullptr, layer.errorText.c_str(), "Message", MB_OK | MB_ICONINFORMATION);
      layer.hostAdapterCount = static_cast<uint16_t>(result & 0xFF);
      return true;
    case ASPI_ILLEGAL_MODE:
      SetAspiErrorText("ASPI for Windows does not support this mode!\n");
      return false;
    case ASPI_NO_MANAGER:
      SetAspiErrorText("No ASPI managers were found!\n");
      return false;
    default:
      SetAspiErrorText("Aspi for Windows not Installed\n");
      return false;
  }
}

const char* AspiTarget::HostAdapterInquiry(uint16_t& maxTargets) {
  AspiHostAdapterInquiry request{};
  request.command = ASPI_HOST_ADAPTER_INQUIRY;
  request.hostAdapter = static_cast<BYTE>(m_HostAdapter);
  if (Send(&request, nullptr) != ASPI_DONE) return nullptr;
  AspiLayer& layer = TheAspiLayer();
  std::memcpy(layer.adapterIdentifier, request.adapterIdentifier, 16);
  layer.adapterIdentifier[16] = '\0';
  maxTargets = request.adapterParameters[3];
  const char* identifier = layer.adapterIdentifier;
  if (maxTargets == 0) {
    maxTargets = 2;
    if (strcasecmp(identifier, "atapi") != 0 && std::strncmp(identifier, "ESDI", 4) != 0) {
      for (uint16_t target = 2; target <= 7; ++target) {
        AspiTarget probe(m_HostAdapter, target, 0);
        if (probe.GetDeviceType() > 0) {
          maxTargets = 8;
          break;
        }
      }
    }
  }
  if (std::strncmp(identifier, "epst", 4) == 0) SetSmallTransferMode(true);
  return identifier;
}

int16_t AspiTarget::GetDeviceType() {
  AspiDeviceTypeRequest request{};
  request.command = ASPI_GET_DEVICE_TYPE;
  request.hostAdapter = static_cast<BYTE>(m_HostAdapter);
  request.target = static_cast<BYTE>(m_Target);
  request.lun = static_cast<BYTE>(m_Lun);
  Send(&request, &request.status);
  if (request.status != ASPI_DONE) {
    char text[64];
    std::snprintf(text, sizeof text, "No Device at %i\n", m_Target);
    SetAspiErrorText(text);
    return -1;
  }
  TheAspiLayer().errorText.clear();
  return request.deviceType;
}

void AspiTarget::FillRequest(AspiCommandRequest& request, int group, uint8_t flags, uint32_t dataLength,
                             uint8_t* data, const uint8_t* cdb) const {
  request = AspiCommandRequest{};
  request.command = ASPI_EXEC_SCSI_COMMAND;
  request.hostAdapter = static_cast<BYTE>(m_HostAdapter);
  request.flags = flags;
  request.target = static_cast<BYTE>(m_Target);
  request.lun = static_cast<BYTE>(m_Lun);
  request.dataLength = dataLength;
  request.data = data;
  request.senseLength = ASPI_SENSE_LENGTH;
  request.cdbLength = CdbLengthOf(group);
  std::memcpy(request.cdb, cdb, request.cdbLength);
}

void AspiTarget::WaitForEnd(AspiCommandRequest& request) {
  HANDLE event = TheAspiLayer().event;
  switch (WaitForSingleObject(event, kWaitMilliseconds)) {
    case WAIT_OBJECT_0:
      break;
    case WAIT_ABANDONED:
      ShowIoBox("ASPI WAIT ANANDONED");
      break;
    case WAIT_TIMEOUT:
      ShowIoBox("SCSI TIMEOUT OCCURED");
      break;
    default:
      ShowIoBox("ASPI WAIT FAILED");
      break;
  }
  ResetEvent(event);
  (void)request;
}

void AspiTarget::SetRequestErrorText(BYTE status, uint32_t dataLength, bool withLength) {
  char text[96];
  switch (status) {
    case ASPI_PENDING: std::snprintf(text, sizeof text, "SCSI I/O: Timeout\n"); break;
    case ASPI_ABORTED: std::snprintf(text, sizeof text, "SCSI I/O: Aborted Command\n"); break;
    case ASPI_INVALID_HOST_ADAPTER:
      std::snprintf(text, sizeof text, "SCSI I/O: Invalid HostAdapter (%d)\n", m_HostAdapter);
      break;
    case ASPI_INVALID_REQUEST: std::snprintf(text, sizeof text, "SCSI I/O: Invalid SRB\n"); break;
    case ASPI_BUSY: std::snprintf(text, sizeof text, "SCSI I/O: Aspi is busy\n"); break;
    case ASPI_BUFFER_TOO_BIG:
      if (withLength) std::snprintf(text, sizeof text, "SCSI I/O: Buffer to big (%li)\n", static_cast<long>(dataLength));
      else std::snprintf(text, sizeof text, "SCSI I/O: Buffer to big\n");
      break;
    default: std::snprintf(text, sizeof text, "SCSI I/O: Error\n"); break;
  }
  SetAspiErrorText(text);
}

bool AspiTarget::ExecScsiCmd(int group, uint8_t direction, uint32_t dataLength, uint8_t* data, const uint8_t* cdb) {
  AspiCommandRequest& request = WaitedRequest();
  AspiLayer& layer = TheAspiLayer();
  FillRequest(request, group, static_cast<uint8_t>(direction | ASPI_EVENT_NOTIFY), dataLength, data, cdb);
  request.event = layer.event;
  if (!layer.sendCommand) return false;
  // A signal left over from a command that ended at once must not end the
  // wait for this one.
  if (layer.event) ResetEvent(layer.event);
  Send(&request, &request.status);
  if (StatusOf(request) == ASPI_PENDING) WaitForEnd(request);
  std::memcpy(m_Sense, request.sense, sizeof m_Sense);
  const BYTE status = StatusOf(request);
  if (status == ASPI_DONE) {
    layer.errorText.clear();
    return true;
  }
  if (status == ASPI_PENDING) {
    AspiAbortRequest abort{};
    abort.command = ASPI_ABORT_REQUEST;
    abort.hostAdapter = static_cast<BYTE>(m_HostAdapter);
    abort.request = &request;
    Send(&abort, nullptr);
  }
  SetRequestErrorText(status, dataLength, true);
  return false;
}

void AspiTarget::FinishPendingRequest() {
  if (!m_Pending) return;
  uint64_t waited = 0;
  while (StatusOf(*m_Pending) == ASPI_PENDING && waited < kPendingPollLimit) {
    Sleep(kPendingPollPause);
    waited += kPendingPollPause;
  }
  if (StatusOf(*m_Pending) == ASPI_PENDING) AbortRequest(m_Pending.get());
  PollRequest();
  // An aborted request may still be looked at by the manager no more:
  // the abort took it back.
  m_Pending.reset();
}

bool AspiTarget::StartScsiCmd(int group, uint8_t direction, uint32_t dataLength, uint8_t* data, const uint8_t* cdb) {
  if (m_Pending) {
    SetAspiErrorText("Command pending...");
    FinishPendingRequest();
  }
  m_Pending = std::make_unique<AspiCommandRequest>();
  FillRequest(*m_Pending, group, direction, dataLength, data, cdb);
  if (!TheAspiLayer().sendCommand) return false;
  Send(m_Pending.get(), &m_Pending->status);
  return true;
}

int16_t AspiTarget::PollRequest() {
  if (!m_Pending) return 0;
  const BYTE status = StatusOf(*m_Pending);
  std::memcpy(m_Sense, m_Pending->sense, sizeof m_Sense);
  if (status == ASPI_PENDING) return 1;
  m_Pending.reset();
  if (status == ASPI_DONE) {
    TheAspiLayer().errorText.clear();
    return 0;
  }
  SetRequestErrorText(status, 0, false);
  return -1;
}

DWORD AspiTarget::AbortRequest(AspiCommandRequest* request) {
  AspiAbortRequest abort{};
  abort.command = ASPI_ABORT_REQUEST;
  abort.hostAdapter = static_cast<BYTE>(m_HostAdapter);
  abort.request = request;
  if (!TheAspiLayer().sendCommand) return 4;
  return Send(&abort, nullptr);
}

void AspiTarget::GetSense(uint8_t sense[ASPI_SENSE_LENGTH]) const { std::memcpy(sense, m_Sense, sizeof m_Sense); }
