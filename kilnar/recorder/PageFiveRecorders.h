// The page-05 recorders: eight drive classes of MMC writers driven
// through the write parameters page 05h, told once as PageFiveRecorder
// with a table of members. Two lines: the drive-configured one (the drive
// keeps the configuration; pages 05h and 2Ah are read back) and the
// shadow-configured one (the class keeps its own copy, the shadow, and
// sends speed and page with every track). Three shadow classes share one
// shadow among all their objects; a new object resets it, and
// ResetClassShadows does so for tests. User-interface thread only.
#pragma once

#include <cstdint>

#include "kilnar/recorder/ScsiDevice.h"

// The configuration a shadow-configured class keeps.
struct ConfigShadow {
  uint8_t testWrite = 1;
  uint8_t speedCode = 2;
  uint32_t blockSize = 2048;
  uint32_t pause = 150;
};

struct PageFiveMember {
  enum class Config { Jvc, Bp4, Px, Sanyo, Toshiba, Panasonic7585, ShadowOnly };
  enum class Shadow { None, PerObject, ClassWide };
  enum class WriteForm { Write10, RepeatLongWrite, RepeatThenBufferCapacity, BufferCapacity };

  const char* className;
  const uint32_t* speeds;  // 0-terminated
  Config config;
  Shadow shadow;
  WriteForm write;
  bool canBlank;
  bool clampedFreeBlocks;
  bool speedBySharedCommand;  // SetSpeed is the shared SET CD SPEED
  bool writesDaoPregap;       // PrepareDAO writes the 150 blocks before track 1
  uint8_t firstPregapForm;    // the data form of the cue sheet's second entry
  int classShadowIndex;       // which class-wide shadow, -1 none

  bool IsShadowLine() const { return shadow != Shadow::None; }
};

class PageFiveRecorder : public ScsiDevice {
 public:
  PageFiveRecorder(ScsiMan* manager, const PageFiveMember& member);

  const char* GetClassName() const override { return m_Member.className; }
  const PageFiveMember& Member() const { return m_Member; }

  const uint32_t* GetSpeeds() override;
  bool SetSpeed(uint16_t factor) override;
  int16_t ReadCDDA(uint32_t address, uint16_t count, bool subchannel = false) override;
  uint32_t GetFreeBlocks() override;
  int16_t GetConfig(int ignored, WriteConfig& config) override;
  int16_t SetConfig(const WriteConfig& config, uint16_t flag) override;
  bool CanBlank() override { return m_Member.canBlank; }
  bool ReservedFlagD() override { return m_Member.canBlank ? false : CanBlank(); }
  bool BlankDisc() override;
  bool BlankSession() override;
  int32_t FirstWriteAdress(int = 0, int = 1, int = 0, int = 0) override;
  int16_t WriteTrack(uint8_t audioFlag, uint16_t mode, uint16_t track, uint32_t value1, uint32_t value2,
                     uint32_t blocks, uint32_t nextAddress, uint8_t testWrite) override;
  int16_t Write_1(uint32_t address, uint16_t count, bool last, uint16_t blockSize) override;
  int16_t FlushCache(int, int, uint16_t track, uint32_t nextAddress, uint8_t audioFlag, uint8_t testWrite) override;
  int16_t Fixation(uint32_t first, uint32_t second, uint32_t third, uint32_t fourth) override;
  bool ReservedFlagF() override { return true; }
  bool PrepareDAO(const DiscInfo& disc, int ignored) override;
  bool EndDAO(const DiscInfo& disc) override;
  uint16_t GetDataBlockSize() override { return 2352; }
  uint16_t GetMode2BlockSize() override { return 2352; }

  const ConfigShadow& Shadow() const { return *m_Shadow; }
  // Puts every class-wide shadow back to its construction values.
  static void ResetClassShadows();

 private:
  int16_t ReadWriteParameters(uint32_t length);
  int16_t ReadCapabilities();
  int16_t SelectWriteParameters();
  // The 60-byte list with page 05h's code and length, the rest zero.
  uint8_t* StartWriteParameters(uint32_t cleared);
  int16_t SetCdSpeed(uint16_t readSpeed, uint16_t writeSpeed);
  int16_t ReadDiscInformationTwice();
  int16_t ReadInvisibleTrack();
  int16_t SetTrackSpeed(int16_t speedCode);
  int16_t GetDriveConfig(WriteConfig& config);
  int16_t GetShadowLineConfig(WriteConfig& config);
  int16_t SetDriveConfig(const WriteConfig& config);
  int16_t SetShadowLineConfig(const WriteConfig& config);
  void StoreShadow(const WriteConfig& config);
  void CopyShadow(WriteConfig& config) const;

  const PageFiveMember& m_Member;
  ConfigShadow m_OwnShadow;
  ConfigShadow* m_Shadow;
};

#define TWL_PAGE_FIVE_CLASS(Name)                      \
  class Name : public PageFiveRecorder {               \
   public:                                             \
    explicit Name(ScsiMan* manager);                   \
  };

TWL_PAGE_FIVE_CLASS(Dev_JVC2082)
TWL_PAGE_FIVE_CLASS(Dev_Generic_CRD_BP4)
TWL_PAGE_FIVE_CLASS(Dev_Plextor_PX_W1210S)
TWL_PAGE_FIVE_CLASS(Dev_SanyoR800)
TWL_PAGE_FIVE_CLASS(Dev_Toshiba_SDR1002)
TWL_PAGE_FIVE_CLASS(Dev_HP9200)
TWL_PAGE_FIVE_CLASS(Dev_Panasonic7585)
TWL_PAGE_FIVE_CLASS(Dev_Panasonic7582)

#undef TWL_PAGE_FIVE_CLASS
