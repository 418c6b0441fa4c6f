#include "MmcRecorder.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace twl::aspi {
namespace {

constexpr uint32_t kUserBytes = 2048;
constexpr uint8_t kWriteParametersPage = 0x05;
constexpr uint8_t kCapabilitiesPage = 0x2A;
constexpr uint32_t kMainDataBytes = 2352;
constexpr uint32_t kRawWithSubChannel = 2368;
constexpr uint8_t kLeadOutTrack = 0xAA;
constexpr uint8_t kLeadLengthsQuery = 0xEE;
constexpr uint8_t kTrackTable = 0xED;
constexpr uint32_t kTrackTableEntry = 20;

uint32_t Big16(const uint8_t* p) { return static_cast<uint32_t>(p[0] << 8 | p[1]); }
uint32_t Big32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 | static_cast<uint32_t>(p[2]) << 8 |
         p[3];
}
void PutBig16(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v >> 8);
  p[1] = static_cast<uint8_t>(v);
}
void PutBig32(uint8_t* p, uint32_t v) {
  PutBig16(p, v >> 16);
  PutBig16(p + 2, v);
}
// An LBA as three MSF bytes (with the 150-block offset).
void PutMsf(uint8_t* p, int64_t lba) {
  const int64_t frames = lba + 150;
  p[0] = static_cast<uint8_t>(frames / 4500);
  p[1] = static_cast<uint8_t>(frames / 75 % 60);
  p[2] = static_cast<uint8_t>(frames % 75);
}

// Commands that need a disc, for the not-ready and no-medium faults.
bool NeedsMedium(uint8_t opcode) {
  switch (opcode) {
    case 0x00: case 0x08: case 0x0A: case 0x25: case 0x28: case 0x2A: case 0x35: case 0x43: case 0x51:
    case 0x52: case 0x53: case 0x5B: case 0x5D: case 0xA1: case 0xAA: case 0xBE:
      return true;
    default:
      return false;
  }
}

bool IsVendor(uint8_t opcode) { return opcode == 0xB3 || opcode >= 0xC0; }

// Page 05h as an ATAPI drive of its time reports it: 32h bytes after the
// length byte.
std::vector<uint8_t> DefaultWriteParameters() {
  std::vector<uint8_t> page(0x34, 0);
  page[0] = kWriteParametersPage;
  page[1] = 0x32;
  page[2] = 0x01;  // track-at-once
  page[3] = 0x04;  // data track, recorded uninterrupted
  page[4] = 0x08;  // mode 1, 2048 bytes
  page[8] = 0x00;  // session format CD-DA or CD-ROM
  PutBig16(&page[14], 150);  // audio pause length
  return page;
}

constexpr uint32_t kLargestReadSpeed = 24 * 176;
constexpr uint32_t kLargestWriteSpeed = 8 * 176;

// SET CD SPEED's value in kilobytes a second: FFFFh the largest, others
// at most the largest.
uint32_t ChosenSpeed(uint32_t asked, uint32_t largest) { return asked == 0xFFFF ? largest : std::min(asked, largest); }

std::vector<uint8_t> Capabilities(uint32_t readSpeed, uint32_t writeSpeed) {
  std::vector<uint8_t> page(0x1A, 0);
  page[0] = kCapabilitiesPage;
  page[1] = 0x18;
  page[2] = 0x03;  // reads CD-R and CD-RW
  page[3] = 0x03;  // writes CD-R and CD-RW
  page[4] = 0x01;  // plays audio
  page[6] = 0x29;  // locks, ejects, tray
  PutBig16(&page[8], kLargestReadSpeed);
  PutBig16(&page[12], 2048 / 1024);
  PutBig16(&page[14], readSpeed);  // current read speed
  PutBig16(&page[18], kLargestWriteSpeed);
  PutBig16(&page[20], writeSpeed);  // current write speed
  return page;
}

uint32_t BlockSizeOfType(uint8_t dataBlockType) {
  switch (dataBlockType & 0x0F) {
    case 0: return 2352;
    case 1: return 2368;
    case 2: case 3: return 2448;
    case 9: return 2336;
    case 12: return 2324;
    case 13: return 2332;
    default: return 2048;
  }
}

