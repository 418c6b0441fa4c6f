// The common recorder class: every drive class derives from it, and a
// drive without a class of its own on a wide SCSI adapter is one. It
// completes the recorder interface: configuration (speed, block size, test
// write), the next writable address and the free space, the TOC and
// track-information queries, sub-channel and audio playing and reading a
// track into a file. It drives the writing of a track (StartTrack, Write,
// EndTrack, or a whole track from a file) and compares a written track
// with its source; the commands that write, flush and close are those of
// the drive classes, and here they answer that the recorder does not
// support them. User-interface thread only.
#pragma once

#include <cstdint>

#include "kilnar/recorder/CdReader.h"

// The write configuration a recorder reports and takes.
struct WriteConfig {
  int16_t speedCode = 0;  // 0 = 1x, 1 = 2x, 2 = 4x, 6, 8, even 10..40 n-fold; -1 none reported
  uint8_t testWrite = 0;
  uint16_t blockSize = 0;
  uint8_t reserved = 0;
  uint8_t mediumFlags[4] = {};
  int16_t mediumKind = 0;
  uint8_t further[13] = {};
  uint16_t pauseLength = 0;
};

// The track-information record (multi-byte fields big-endian).
struct TrackInformation {
  static constexpr size_t kSize = 19;
  uint8_t bytes[kSize] = {};
};

class ScsiDevice : public CdReader {
 public:
  static constexpr size_t kTocBufferSize = 804;
  static constexpr uint32_t kWaveHeaderSize = 44;

  explicit ScsiDevice(ScsiMan* manager);
  ~ScsiDevice() override;

  const char* GetClassName() const override { return "ScsiDevice"; }

  bool Identify() override;
  const uint32_t* GetSpeeds() override;
  int16_t GetMaxSpeed() override { return 1; }
  bool SetSpeed(uint16_t factor) override;
  bool CanWrite() override { return true; }
  uint16_t GetTrackCount() override;
  int16_t Read_1(uint32_t address, uint16_t count, uint16_t size) override;
  int16_t ReadCDDA(uint32_t address, uint16_t count, bool subchannel = false) override;
  uint32_t GetFreeBlocks() override;
  uint32_t GetMaxBlocks() override { return 325000; }
  bool CanLoad() override { return true; }

  virtual bool ReadSubchannel(uint32_t address, uint32_t& count);
  virtual bool PlayAudio(uint32_t address, uint16_t length);
  virtual bool PauseAudio();
  virtual bool ReservedFlagB() { return true; }
  virtual bool ReservedFlagC() { return false; }
  virtual int16_t GetConfig(int ignored, WriteConfig& config);
  virtual int16_t SetConfig(const WriteConfig& config, uint16_t flag);
  virtual bool CanBlank() { return false; }
  virtual bool ReservedFlagD() { return CanBlank(); }
  virtual bool BlankDisc();
  virtual bool BlankSession();
  virtual bool BlankTrack();
  virtual int16_t ReadTrackInformation(uint16_t track);
  virtual int16_t ReadToc(uint16_t form, uint16_t number);
  virtual int16_t ReadTrackToFile(CwStream& stream, uint16_t track, uint32_t blockSize);
  virtual int32_t FirstWriteAdress(int = 0, int = 1, int = 0, int = 0);
  // The audio flag is 4 for an audio track, 0 for data.
  virtual int16_t WriteTrack(uint8_t audioFlag, uint16_t mode, uint16_t track, uint32_t value1, uint32_t value2,
                             uint32_t blocks, uint32_t nextAddress, uint8_t testWrite);
  // A whole track from the stream's position to its end, read ahead into
  // a ring of buffers while the drive writes.
  virtual int16_t WriteTrackFromFile(CwStream& source, uint16_t track, uint32_t blockSize, uint16_t mode,
                                     uint32_t value1, uint32_t value2, uint8_t flags,
                                     const ProgressCallback& progress);
  // Compares a written track with its source, all but the source's last
  // four blocks.
  virtual bool VerifyTrack(CwStream& source, uint16_t track, uint32_t blockSize);
  virtual int16_t Write_1(uint32_t address, uint16_t count, bool last, uint16_t blockSize);
  virtual int16_t FlushCache(int, int, uint16_t track, uint32_t nextAddress, uint8_t audioFlag, uint8_t testWrite);
  virtual int16_t Fixation(uint32_t first, uint32_t second, uint32_t third, uint32_t fourth);
  // Starts a track-at-once track of `blocks` 2048-byte blocks; Write then
  // sends its data and EndTrack flushes it. Flags: bit 1 (2) test write.
  virtual bool StartTrack(uint32_t blocks, uint16_t track, uint16_t mode, uint32_t value1, uint32_t value2,
                          uint8_t flags, const ProgressCallback& progress);
  virtual bool EndTrack(uint16_t track, uint8_t flags, uint8_t audio);
  virtual bool ReservedFlagE() { return false; }
  virtual bool ReservedFlagF() { return false; }
  virtual bool PrepareDAO(const DiscInfo& disc, int ignored);
  // The layout PrepareDAO was given; the classes that write the lead-out
  // themselves find where it begins from it.
  virtual bool EndDAO(const DiscInfo& disc);
  virtual uint16_t GetDataBlockSize() { return 2048; }
  virtual uint16_t GetMode2BlockSize() { return 2336; }
  virtual void ResetState() {}

  // Writes whole blocks at the track's next address. A length that is not
  // whole blocks or exceeds the transfer buffer, or a write before any
  // StartTrack, is refused with a text and nothing sent.
  bool Write(const void* data, uint32_t length) override;

  // The address the next block of the track goes to.
  uint32_t GetNextAddress() const { return m_NextAddress; }
  uint32_t GetBlocksWritten() const { return m_BlocksWritten; }
  const uint8_t* GetTocBuffer() const { return m_Toc; }
  const uint8_t* GetSessionBuffer() const { return m_Session; }
  const uint8_t* GetFullTocBuffer() const { return m_FullToc; }
  const TrackInformation& GetTrackInformation() const { return m_TrackInformation; }
  uint8_t GetCdDaCommand() const { return m_CdDaCommand; }
  uint8_t GetCdDaSwap() const { return m_CdDaSwap; }

 protected:
  // Not supported: the [ERROR] text, status and result 0xFFFF.
  int16_t NotSupported();
  bool BlankingNotSupported();
  // Device types whose next writable address is asked before WriteTrack.
  bool IsAddressFirstType() const;
  // The [MESSAGE] text of ERR_CW_BLOCKS_WRITTEN with the block count.
  void SetBlocksWrittenText(uint32_t blocks);

  uint8_t m_Toc[kTocBufferSize] = {};
  uint8_t m_Session[kTocBufferSize] = {};
  uint8_t m_FullToc[kTocBufferSize] = {};
  TrackInformation m_TrackInformation;
  uint8_t m_CdDaCommand = 0;
  uint8_t m_CdDaSwap = 0;
  uint32_t m_BlocksWritten = 0;
  uint32_t m_TrackBlocks = 0;
  uint32_t m_NextAddress = 0;
  uint8_t m_WriteFlags = 0;
  ProgressCallback m_Progress;
  uint32_t m_WriteBlockSize = 0;
  uint32_t m_DriveClassValue = 0;
  uint32_t m_TrackStart = 0;
  uint16_t m_Pause = 0;
};

// The 44-byte WAVE header of 44100 Hz 16-bit stereo samples.
void MakeWaveHeader(uint8_t* header, uint32_t dataLength);
