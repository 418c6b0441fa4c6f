// The emulated MMC CD recorder: interprets one command block against its
// disc and its mode pages and answers data and sense, as a recorder behind
// an ATAPI bridge would. Faults and scripted replies chosen by the
// switches come first. Callers hold the recorder's lock.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "CommandLog.h"
#include "DiscImage.h"
#include "RecorderSwitches.h"
#include "ScriptedReplies.h"

namespace twl::aspi {

struct MmcAnswer {
  bool good = true;
  std::vector<uint8_t> sense;  // for a CHECK CONDITION, as many bytes as the recorder gives
  uint32_t dataIn = 0;         // bytes put into the data-in area
};

enum class DataPhase { None, In, Out };

class MmcRecorder {
 public:
  // Takes the switches, reads the scripted replies and loads the disc;
  // problems go to stderr in one line.
  void Configure(const RecorderSwitches& switches);
  ScriptedReplies& Replies() { return m_Replies; }
  CommandLog& Log() { return m_Log; }
  uint32_t CountOf(uint8_t opcode) const;
  // The P-Q sub-channel a raw write gave the block at `lba`; false when
  // none did.
  bool SubChannelOf(int64_t lba, uint8_t* q) const;

  MmcAnswer Execute(const uint8_t* cdb, int cdbLength, uint8_t* data, uint32_t dataLength, DataPhase phase);

 private:
  MmcAnswer Interpret(const uint8_t* cdb, int cdbLength, uint8_t* data, uint32_t dataLength, DataPhase phase);
  MmcAnswer Inquiry(uint8_t* data, uint32_t dataLength);
  MmcAnswer TestUnitReady();
  MmcAnswer ModeSense(const uint8_t* cdb, bool tenByte, uint8_t* data, uint32_t dataLength);
  MmcAnswer ModeSelect(bool tenByte, const uint8_t* data, uint32_t dataLength);
  MmcAnswer Write(const uint8_t* cdb, int cdbLength, const uint8_t* data, uint32_t dataLength);
  MmcAnswer Read(const uint8_t* cdb, uint8_t* data, uint32_t dataLength);
  MmcAnswer ReadToc(const uint8_t* cdb, uint8_t* data, uint32_t dataLength);
  MmcAnswer ReadDiscInformation(uint8_t* data, uint32_t dataLength);
  MmcAnswer ReadTrackInformation(const uint8_t* cdb, uint8_t* data, uint32_t dataLength);
  MmcAnswer ReadSubChannel(const uint8_t* cdb, uint8_t* data, uint32_t dataLength);
  MmcAnswer ReadCapacity(uint8_t* data, uint32_t dataLength);
  MmcAnswer Close(const uint8_t* cdb);
  MmcAnswer Blank(const uint8_t* cdb);
  MmcAnswer RequestSense(uint8_t* data, uint32_t dataLength);

  bool TestWrite() const;
  bool MultiSession() const;
  bool SessionAtOnce() const;
  bool RawWriting() const;
  void StartVendorAtOnce(const uint8_t* table, uint32_t length);
  // Keeps the sub-channel of raw blocks and answers how many of them,
  // from the first, hold user data: those before the first lead-out block.
  uint32_t KeepSubChannel(int64_t lba, uint32_t count, const uint8_t* data, uint32_t blockSize);
  uint32_t PageBlockSize() const;
  static MmcAnswer Check(uint8_t key, uint8_t asc, uint8_t ascq);
  static MmcAnswer Answer(uint8_t* data, uint32_t dataLength, const std::vector<uint8_t>& bytes);

  RecorderSwitches m_Switches;
  DiscImage m_Disc;
  ScriptedReplies m_Replies;
  CommandLog m_Log;
  std::map<uint8_t, std::vector<uint8_t>> m_Pages;
  std::map<uint8_t, uint32_t> m_Counts;
  std::vector<uint8_t> m_LastSense;
  uint32_t m_ReadBlockSize = 2048;
  // The current speeds of page 2Ah in kilobytes a second, as SET CD SPEED
  // chose them.
  uint32_t m_ReadSpeed = 0;
  uint32_t m_WriteSpeed = 0;
  int64_t m_PlayPosition = -1;  // where PLAY AUDIO started playing; -1 before any
  uint32_t m_NotReadyLeft = 0;
  uint32_t m_LongWritesLeft = 0;
  bool m_UnitAttentionDue = false;
  // A session is written at once: a cue sheet came, or the host wrote a
  // lead-in in raw mode. The flush at its end closes the session.
  bool m_AtOnce = false;
  std::map<int64_t, std::array<uint8_t, 16>> m_SubChannel;
  // A session written at once through the vendor commands: the lead-in
  // length the drive last reported (EEh), the blocks of lead-in and first
  // pregap the host still sends after the track table (EDh), and where
  // the table says the lead-out begins (-1: no such session).
  uint32_t m_VendorLeadIn = 0;
  uint32_t m_HostLeadBlocksLeft = 0;
  int64_t m_VendorLeadOut = -1;
};

}  // namespace twl::aspi
