#include "SgRequest.h"

#include <cstring>

namespace twl::aspi {
namespace {

constexpr uint8_t kBlank = 0xA1;
constexpr uint8_t kCloseTrackSession = 0x5B;
constexpr uint8_t kSynchronizeCache = 0x35;
constexpr uint8_t kCheckCondition = 0x02;  // the SCSI status byte

unsigned TimeoutFor(uint8_t opcode) {
  return opcode == kBlank || opcode == kCloseTrackSession || opcode == kSynchronizeCache ? kSgLongTimeoutMs
                                                                                       : kSgTimeoutMs;
}

int DirectionOf(DataPhase phase, uint32_t dataLength) {
  if (dataLength == 0 || phase == DataPhase::None) return SG_DXFER_NONE;
  return phase == DataPhase::In ? SG_DXFER_FROM_DEV : SG_DXFER_TO_DEV;
}

}  // namespace

sg_io_hdr_t SgRequestFor(const uint8_t* cdb, int cdbLength, uint8_t* data, uint32_t dataLength, DataPhase phase,
                         uint8_t (&sense)[kSgSenseBytes]) {
  sg_io_hdr_t request{};
  std::memset(sense, 0, sizeof sense);
  request.interface_id = 'S';
  request.dxfer_direction = DirectionOf(phase, dataLength);
  request.cmd_len = static_cast<unsigned char>(cdbLength);
  request.mx_sb_len = kSgSenseBytes;
  request.dxfer_len = request.dxfer_direction == SG_DXFER_NONE ? 0 : dataLength;
  request.dxferp = request.dxfer_direction == SG_DXFER_NONE ? nullptr : data;
  request.cmdp = const_cast<uint8_t*>(cdb);
  request.sbp = sense;
  request.timeout = TimeoutFor(cdbLength > 0 ? cdb[0] : 0);
  return request;
}

SgAnswer SgAnswerOf(const sg_io_hdr_t& request, const uint8_t (&sense)[kSgSenseBytes], uint8_t* data,
                    uint32_t dataLength, DataPhase phase) {
  SgAnswer result;
  if (phase == DataPhase::In && data && request.dxfer_direction == SG_DXFER_FROM_DEV) {
    const uint32_t missing = request.resid > 0 ? static_cast<uint32_t>(request.resid) : 0;
    const uint32_t arrived = missing < dataLength ? dataLength - missing : 0;
    std::memset(data + arrived, 0, dataLength - arrived);
    result.answer.dataIn = arrived;
  }
  const unsigned senseBytes = request.sb_len_wr < kSgSenseBytes ? request.sb_len_wr : kSgSenseBytes;
  if (request.status == kCheckCondition || senseBytes > 0) {
    result.answer.good = false;
    result.answer.sense.assign(sense, sense + senseBytes);
    return result;
  }
  if (request.host_status != 0 || request.driver_status != 0 || request.status != 0) {
    result.answer.good = false;
    result.transportError = true;
  }
  return result;
}

}  // namespace twl::aspi
