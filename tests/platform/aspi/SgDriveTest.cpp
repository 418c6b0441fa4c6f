// A drive behind the SG_IO seam, answered by a fake drive: what goes out
// with each command, a drive that is not ready, a command the kernel
// refuses for want of a capability, and a node that does not open.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "SgDrive.h"

namespace {

using twl::aspi::DataPhase;

struct FakeDrive {
  sg_io_hdr_t last{};
  std::vector<uint8_t> written;
  bool ready = true;
  int closed = 0;
};
FakeDrive g_fake;

int FakeOpen(const char* path, int) {
  if (std::string(path) == "/dev/missing") {
    errno = ENOENT;
    return -1;
  }
  return 7;
}

int FakeClose(int) { return ++g_fake.closed, 0; }

int FakeIoctl(int, unsigned long request, void* argument) {
  if (request != SG_IO) return errno = EINVAL, -1;
  auto* io = static_cast<sg_io_hdr_t*>(argument);
  g_fake.last = *io;
  const auto* cdb = static_cast<const uint8_t*>(io->cmdp);
  if (cdb[0] == 0x01) return errno = EPERM, -1;  // REZERO UNIT
  if (cdb[0] == 0x12) {
    auto* data = static_cast<uint8_t*>(io->dxferp);
    std::memset(data, ' ', io->dxfer_len);
    data[0] = 5;
    std::memcpy(data + 8, "MITSUMI CR-2801TE", 17);
  }
  if (io->dxfer_direction == SG_DXFER_TO_DEV) {
    const auto* data = static_cast<const uint8_t*>(io->dxferp);
    g_fake.written.assign(data, data + io->dxfer_len);
  }
  if (cdb[0] == 0x00 && !g_fake.ready) {
    const uint8_t sense[18] = {0x70, 0, 0x02, 0, 0, 0, 0, 10, 0, 0, 0, 0, 0x3A, 0x00};
    std::memcpy(io->sbp, sense, sizeof sense);
    io->sb_len_wr = sizeof sense;
    io->status = 0x02;
  }
  return 0;
}

const twl::aspi::SgSystemCalls kFakeCalls = {&FakeOpen, &FakeIoctl, &FakeClose};

TEST(SgDriveTest, CommandsGoOutAsTheDriveNeedsThem) {
  g_fake = FakeDrive{};
  {
    twl::aspi::SgDrive drive("/dev/sg0", kFakeCalls);
    ASSERT_TRUE(drive.Open());
    uint8_t inquiry[44] = {};
    const uint8_t inquiryCdb[6] = {0x12, 0, 0, 0, 44, 0};
    EXPECT_TRUE(drive.Execute(inquiryCdb, 6, inquiry, sizeof inquiry, DataPhase::In).answer.good);
    EXPECT_EQ(g_fake.last.interface_id, 'S');
    EXPECT_EQ(g_fake.last.dxfer_direction, SG_DXFER_FROM_DEV);
    EXPECT_EQ(g_fake.last.cmd_len, 6);
    EXPECT_EQ(g_fake.last.dxfer_len, 44u);
    EXPECT_EQ(g_fake.last.mx_sb_len, 32);
    EXPECT_EQ(g_fake.last.timeout, 720000u);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(inquiry + 8), 17), "MITSUMI CR-2801TE");

    std::vector<uint8_t> block(2048 * 2);
    for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<uint8_t>(i * 7);
    const uint8_t writeCdb[12] = {0xAA, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 0};
    EXPECT_TRUE(drive.Execute(writeCdb, 12, block.data(), static_cast<uint32_t>(block.size()), DataPhase::Out)
                    .answer.good);
    EXPECT_EQ(g_fake.last.dxfer_direction, SG_DXFER_TO_DEV);
    EXPECT_EQ(g_fake.written, block);

    const uint8_t closeCdb[10] = {0x5B, 0, 2, 0, 0, 0, 0, 0, 0, 0};
    drive.Execute(closeCdb, 10, nullptr, 0, DataPhase::None);
    EXPECT_EQ(g_fake.last.dxfer_direction, SG_DXFER_NONE);
    EXPECT_GE(g_fake.last.timeout, 3600000u);
  }
  EXPECT_EQ(g_fake.closed, 1);
}

TEST(SgDriveTest, ANotReadyDriveAnswersItsSense) {
  g_fake = FakeDrive{};
  g_fake.ready = false;
  twl::aspi::SgDrive drive("/dev/sr0", kFakeCalls);
  ASSERT_TRUE(drive.Open());
  const uint8_t cdb[6] = {0, 0, 0, 0, 0, 0};
  const auto result = drive.Execute(cdb, 6, nullptr, 0, DataPhase::None);
  EXPECT_FALSE(result.answer.good);
  ASSERT_EQ(result.answer.sense.size(), 18u);
  EXPECT_EQ(result.answer.sense[2], 0x02);
  EXPECT_EQ(result.answer.sense[12], 0x3A);
  EXPECT_TRUE(drive.GetError().empty());
}

TEST(SgDriveTest, RefusedCommandsAndNodesThatDoNotOpenSaySo) {
  g_fake = FakeDrive{};
  twl::aspi::SgDrive drive("/dev/sg1", kFakeCalls);
  ASSERT_TRUE(drive.Open());
  const uint8_t rezero[6] = {0x01, 0, 0, 0, 0, 0};
  EXPECT_FALSE(drive.Execute(rezero, 6, nullptr, 0, DataPhase::None).answer.good);
  EXPECT_NE(drive.GetError().find("CAP_SYS_RAWIO"), std::string::npos) << drive.GetError();

  twl::aspi::SgDrive missing("/dev/missing", kFakeCalls);
  EXPECT_FALSE(missing.Open());
  EXPECT_NE(missing.GetError().find("/dev/missing"), std::string::npos);
}

}  // namespace
