// The SG_IO requests the ASPI stand-in sends real drives, and how their
// answers come back: directions, lengths, time-outs, sense bytes of any
// count and data-in bytes that did not arrive.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "SgRequest.h"

namespace {

using twl::aspi::DataPhase;
using twl::aspi::kSgSenseBytes;

TEST(SgRequestTest, RequestsCarryDirectionLengthsAndTimeouts) {
  uint8_t data[4096] = {};
  uint8_t sense[kSgSenseBytes];
  const struct {
    const char* command;
    std::vector<uint8_t> cdb;
    uint32_t length;
    DataPhase phase;
    int direction;
    unsigned timeout;
  } cases[] = {
      {"INQUIRY", {0x12, 0, 0, 0, 44, 0}, 44, DataPhase::In, SG_DXFER_FROM_DEV, 720000},
      {"TEST UNIT READY", {0, 0, 0, 0, 0, 0}, 0, DataPhase::None, SG_DXFER_NONE, 720000},
      {"WRITE(12)", {0xAA, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 0}, 4096, DataPhase::Out, SG_DXFER_TO_DEV, 720000},
      {"an input of no bytes", {0x43, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 0, DataPhase::In, SG_DXFER_NONE, 720000},
      {"CLOSE TRACK/SESSION", {0x5B, 0, 2, 0, 0, 0, 0, 0, 0, 0}, 0, DataPhase::None, SG_DXFER_NONE, 3600000},
      {"SYNCHRONIZE CACHE", {0x35, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 0, DataPhase::None, SG_DXFER_NONE, 3600000},
      {"BLANK", {0xA1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 0, DataPhase::None, SG_DXFER_NONE, 3600000},
  };
  for (const auto& c : cases) {
    const sg_io_hdr_t request = twl::aspi::SgRequestFor(c.cdb.data(), static_cast<int>(c.cdb.size()), data, c.length,
                                                        c.phase, sense);
    EXPECT_EQ(request.interface_id, 'S') << c.command;
    EXPECT_EQ(request.dxfer_direction, c.direction) << c.command;
    EXPECT_EQ(request.cmd_len, c.cdb.size()) << c.command;
    EXPECT_EQ(request.mx_sb_len, 32) << c.command;
    EXPECT_EQ(request.dxfer_len, c.direction == SG_DXFER_NONE ? 0u : c.length) << c.command;
    EXPECT_EQ(request.timeout, c.timeout) << c.command;
    EXPECT_EQ(request.sbp, sense) << c.command;
  }
}

TEST(SgRequestTest, SenseOfAnyLengthAndShortDataMapExactly) {
  for (unsigned written : {0u, 7u, 18u, 40u}) {
    uint8_t data[64];
    std::memset(data, 0xEE, sizeof data);
    uint8_t sense[kSgSenseBytes];
    const uint8_t cdb[6] = {0x12, 0, 0, 0, 64, 0};
    sg_io_hdr_t request = twl::aspi::SgRequestFor(cdb, 6, data, sizeof data, DataPhase::In, sense);
    for (unsigned i = 0; i < kSgSenseBytes; ++i) sense[i] = static_cast<uint8_t>(0x70 + i);
    request.status = written ? 0x02 : 0;
    request.sb_len_wr = static_cast<unsigned char>(written);
    request.resid = 24;  // 40 of 64 bytes arrived
    const auto result = twl::aspi::SgAnswerOf(request, sense, data, sizeof data, DataPhase::In);
    EXPECT_EQ(result.answer.good, written == 0) << written;
    EXPECT_EQ(result.answer.sense.size(), std::min(written, 32u)) << written;
    if (written) {
      EXPECT_EQ(result.answer.sense[0], 0x70) << written;
    }
    EXPECT_EQ(result.answer.dataIn, 40u);
    EXPECT_EQ(data[39], 0xEE);
    for (unsigned i = 40; i < 64; ++i) EXPECT_EQ(data[i], 0) << i;
    EXPECT_FALSE(result.transportError);
  }
}

TEST(SgRequestTest, AHostErrorWithoutSenseIsTheTransportsFailure) {
  uint8_t sense[kSgSenseBytes];
  const uint8_t cdb[6] = {0, 0, 0, 0, 0, 0};
  sg_io_hdr_t request = twl::aspi::SgRequestFor(cdb, 6, nullptr, 0, DataPhase::None, sense);
  request.host_status = 0x03;  // a time-out of the host
  const auto result = twl::aspi::SgAnswerOf(request, sense, nullptr, 0, DataPhase::None);
  EXPECT_FALSE(result.answer.good);
  EXPECT_TRUE(result.transportError);
  EXPECT_TRUE(result.answer.sense.empty());
}

}  // namespace
