// The reading layer of every recorder object: readiness, block size, the
// table of contents (TOC), sessions and tracks, the whole disc layout, block
// and CD-DA reads, the volume label of a data session and the medium lock.
// The answers of a drive are not trusted: a TOC that claims more than 99
// tracks, lacks the descriptors it names or holds addresses outside the
// disc is refused with a text rather than read past its end.
// User-interface thread only.
#pragma once

#include <cstdint>
#include <functional>

#include "kilnar/recorder/DiscLayout.h"
#include "kilnar/recorder/ScsiDrive.h"

using ProgressCallback = std::function<void(int percent)>;

class CdReader : public ScsiDrive {
 public:
  static constexpr uint32_t kTocAnswerSize = 796;
  static constexpr uint16_t kMaxTrackNumber = 99;
  // 00:00:00 and 99:59:74 as logical block addresses.
  static constexpr int32_t kLowestAddress = -150;
  static constexpr int32_t kHighestAddress = 449849;

  explicit CdReader(ScsiMan* manager);
  ~CdReader() override = default;

  const char* GetClassName() const override { return "CdReader"; }

  virtual const uint32_t* GetSpeeds();
  virtual int16_t GetMaxSpeed() { return 0; }
  virtual bool SetSpeed(uint16_t factor);
  virtual bool CanWrite() { return false; }
  virtual bool ReservedFlagA() { return false; }
  virtual bool IsReady() { return TestUnitReady() == 0; }
  virtual bool SetBlockSize(uint16_t size, uint16_t ignored = 0);
  virtual uint16_t GetTrackCount();
  virtual uint16_t GetSessionCount();
  virtual bool ReadVolumeLabel(uint32_t sessionStart, bool& bridge, char* label, uint32_t labelSize);
  virtual bool ReadDiscInfo(DiscInfo& disc, const ProgressCallback& progress);
  virtual bool GetTrackInfo(uint16_t track, int32_t& start, int32_t& length, bool& audio, bool& data);
  virtual bool ReadFullToc(DiscInfo&) { return true; }
  virtual int16_t Read_1(uint32_t address, uint16_t count, uint16_t size);
  virtual int16_t ReadCDDA(uint32_t address, uint16_t count, bool subchannel = false);
  virtual uint32_t GetFreeBlocks() { return 0; }
  virtual uint32_t GetMaxBlocks() { return 330000; }
  virtual uint16_t GetLastSessionStart(int32_t& start);
  virtual bool CanLoad() { return false; }
  virtual bool AllowMediaRemoval(bool allow);
  virtual int16_t Eject();
  virtual int16_t Load();
  virtual void ProbeLoad() {}

  void Cancel() { m_Cancel = 1; }
  bool Cancelled() const { return m_Cancel == 1; }

 protected:
  // READ TOC (form 00h, 796 bytes) into the transfer buffer.
  int16_t ReadTocAnswer();
  // The start and length of a track in a TOC answer; false with a text
  // when the answer does not hold it soundly.
  bool FindTrackInToc(const uint8_t* toc, uint16_t track, int32_t& start, int32_t& length, uint8_t& control);
  static bool IsDiscAddress(int64_t lba) { return lba >= kLowestAddress && lba <= kHighestAddress; }
  // The error text of a TOC answer that does not hold the track soundly.
  void SetBadTrackText(uint16_t track);
  uint8_t SenseKey() const { return GetSenseData()[2] & 0x0F; }

  uint8_t m_Cancel = 0;
  // The last track number the last TOC read claimed, before it was capped.
  uint16_t m_ClaimedTracks = 0;
  uint8_t m_ReaderCdDaCommand = 0;
  uint8_t m_ReaderCdDaSwap = 0;
};

// The error text of an answer that the engine refuses to read.
constexpr const char* kBadTocText = "The drive's table of contents is not valid";