// Where the user data of one written block lies.
uint32_t UserDataOffset(uint32_t blockSize) {
  switch (blockSize) {
    case 2352: case 2368: case 2448: return 16;
    case 2336: return 8;
    default: return 0;
  }
}

}  // namespace

void MmcRecorder::Configure(const RecorderSwitches& switches) {
  m_Switches = switches;
  m_Log.SetPath(switches.logPath);
  m_Replies.Clear();
  std::string problems = switches.problems;
  if (!switches.repliesPath.empty()) m_Replies.LoadFile(switches.repliesPath, problems);
  m_Pages.clear();
  m_Pages[kWriteParametersPage] = DefaultWriteParameters();
  m_Counts.clear();
  m_LastSense.clear();
  m_ReadBlockSize = kUserBytes;
  m_ReadSpeed = kLargestReadSpeed;
  m_WriteSpeed = kLargestWriteSpeed;
  m_NotReadyLeft = switches.faults.notReady;
  m_LongWritesLeft = switches.faults.longWrite;
  m_UnitAttentionDue = switches.faults.unitAttention;
  m_AtOnce = false;
  m_SubChannel.clear();
  m_VendorLeadIn = 0;
  m_HostLeadBlocksLeft = 0;
  m_VendorLeadOut = -1;
  m_Disc = DiscImage();
  if (switches.kind == RecorderKind::Emulated) {
    std::string problem;
    m_Disc.Load(switches.discPath, switches.rewritable, switches.leadOutStart, problem);
    if (!problem.empty()) problems += problem + "; ";
  }
  if (!problems.empty()) std::fprintf(stderr, "emulated recorder: %s\n", problems.c_str());
}

bool MmcRecorder::SubChannelOf(int64_t lba, uint8_t* q) const {
  auto found = m_SubChannel.find(lba);
  if (found == m_SubChannel.end()) return false;
  std::memcpy(q, found->second.data(), found->second.size());
  return true;
}

uint32_t MmcRecorder::CountOf(uint8_t opcode) const {
  auto found = m_Counts.find(opcode);
  return found == m_Counts.end() ? 0 : found->second;
}

MmcAnswer MmcRecorder::Check(uint8_t key, uint8_t asc, uint8_t ascq) {
  MmcAnswer answer;
  answer.good = false;
  answer.sense.assign(18, 0);
  answer.sense[0] = 0x70;
  answer.sense[2] = key;
  answer.sense[7] = 10;
  answer.sense[12] = asc;
  answer.sense[13] = ascq;
  return answer;
}

MmcAnswer MmcRecorder::Answer(uint8_t* data, uint32_t dataLength, const std::vector<uint8_t>& bytes) {
  MmcAnswer answer;
  answer.dataIn = std::min<uint32_t>(dataLength, static_cast<uint32_t>(bytes.size()));
  if (data && answer.dataIn) std::memcpy(data, bytes.data(), answer.dataIn);
  return answer;
}

MmcAnswer MmcRecorder::Execute(const uint8_t* cdb, int cdbLength, uint8_t* data, uint32_t dataLength,
                               DataPhase phase) {
  const uint8_t opcode = cdb[0];
  const uint32_t occurrence = ++m_Counts[opcode];
  MmcAnswer answer;
  if (auto reply = m_Replies.Find(opcode, occurrence)) {
    if (reply->kind == ScriptedReply::Kind::Data) answer = Answer(phase == DataPhase::In ? data : nullptr, dataLength, reply->bytes);
    if (reply->kind == ScriptedReply::Kind::Sense) {
      answer.good = false;
      answer.sense = reply->bytes;
    }
  } else {
    answer = Interpret(cdb, cdbLength, data, dataLength, phase);
  }
  if (!answer.good) m_LastSense = answer.sense;
  if (opcode == kLeadLengthsQuery && answer.good && phase == DataPhase::In && answer.dataIn >= 2)
    m_VendorLeadIn = Big16(data);
  const std::string phaseText = phase == DataPhase::In    ? "in " + std::to_string(dataLength)
                                : phase == DataPhase::Out ? "out " + std::to_string(dataLength)
                                                          : "none";
  std::string outcome = "good";
  if (!answer.good) {
    char text[32];
    const auto byte = [&](size_t i) { return i < answer.sense.size() ? answer.sense[i] : 0; };
    std::snprintf(text, sizeof text, "check %02x/%02x/%02x", byte(2) & 0x0F, byte(12), byte(13));
    outcome = text;
  }
  m_Log.Command(cdb, cdbLength, phaseText, outcome, phase == DataPhase::Out ? data : nullptr, dataLength);
  return answer;
}

