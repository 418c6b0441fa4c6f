// How one ASPI command request becomes a request of the Linux SCSI generic
// interface (SG_IO) and how its answer comes back: the direction from the
// request's data phase, at most 32 sense bytes, and time-outs long enough
// that the kernel never resets a drive in the middle of a burn. Pure
// functions; the request refers to the caller's buffers.
#pragma once

#include <scsi/sg.h>

#include <cstdint>
#include <vector>

#include "MmcRecorder.h"

namespace twl::aspi {

constexpr unsigned kSgSenseBytes = 32;
constexpr unsigned kSgTimeoutMs = 720000;
// BLANK, CLOSE TRACK/SESSION and SYNCHRONIZE CACHE may take this long.
constexpr unsigned kSgLongTimeoutMs = 3600000;

// The request for the command block; `sense` receives the sense bytes.
sg_io_hdr_t SgRequestFor(const uint8_t* cdb, int cdbLength, uint8_t* data, uint32_t dataLength, DataPhase phase,
                         uint8_t (&sense)[kSgSenseBytes]);

struct SgAnswer {
  MmcAnswer answer;
  // A host or driver error without sense: the transport's own failure.
  bool transportError = false;
};

// The answer of a request the kernel ran: GOOD, or CHECK CONDITION with the
// sense bytes that arrived; data-in bytes that did not arrive read as
// zeros.
SgAnswer SgAnswerOf(const sg_io_hdr_t& request, const uint8_t (&sense)[kSgSenseBytes], uint8_t* data,
                    uint32_t dataLength, DataPhase phase);

}  // namespace twl::aspi
