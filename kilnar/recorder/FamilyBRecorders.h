// Drive family B: nineteen ATAPI recorder classes that send a complete
// write-parameters page (05h) of their own, told once as FamilyBRecorder
// with a table of members. A member picks a form of each operation:
// SetConfig S1-S5, WriteTrack T1-T3, Write_1 W1-W3, Fixation F1-F5, and
// for writing a disc at once PrepareDAO P1-P5 and EndDAO E1-E4. Waits go
// by the layer's clock and are bounded. User-interface thread only.
#pragma once

#include <cstdint>

#include "kilnar/recorder/AtapiRecorder.h"

struct FamilyBMember {
  enum class SetConfigForm { S1, S2, S3, S4, S5 };
  enum class WriteTrackForm { T1, T2, T3 };
  enum class WriteForm { W1, W2, W3 };
  enum class FixationForm { F1, F2, F3, F4, F5 };
  enum class PrepareForm { P1, P2, P3, P4, P5 };
  enum class EndForm { E1, E2, E3, E4 };
  enum class Blanking { Shared, NotSupported, SessionRefused };

  const char* className;
  const uint32_t* speeds;  // 0-terminated
  SetConfigForm setConfig;
  WriteTrackForm writeTrack;
  WriteForm write;
  bool writeTraced;
  FixationForm fixation;
  PrepareForm prepare;
  EndForm end;
  bool canLoadByLetter;  // CanLoad only with a "t" at INQUIRY byte 22
  Blanking blanking;
};

class FamilyBRecorder : public Dev_ATAPIRecorder {
 public:
  FamilyBRecorder(ScsiMan* manager, const FamilyBMember& member);

  const char* GetClassName() const override { return m_Member.className; }
  const FamilyBMember& Member() const { return m_Member; }

  const uint32_t* GetSpeeds() override;
  bool CanLoad() override;
  bool ReservedFlagB() override { return true; }
  bool ReservedFlagC() override { return false; }
  bool ReservedFlagF() override { return true; }
  bool CanBlank() override { return m_Member.blanking == FamilyBMember::Blanking::Shared; }
  bool ReservedFlagD() override { return m_Member.blanking == FamilyBMember::Blanking::Shared ? false : CanBlank(); }
  int16_t SetConfig(const WriteConfig& config, uint16_t flag) override;
  bool BlankDisc() override;
  bool BlankSession() override;
  int16_t WriteTrack(uint8_t audioFlag, uint16_t mode, uint16_t track, uint32_t value1, uint32_t value2,
                     uint32_t blocks, uint32_t nextAddress, uint8_t testWrite) override;
  int16_t Write_1(uint32_t address, uint16_t count, bool last, uint16_t blockSize) override;
  int16_t Fixation(uint32_t first, uint32_t second, uint32_t third, uint32_t fourth) override;
  bool PrepareDAO(const DiscInfo& disc, int ignored) override;
  bool EndDAO(const DiscInfo& disc) override;
  uint16_t GetDataBlockSize() override { return 2352; }
  uint16_t GetMode2BlockSize() override { return 2352; }

  uint16_t GetDaoSpeed() const { return m_DaoSpeed; }
  // The speed factor SetConfig asks for a speed code.
  uint16_t SpeedFactorOf(int16_t speedCode) const;

 private:
  bool FromDrivePage() const;
  // Starts the parameter list: from zero, or from the page the drive
  // reports (null when it reports none). Returns the page's first byte.
  uint8_t* StartParameterList(bool fromDrive);
  int16_t SelectParameters(bool savePages, bool fromDrive);
  int16_t CloseAndWait(bool wait, uint8_t track, int cdbLength);

  const FamilyBMember& m_Member;
  uint16_t m_DaoSpeed = 4;
};

// Dev_NEC_NR7500A's session close (F1), which other families install
// too: the drive ready, CLOSE TRACK/SESSION of the session and the track,
// the drive ready again. `className` names the class in the trace.
int16_t FixationAfterReady(ScsiDrive& drive, const char* className, uint32_t openNext, uint32_t track);
// Dev_HP8100's (F2): page 05h from zero with the next session allowed when
// `openNext` is not 0, then the close and the wait; a test write closes
// nothing.
int16_t FixationByPageFromZero(ScsiDevice& device, uint32_t openNext);

#define TWL_FAMILY_B_CLASS(Name)       \
  class Name : public FamilyBRecorder { \
   public:                              \
    explicit Name(ScsiMan* manager);    \
  };

TWL_FAMILY_B_CLASS(Dev_NEC_NR7500A)
TWL_FAMILY_B_CLASS(Dev_LG8120B)
TWL_FAMILY_B_CLASS(Dev_TDK_CDRW161040X)
TWL_FAMILY_B_CLASS(Dev_Samsung_SW408B)
TWL_FAMILY_B_CLASS(Dev_LiteOn_Ltr_12101B)
TWL_FAMILY_B_CLASS(Dev_Generic_CRD_BP1400P)
TWL_FAMILY_B_CLASS(Dev_Waitec_WT3284)
TWL_FAMILY_B_CLASS(Dev_YAMAHA_CRW2100E)
TWL_FAMILY_B_CLASS(Dev_Teac_CD_512EB)
TWL_FAMILY_B_CLASS(Dev_LG8042B)
TWL_FAMILY_B_CLASS(Dev_Phi_Pca460)
TWL_FAMILY_B_CLASS(Dev_HP8100)
TWL_FAMILY_B_CLASS(Dev_MP7040A)
TWL_FAMILY_B_CLASS(Dev_SonyCRX160E)
TWL_FAMILY_B_CLASS(Dev_SonyCRX145E)
TWL_FAMILY_B_CLASS(Dev_SonyCRX140E)
TWL_FAMILY_B_CLASS(Dev_SonyCRX100)

#undef TWL_FAMILY_B_CLASS

class Dev_Yamaha401 : public FamilyBRecorder {
 public:
  explicit Dev_Yamaha401(ScsiMan* manager);

 protected:
  Dev_Yamaha401(ScsiMan* manager, const FamilyBMember& member) : FamilyBRecorder(manager, member) {}
};

// The CD-RW model of the Yamaha 401 line.
class Dev_Yamaha4001 : public Dev_Yamaha401 {
 public:
  explicit Dev_Yamaha4001(ScsiMan* manager);
};