MmcAnswer MmcRecorder::Interpret(const uint8_t* cdb, int cdbLength, uint8_t* data, uint32_t dataLength,
                                 DataPhase phase) {
  const uint8_t opcode = cdb[0];
  if (m_UnitAttentionDue) {
    m_UnitAttentionDue = false;
    return Check(0x06, 0x28, 0x00);
  }
  if (opcode == 0x12) return Inquiry(data, dataLength);
  if (opcode == 0x03) return RequestSense(data, dataLength);
  if (NeedsMedium(opcode)) {
    if (m_Switches.faults.noMedium || !m_Disc.HasMedium()) return Check(0x02, 0x3A, 0x00);
    if (m_NotReadyLeft > 0) {
      --m_NotReadyLeft;
      return Check(0x02, 0x04, 0x01);
    }
  }
  const uint8_t* out = phase == DataPhase::Out ? data : nullptr;
  uint8_t* in = phase == DataPhase::In ? data : nullptr;
  const uint32_t inLength = in ? dataLength : 0;
  switch (opcode) {
    case 0x00: return TestUnitReady();
    case 0x01: case 0x1B: case 0x1E: case 0x53: return MmcAnswer{};
    case 0x5D:
      if (SessionAtOnce() && out && dataLength >= 8) m_AtOnce = true;
      else m_Log.Note("cue sheet without the session-at-once write type");
      return MmcAnswer{};
    case 0xBB:
      m_ReadSpeed = ChosenSpeed(Big16(cdb + 2), kLargestReadSpeed);
      m_WriteSpeed = ChosenSpeed(Big16(cdb + 4), kLargestWriteSpeed);
      return MmcAnswer{};
    case 0x1A: return ModeSense(cdb, false, in, inLength);
    case 0x5A: return ModeSense(cdb, true, in, inLength);
    case 0x15: return ModeSelect(false, out, out ? dataLength : 0);
    case 0x55: return ModeSelect(true, out, out ? dataLength : 0);
    case 0x0A: case 0x2A: case 0xAA: return Write(cdb, cdbLength, out, out ? dataLength : 0);
    case 0x28: return Read(cdb, in, inLength);
    case 0x25: return ReadCapacity(in, inLength);
    case 0x35:
      if (!TestWrite() && m_AtOnce) m_Disc.CloseSession(MultiSession());
      else if (!TestWrite()) m_Disc.CloseTrack();
      m_AtOnce = false;
      m_HostLeadBlocksLeft = 0;
      m_VendorLeadOut = -1;
      return MmcAnswer{};
    case 0x43: return ReadToc(cdb, in, inLength);
    case 0x51: return ReadDiscInformation(in, inLength);
    case 0x52: return ReadTrackInformation(cdb, in, inLength);
    case 0x5B: return Close(cdb);
    case 0xA1: return Blank(cdb);
    case 0x5C: {
      std::vector<uint8_t> capacity(12, 0);
      PutBig16(&capacity[0], 10);
      PutBig32(&capacity[4], 2u << 20);
      PutBig32(&capacity[8], 2u << 20);
      return Answer(in, inLength, capacity);
    }
    case 0x42: return ReadSubChannel(cdb, in, inLength);
    case 0x45:
      m_PlayPosition = static_cast<int32_t>(Big32(cdb + 2));
      return MmcAnswer{};
    case 0x4B: return MmcAnswer{};
    default:
      break;
  }
  if (opcode == kTrackTable && out) StartVendorAtOnce(out, dataLength);
  if (IsVendor(opcode)) {
    if (in) std::memset(in, 0, inLength);
    MmcAnswer answer;
    answer.dataIn = inLength;
    m_Log.Note("vendor command " + HexBytes(cdb, 1) + " accepted");
    return answer;
  }
  return Check(0x05, 0x20, 0x00);
}

