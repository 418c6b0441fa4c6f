// The recorder class of the Ricoh MP6200A line: track-at-once as
// Dev_ATAPIRecorder but with WRITE(10) commands that carry no block
// address (the drive writes at its own next address) and are sent again
// while the drive is busy; a disc at once through the vendor commands EEh
// (the lengths of lead-in and lead-out) and EDh (a table of the tracks),
// the host writing lead-in, first pregap, tracks and lead-out as
// 2352-byte blocks. User-interface thread only.
#pragma once

#include <cstdint>

#include "kilnar/recorder/AtapiRecorder.h"

class Dev_RicohMP6200A : public Dev_ATAPIRecorder {
 public:
  // EDh carries the table's length in one byte: twelve 20-byte entries.
  static constexpr int kMaxTracks = 12;
  static constexpr uint32_t kTrackEntryBytes = 20;

  explicit Dev_RicohMP6200A(ScsiMan* manager) : Dev_ATAPIRecorder(manager) {}

  const char* GetClassName() const override { return "Dev_RicohMP6200A"; }

  const uint32_t* GetSpeeds() override;
  bool CanLoad() override { return true; }
  bool ReservedFlagC() override { return false; }
  int16_t SetConfig(const WriteConfig& config, uint16_t ignored) override;
  bool CanBlank() override { return true; }
  bool ReservedFlagD() override { return false; }
  bool BlankDisc() override;
  bool BlankSession() override;
  int16_t Write_1(uint32_t address, uint16_t count, bool last, uint16_t blockSize) override;
  bool ReservedFlagF() override { return true; }
  bool PrepareDAO(const DiscInfo& disc, int ignored) override;
  bool EndDAO(const DiscInfo& disc) override;
  uint16_t GetDataBlockSize() override { return 2352; }
  uint16_t GetMode2BlockSize() override { return 2352; }

  // The vendor query EEh; both lengths 0 when it fails.
  bool QueryLeadLengths(uint32_t& leadIn, uint32_t& leadOut);
  uint32_t GetLeadOutLength() const { return m_LeadOutLength; }

 private:
  bool SendTrackTable(const DiscInfo& disc);
  bool WriteLeadInAndPregap(const DiscInfo& disc, uint32_t leadIn);

  uint32_t m_LeadOutLength = 0;
};
