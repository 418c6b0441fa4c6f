// Drive family A: ten ATAPI recorder classes told once, as FamilyAOn with
// a table of members. For track-at-once writing they keep the write
// configuration they were given and build page 05h from zero; beside that
// each writes a whole disc at once in raw mode, where the host sends every
// block with its P-Q sub-channel: the lead-in with the table of contents,
// the first pregap, the tracks, the post-gap and the lead-out.
// FamilyARecorder stands on Dev_ATAPIRecorder; Dev_HP3200 on Dev_Delta.
// Each class has one staging area for raw blocks, shared by its objects;
// ResetStagingAreas clears them for tests. Waits go by the layer's clock
// and are bounded. User-interface thread only.
#pragma once

#include <cstdint>

#include "kilnar/recorder/AtapiRecorder.h"
#include "kilnar/recorder/CueSheetRecorders.h"
#include "kilnar/recorder/FamilyAWriter.h"
#include "kilnar/recorder/SharedDriveOperations.h"

template <typename Base>
class FamilyAOn : public Base {
 public:
  FamilyAOn(ScsiMan* manager, const FamilyAMember& member) : Base(manager), m_Writer(*this, member) {}

  const char* GetClassName() const override { return m_Writer.Member().className; }
  const FamilyAMember& Member() const { return m_Writer.Member(); }
  const FamilyAWriter& Writer() const { return m_Writer; }

  const uint32_t* GetSpeeds() override { return SpeedsOrBuiltIn(*this, Member().speeds); }
  int16_t GetConfig(int ignored, WriteConfig& config) override {
    if (!Member().storedConfig) return Base::GetConfig(ignored, config);
    config = m_Writer.StoredConfig();
    return 0;
  }
  int16_t SetConfig(const WriteConfig& config, uint16_t ignored) override {
    if (Member().storedConfig) {
      this->m_BlockSize = config.blockSize;
      return m_Writer.SetConfig(config);
    }
    m_Writer.StoreConfig(config);
    return Base::SetConfig(config, ignored);
  }
  bool CanBlank() override { return Member().canBlank; }
  bool ReservedFlagD() override { return Member().canBlank ? false : CanBlank(); }
  bool BlankDisc() override { return Member().canBlank ? m_Writer.BlankDisc() : ScsiDevice::BlankDisc(); }
  bool BlankSession() override { return Member().canBlank ? m_Writer.BlankSession() : ScsiDevice::BlankSession(); }
  int32_t FirstWriteAdress(int a = 0, int b = 1, int c = 0, int d = 0) override {
    if (Member().writeAdressTraced) m_Writer.TraceFirstWriteAdress();
    return Base::FirstWriteAdress(a, b, c, d);
  }
  int16_t WriteTrack(uint8_t audioFlag, uint16_t mode, uint16_t track, uint32_t value1, uint32_t value2,
                     uint32_t blocks, uint32_t nextAddress, uint8_t testWrite) override {
    using T = FamilyAMember::WriteTrackForm;
    if (Member().writeTrack == T::T1) return m_Writer.WriteTrackPage(audioFlag, mode, track);
    if (Member().writeTrack == T::T2 && !m_Writer.DiscAnswers()) return 0;
    return Base::WriteTrack(audioFlag, mode, track, value1, value2, blocks, nextAddress, testWrite);
  }
  int16_t Write_1(uint32_t address, uint16_t count, bool last, uint16_t blockSize) override {
    return m_Writer.Write(address, count, last, blockSize);
  }
  int16_t Fixation(uint32_t first, uint32_t second, uint32_t third, uint32_t fourth) override {
    if (Member().fixation == FamilyAMember::FixationForm::Atapi)
      return Dev_ATAPIRecorder::Fixation(first, second, third, fourth);
    return m_Writer.Fixation(third, fourth);
  }
  bool ReservedFlagF() override { return true; }
  bool PrepareDAO(const DiscInfo& disc, int) override { return m_Writer.PrepareDAO(disc); }
  bool EndDAO(const DiscInfo& disc) override { return m_Writer.EndDAO(disc); }
  uint16_t GetDataBlockSize() override { return Member().rawBlocks ? 2352 : ScsiDevice::GetDataBlockSize(); }
  uint16_t GetMode2BlockSize() override { return Member().rawBlocks ? 2352 : ScsiDevice::GetMode2BlockSize(); }

 private:
  FamilyAWriter m_Writer;
};

using FamilyARecorder = FamilyAOn<Dev_ATAPIRecorder>;

#define TWL_FAMILY_A_CLASS(Name)       \
  class Name : public FamilyARecorder { \
   public:                              \
    explicit Name(ScsiMan* manager);    \
  };

TWL_FAMILY_A_CLASS(Dev_Phi_PRW1208)
TWL_FAMILY_A_CLASS(Dev_Cyber_CW018)
TWL_FAMILY_A_CLASS(Dev_Waitec_Shuttle)
TWL_FAMILY_A_CLASS(Dev_IDE_4x4x32)
TWL_FAMILY_A_CLASS(Dev_Phi_PRW404)
TWL_FAMILY_A_CLASS(Dev_Philips3600)
TWL_FAMILY_A_CLASS(Dev_Mitsumi4804USB)

#undef TWL_FAMILY_A_CLASS

class Dev_Mitsumi4801 : public FamilyARecorder {
 public:
  explicit Dev_Mitsumi4801(ScsiMan* manager);

 protected:
  Dev_Mitsumi4801(ScsiMan* manager, const FamilyAMember& member) : FamilyARecorder(manager, member) {}
};

// The model of the 4801 line that blanks.
class Dev_Mitsumi4802 : public Dev_Mitsumi4801 {
 public:
  explicit Dev_Mitsumi4802(ScsiMan* manager);
};

// Replaces everything Dev_Delta adds with the family's own operations.
class Dev_HP3200 : public FamilyAOn<Dev_Delta> {
 public:
  explicit Dev_HP3200(ScsiMan* manager);
};