MmcAnswer MmcRecorder::Inquiry(uint8_t* data, uint32_t dataLength) {
  std::vector<uint8_t> inquiry(36, 0);
  inquiry[0] = 0x05;  // CD/DVD device
  inquiry[1] = 0x80;  // removable
  inquiry[2] = 0x00;
  inquiry[3] = 0x32;
  inquiry[4] = 31;
  const std::string text = InquiryText(m_Switches.inquiry);
  std::memcpy(&inquiry[8], text.data(), text.size());
  return Answer(data, dataLength, inquiry);
}

MmcAnswer MmcRecorder::RequestSense(uint8_t* data, uint32_t dataLength) {
  std::vector<uint8_t> sense = m_LastSense.empty() ? Check(0, 0, 0).sense : m_LastSense;
  m_LastSense.clear();
  return Answer(data, dataLength, sense);
}

MmcAnswer MmcRecorder::TestUnitReady() { return MmcAnswer{}; }

bool MmcRecorder::TestWrite() const { return (m_Pages.at(kWriteParametersPage)[2] & 0x10) != 0; }

bool MmcRecorder::SessionAtOnce() const { return (m_Pages.at(kWriteParametersPage)[2] & 0x0F) == 0x02; }

bool MmcRecorder::MultiSession() const { return (m_Pages.at(kWriteParametersPage)[3] & 0xC0) == 0xC0; }

void MmcRecorder::StartVendorAtOnce(const uint8_t* table, uint32_t length) {
  int64_t end = 0;
  for (uint32_t at = 0; at + kTrackTableEntry <= length; at += kTrackTableEntry)
    end = std::max<int64_t>(end, static_cast<int64_t>(Big32(table + at + 16)) - 150);
  m_AtOnce = true;
  m_HostLeadBlocksLeft = m_VendorLeadIn + 150;
  m_VendorLeadOut = end;
  m_Log.Note("track table: lead-in and pregap of " + std::to_string(m_HostLeadBlocksLeft) +
             " blocks, lead-out at " + std::to_string(end));
}

bool MmcRecorder::RawWriting() const { return (m_Pages.at(kWriteParametersPage)[2] & 0x0F) == 0x03; }

uint32_t MmcRecorder::KeepSubChannel(int64_t lba, uint32_t count, const uint8_t* data, uint32_t blockSize) {
  if (!data || blockSize != kRawWithSubChannel) return count;
  uint32_t userBlocks = count;
  for (uint32_t i = 0; i < count; ++i) {
    std::array<uint8_t, 16> q{};
    std::memcpy(q.data(), data + static_cast<size_t>(i) * blockSize + kMainDataBytes, q.size());
    m_SubChannel[lba + i] = q;
    if (q[1] == kLeadOutTrack && userBlocks == count) userBlocks = i;
  }
  return userBlocks;
}

uint32_t MmcRecorder::PageBlockSize() const { return BlockSizeOfType(m_Pages.at(kWriteParametersPage)[4]); }

MmcAnswer MmcRecorder::ModeSense(const uint8_t* cdb, bool tenByte, uint8_t* data, uint32_t dataLength) {
  const uint8_t code = cdb[2] & 0x3F;
  std::vector<uint8_t> pages;
  const auto add = [&](const std::vector<uint8_t>& page) { pages.insert(pages.end(), page.begin(), page.end()); };
  if (code == kCapabilitiesPage || code == 0x3F) add(Capabilities(m_ReadSpeed, m_WriteSpeed));
  for (const auto& [pageCode, page] : m_Pages)
    if (code == 0x3F || pageCode == code) add(page);
  if (pages.empty() && code != kCapabilitiesPage) {
    // A page nobody set: zeros of a page's usual size.
    std::vector<uint8_t> zeros(16, 0);
    zeros[0] = code;
    zeros[1] = 14;
    add(zeros);
  }
  std::vector<uint8_t> answer(tenByte ? 8 : 4, 0);
  answer.insert(answer.end(), pages.begin(), pages.end());
  if (tenByte)
    PutBig16(&answer[0], static_cast<uint32_t>(answer.size() - 2));
  else
    answer[0] = static_cast<uint8_t>(std::min<size_t>(answer.size() - 1, 255));
  return Answer(data, dataLength, answer);
}

