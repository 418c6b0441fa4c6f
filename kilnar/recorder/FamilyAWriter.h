// What the classes of drive family A share, apart from the class they
// stand on: the stored write configuration, the page 05h they build from
// zero, the raw Write_1 that adds the P-Q sub-channel to every block, the
// session closes F1-F3, and the disc written at once in raw mode
// (PrepareDAO writes lead-in and first pregap, EndDAO post-gap and
// lead-out). Owned by its recorder and sends through it. User-interface
// thread only.
#pragma once

#include <cstddef>
#include <cstdint>

#include "kilnar/recorder/DiscLayout.h"
#include "kilnar/recorder/ScsiDevice.h"

class Dev_ATAPIRecorder;

struct FamilyAMember {
  enum class WriteTrackForm { T1, T2, Atapi };
  enum class FixationForm { Nec, Hp8100, F1, F2, F3, Atapi };

  const char* className;
  const char* traceName;     // the name in the class's trace texts
  const uint32_t* speeds;    // 0-terminated
  bool storedConfig;         // GetConfig answers the stored configuration
  WriteTrackForm writeTrack;
  FixationForm fixation;
  bool canBlank;
  bool rawBlocks;            // 2352-byte blocks at once, else 2048 and 2336
  bool writeAdressTraced;    // FirstWriteAdress asks the drive twice
  bool probesDrive;          // the drive probe before writing a disc at once
  int stagingArea;           // which class-wide staging area
};

class FamilyAWriter {
 public:
  // The staging area holds the blocks of one raw write.
  static constexpr uint16_t kRawPieceBlocks = 20;
  static constexpr uint16_t kUserBlock = 2352;
  static constexpr uint16_t kRawBlock = 2368;
  static constexpr size_t kStagingBytes = size_t{kRawPieceBlocks} * kRawBlock;
  static constexpr size_t kTocEntryBytes = 16;
  static constexpr size_t kTocAreaBytes = 1000;
  // Tracks whose entries, with A0h, A1h and A2h, fit in the lead-in's
  // table of contents.
  static constexpr int kMaxTracks = 59;
  static constexpr int kStagingAreas = 10;

  FamilyAWriter(Dev_ATAPIRecorder& drive, const FamilyAMember& member);
  FamilyAWriter(const FamilyAWriter&) = delete;
  FamilyAWriter& operator=(const FamilyAWriter&) = delete;

  const FamilyAMember& Member() const { return m_Member; }
  const WriteConfig& StoredConfig() const { return m_Stored; }
  void StoreConfig(const WriteConfig& config);
  bool RawMode() const { return m_Raw; }
  // The lead-in's table of contents of the last PrepareDAO.
  const uint8_t* TocArea() const { return m_Toc; }

  // The speed of the configuration, then page 05h from zero.
  int16_t SetConfig(const WriteConfig& config);
  // Page 05h from zero with the track's settings.
  int16_t WriteTrackPage(uint8_t audioFlag, uint16_t mode, uint16_t track);
  // READ DISC INFORMATION twice; false when either fails.
  bool DiscAnswers();
  void TraceFirstWriteAdress();
  // WRITE(10) of the blocks, or raw blocks with their sub-channel while
  // the raw flag is set.
  int16_t Write(uint32_t address, uint16_t count, bool last, uint16_t blockSize);
  int16_t Fixation(uint32_t openNext, uint32_t track);
  bool BlankDisc();
  bool BlankSession();
  bool PrepareDAO(const DiscInfo& disc);
  bool EndDAO(const DiscInfo& disc);
  // The drive probe of the HP class; whether its last question was answered.
  bool ProbeDrive();

  // Clears every class's staging area.
  static void ResetStagingAreas();

 private:
  uint8_t* StartPage();
  int16_t SelectPage();
  int16_t WriteRaw(int32_t address, uint16_t count, uint16_t blockSize);
  int16_t WriteRawPiece(int32_t address, uint16_t count);
  int16_t CloseSession(bool immediate, uint32_t track);
  bool ReadLeadInLength(int32_t& length);
  bool SelectRawWriting();
  void BuildToc(const DiscInfo& disc);
  bool WriteLeadIn(int32_t length, int tracks);
  bool WritePregap();
  // WRITE(10) of the raw blocks in the transfer buffer, sent directly.
  int16_t SendRawBlocks(int32_t address, uint16_t count);

  Dev_ATAPIRecorder& m_Drive;
  const FamilyAMember& m_Member;
  bool m_Raw = false;
  uint8_t m_Q[16] = {};
  DiscInfo m_Layout;
  WriteConfig m_Stored{};
  uint8_t m_Toc[kTocAreaBytes] = {};
};