MmcAnswer MmcRecorder::ModeSelect(bool tenByte, const uint8_t* data, uint32_t dataLength) {
  const uint32_t header = tenByte ? 8 : 4;
  if (!data || dataLength < header) return Check(0x05, 0x1A, 0x00);
  const uint32_t descriptors = tenByte ? Big16(data + 6) : data[3];
  uint32_t at = header;
  if (descriptors >= 8 && header + 8 <= dataLength) {
    const uint32_t blockLength = static_cast<uint32_t>(data[header + 5] << 16 | data[header + 6] << 8 | data[header + 7]);
    if (blockLength) m_ReadBlockSize = blockLength;
  }
  at += descriptors;
  while (at + 2 <= dataLength) {
    const uint8_t code = data[at] & 0x3F;
    const uint32_t length = data[at + 1];
    if (at + 2 + length > dataLength) break;  // a page cut short at the list's end
    std::vector<uint8_t> page(data + at, data + at + 2 + length);
    page[0] = code;
    if (code == kWriteParametersPage) {
      std::vector<uint8_t>& stored = m_Pages[code];
      std::copy(page.begin() + 2, page.begin() + 2 + std::min<size_t>(length, stored.size() - 2), stored.begin() + 2);
    } else if (code != kCapabilitiesPage) {
      m_Pages[code] = page;
    }
    at += 2 + length;
  }
  return MmcAnswer{};
}

MmcAnswer MmcRecorder::Write(const uint8_t* cdb, int cdbLength, const uint8_t* data, uint32_t dataLength) {
  int64_t lba = 0;
  uint32_t count = 0;
  if (cdb[0] == 0x0A) {
    lba = (cdb[1] & 0x1F) << 16 | cdb[2] << 8 | cdb[3];
    count = cdb[4] ? cdb[4] : 256;
  } else {
    lba = static_cast<int32_t>(Big32(cdb + 2));
    count = cdb[0] == 0x2A ? Big16(cdb + 7) : Big32(cdb + 6);
  }
  if (count == 0) return MmcAnswer{};
  if (m_LongWritesLeft > 0) {
    --m_LongWritesLeft;
    return Check(0x02, 0x04, 0x08);
  }
  // In raw mode the host writes the lead-in and the first pregap itself,
  // before LBA 0; they begin a session written at once.
  if (lba < 0 && RawWriting()) {
    if (lba + count > 0) return Check(0x05, 0x21, 0x00);
    if (TestWrite()) return MmcAnswer{};
    m_AtOnce = true;
    if (data && dataLength % count == 0) KeepSubChannel(lba, count, data, dataLength / count);
    return MmcAnswer{};
  }
  // After a track table the drive writes at its own address: the first
  // blocks the host sends are lead-in and pregap, kept nowhere.
  if (m_HostLeadBlocksLeft > 0) {
    const uint32_t lead = std::min(count, m_HostLeadBlocksLeft);
    m_HostLeadBlocksLeft -= lead;
    if (lead == count) return MmcAnswer{};
    if (data && dataLength % count == 0) {
      const uint32_t size = dataLength / count;
      data += static_cast<size_t>(lead) * size;
      dataLength -= lead * size;
    }
    count -= lead;
  }
  // The blocks before the first track of a session written at once lie
  // before LBA 0 and hold nothing that is kept.
  if (lba < 0 && m_AtOnce) return lba + count <= 0 ? MmcAnswer{} : Check(0x05, 0x21, 0x00);
  const int64_t next = m_Disc.NextWritable();
  if (next < 0) return Check(0x05, 0x21, 0x00);
  if (lba != next) m_Log.Note("write at " + std::to_string(lba) + ", next writable address " + std::to_string(next));
  const uint32_t blockSize = data ? dataLength / count : 0;
  if (!data || blockSize == 0 || dataLength % count != 0) {
    m_Log.Note("write of " + std::to_string(count) + " blocks with " + std::to_string(dataLength) + " bytes");
  } else if (blockSize != PageBlockSize()) {
    m_Log.Note("write block size " + std::to_string(blockSize) + ", page says " + std::to_string(PageBlockSize()));
  }
  const int64_t end = next + count;
  const auto covers = [&](int64_t at) { return at >= next && at < end; };
  if (covers(m_Switches.faults.writeError)) return Check(0x03, 0x0C, 0x00);
  if (TestWrite()) return MmcAnswer{};
  uint32_t kept = count;
  // Raw blocks bring their sub-channel; the lead-out's hold no user data.
  if (RawWriting()) kept = KeepSubChannel(lba, count, data, blockSize);
  // Nor do those a track table puts after the last track.
  if (m_VendorLeadOut >= 0) kept = static_cast<uint32_t>(std::clamp<int64_t>(m_VendorLeadOut - next, 0, kept));
  if (kept == 0) return MmcAnswer{};
  const bool underrun = covers(m_Switches.faults.underrun);
  if (underrun) kept = std::min(kept, static_cast<uint32_t>(m_Switches.faults.underrun - next));
  std::vector<uint8_t> user;
  const uint8_t* kept2048 = data && blockSize == kUserBytes ? data : nullptr;
  if (data && blockSize > kUserBytes) {
    const uint32_t offset = UserDataOffset(blockSize);
    user.resize(static_cast<size_t>(kept) * kUserBytes);
    for (uint32_t i = 0; i < kept; ++i) {
      const uint32_t from = i * blockSize + offset;
      const uint32_t take = from + kUserBytes <= dataLength ? kUserBytes : 0;
      if (take) std::memcpy(&user[static_cast<size_t>(i) * kUserBytes], data + from, take);
    }
  }
  std::string problem;
  const uint8_t* userData = kept2048 ? kept2048 : user.empty() ? nullptr : user.data();
  if (kept > 0 && !m_Disc.WriteBlocks(kept, userData, problem)) {
    m_Log.Note(problem);
    return Check(0x03, 0x0C, 0x00);
  }
  if (underrun) {
    m_Disc.CloseTrack();
    return Check(0x03, 0x0C, 0x09);
  }
  (void)cdbLength;
  return MmcAnswer{};
}

MmcAnswer MmcRecorder::Read(const uint8_t* cdb, uint8_t* data, uint32_t dataLength) {
  const uint32_t lba = Big32(cdb + 2);
  const uint32_t count = Big16(cdb + 7);
  // Blocks come in the size the last MODE SELECT chose, the user data at
  // its place in a block of that size and the rest zero.
  const uint32_t blockSize = m_ReadBlockSize;
  const uint32_t offset = UserDataOffset(blockSize);
  const uint32_t kept = std::min(kUserBytes, blockSize > offset ? blockSize - offset : 0);
  std::vector<uint8_t> bytes;
  std::vector<uint8_t> user(kUserBytes);
  for (uint32_t i = 0; i < count; ++i) {
    if (!m_Disc.ReadBlock(lba + i, user.data())) return Check(0x05, 0x21, 0x00);
    std::vector<uint8_t> block(blockSize, 0);
    std::memcpy(block.data() + offset, user.data(), kept);
    bytes.insert(bytes.end(), block.begin(), block.end());
    if (bytes.size() >= dataLength) break;
  }
  return Answer(data, dataLength, bytes);
}

MmcAnswer MmcRecorder::ReadSubChannel(const uint8_t* cdb, uint8_t* data, uint32_t dataLength) {
  std::vector<uint8_t> answer(16, 0);
  if ((cdb[3] == 0x01) && m_PlayPosition >= 0) {
    // Playing goes on a second of blocks between two questions; index 0
    // marks the pregap before a track, 1 the track itself.
    const int64_t at = m_PlayPosition;
    m_PlayPosition += 75;
    answer[1] = 0x11;
    answer[5] = 0x10;
    answer[7] = 1;
    for (const auto& track : m_Disc.Tracks()) {
      if (at >= static_cast<int64_t>(track.start) - 150 && at < track.start && track.number > 1) answer[7] = 0;
      if (at >= track.start) answer[6] = static_cast<uint8_t>(track.number);
    }
    PutBig32(&answer[8], static_cast<uint32_t>(at));
  }
  PutBig16(&answer[2], 12);
  return Answer(data, dataLength, answer);
}

MmcAnswer MmcRecorder::ReadCapacity(uint8_t* data, uint32_t dataLength) {
  std::vector<uint8_t> capacity(8, 0);
  const auto& tracks = m_Disc.Tracks();
  const uint32_t last = tracks.empty() ? 0 : tracks.back().start + tracks.back().length - 1;
  PutBig32(&capacity[0], last);
  PutBig32(&capacity[4], kUserBytes);
  return Answer(data, dataLength, capacity);
}

MmcAnswer MmcRecorder::ReadToc(const uint8_t* cdb, uint8_t* data, uint32_t dataLength) {
  uint8_t format = cdb[2] & 0x0F;
  if (format == 0 && cdb[9] == 0x40) format = 1;
  if (format == 0 && cdb[9] == 0x80) format = 2;
  const bool msf = (cdb[1] & 0x02) != 0;
  // The bits above the format are reserved.
  if ((cdb[2] & 0xF0) != 0) return Check(0x05, 0x24, 0x00);
  const auto& tracks = m_Disc.Tracks();
  if (tracks.empty()) return Check(0x08, 0x00, 0x00);
  std::vector<uint8_t> toc(4, 0);
  const auto address = [&](uint8_t* p, int64_t lba) {
    if (msf) PutMsf(p + 1, lba);
    else PutBig32(p, static_cast<uint32_t>(lba));
  };
  const auto descriptor = [&](uint8_t adrControl, uint8_t number, int64_t lba) {
    uint8_t entry[8] = {0, adrControl, number, 0, 0, 0, 0, 0};
    address(entry + 4, lba);
    toc.insert(toc.end(), entry, entry + 8);
  };
  const int lastSession = tracks.back().session;
  if (format == 0) {
    toc[2] = 1;
    toc[3] = static_cast<uint8_t>(tracks.size());
    const int first = std::max<int>(cdb[6], 1);
    for (const auto& track : tracks)
      if (track.number >= first) descriptor(track.audio ? 0x10 : 0x14, static_cast<uint8_t>(track.number), track.start);
    descriptor(0x14, 0xAA, tracks.back().start + tracks.back().length);
  } else if (format == 1) {
    toc[2] = 1;
    toc[3] = static_cast<uint8_t>(lastSession);
    const auto first = std::find_if(tracks.begin(), tracks.end(), [&](const DiscTrack& t) { return t.session == lastSession; });
    descriptor(first->audio ? 0x10 : 0x14, static_cast<uint8_t>(first->number), first->start);
  } else if (format == 2) {
    toc[2] = 1;
    toc[3] = static_cast<uint8_t>(lastSession);
    for (int session = 1; session <= lastSession; ++session) {
      const auto in = [&](const DiscTrack& t) { return t.session == session; };
      const auto first = std::find_if(tracks.begin(), tracks.end(), in);
      const auto last = std::find_if(tracks.rbegin(), tracks.rend(), in);
      if (first == tracks.end()) continue;
      const auto point = [&](uint8_t code, uint8_t p8, uint8_t p9, uint8_t p10) {
        uint8_t entry[11] = {static_cast<uint8_t>(session), 0x14, 0, code, 0, 0, 0, 0, p8, p9, p10};
        toc.insert(toc.end(), entry, entry + 11);
      };
      point(0xA0, static_cast<uint8_t>(first->number), 0, 0);
      point(0xA1, static_cast<uint8_t>(last->number), 0, 0);
      uint8_t leadOut[3];
      PutMsf(leadOut, last->start + last->length);
      point(0xA2, leadOut[0], leadOut[1], leadOut[2]);
      for (auto track = first; track != tracks.end() && track->session == session; ++track) {
        uint8_t start[3];
        PutMsf(start, track->start);
        point(static_cast<uint8_t>(track->number), start[0], start[1], start[2]);
      }
    }
  } else {
    return Check(0x05, 0x24, 0x00);
  }
  PutBig16(&toc[0], static_cast<uint32_t>(toc.size() - 2));
  return Answer(data, dataLength, toc);
}

MmcAnswer MmcRecorder::ReadDiscInformation(uint8_t* data, uint32_t dataLength) {
  std::vector<uint8_t> info(34, 0);
  PutBig16(&info[0], 32);
  const auto& tracks = m_Disc.Tracks();
  const auto& sessions = m_Disc.Sessions();
  uint8_t status = 0, lastState = 0;
  if (m_Disc.IsFinal()) {
    status = 2;
    lastState = 3;
  } else if (!sessions.empty()) {
    status = 1;
    lastState = sessions.back().state == SessionState::Open ? 1 : 0;
  }
  info[2] = static_cast<uint8_t>((m_Disc.IsRewritable() ? 0x10 : 0) | lastState << 2 | status);
  info[3] = 1;
  const size_t sessionCount = sessions.size() + (m_Disc.IsFinal() || lastState == 1 ? 0 : 1);
  info[4] = static_cast<uint8_t>(sessionCount);
  info[5] = static_cast<uint8_t>(tracks.size() + (m_Disc.IsFinal() ? 0 : 1));
  info[6] = info[5];
  const int64_t next = m_Disc.NextWritable();
  if (m_Disc.IsBlank()) {
    info[17] = 97, info[18] = 26, info[19] = 66;
  } else if (next >= 0) {
    PutMsf(&info[17], next - 4500 - 150);
  } else {
    info[16] = info[17] = info[18] = info[19] = 0xFF;
  }
  if (next >= 0) PutMsf(&info[21], m_Disc.LeadOutStart());
  else info[20] = info[21] = info[22] = info[23] = 0xFF;
  return Answer(data, dataLength, info);
}

MmcAnswer MmcRecorder::ReadTrackInformation(const uint8_t* cdb, uint8_t* data, uint32_t dataLength) {
  const auto& tracks = m_Disc.Tracks();
  const uint32_t number = Big32(cdb + 2);
  if ((cdb[1] & 0x03) != 1) return Check(0x05, 0x24, 0x00);
  std::vector<uint8_t> info(36, 0);
  PutBig16(&info[0], 34);
  if (number >= 1 && number <= tracks.size()) {
    const DiscTrack& track = tracks[number - 1];
    info[2] = static_cast<uint8_t>(track.number);
    info[3] = static_cast<uint8_t>(track.session);
    info[5] = track.audio ? 0x00 : 0x04;
    info[6] = track.audio ? 0x00 : 0x01;
    PutBig32(&info[8], track.start);
    PutBig32(&info[24], track.length);
    PutBig32(&info[28], track.start + track.length - 1 - DiscImage::kRunOut);
    info[7] = 0x02;
    return Answer(data, dataLength, info);
  }
  const int64_t next = m_Disc.NextWritable();
  if ((number != 0xFF && number != tracks.size() + 1) || next < 0) return Check(0x05, 0x64, 0x00);
  info[2] = static_cast<uint8_t>(tracks.size() + 1);
  info[3] = static_cast<uint8_t>(m_Disc.Sessions().size() + (m_Disc.TrackOpen() ? 0 : 1));
  info[5] = 0x04;
  info[6] = 0x40 | 0x01;  // blank, mode 1
  info[7] = 0x01;         // next writable address valid
  PutBig32(&info[8], static_cast<uint32_t>(next));
  PutBig32(&info[12], static_cast<uint32_t>(next));
  PutBig32(&info[16], static_cast<uint32_t>(m_Disc.LeadOutStart() - next));
  PutBig32(&info[24], static_cast<uint32_t>(m_Disc.LeadOutStart() - next));
  return Answer(data, dataLength, info);
}

MmcAnswer MmcRecorder::Close(const uint8_t* cdb) {
  const uint8_t function = cdb[2] & 0x07;
  if (TestWrite()) return MmcAnswer{};
  if (function == 1) m_Disc.CloseTrack();
  else if (function == 2 || function == 3) m_Disc.CloseSession(MultiSession());
  else return Check(0x05, 0x24, 0x00);
  return MmcAnswer{};
}

MmcAnswer MmcRecorder::Blank(const uint8_t* cdb) {
  if (!m_Disc.IsRewritable()) return Check(0x05, 0x30, 0x05);
  const uint8_t type = cdb[1] & 0x07;
  if (type == 0 || type == 1) m_Disc.Blank(true);
  else if (type == 6) m_Disc.Blank(false);
  else return Check(0x05, 0x24, 0x00);
  return MmcAnswer{};
}

}  // namespace twl::aspi
