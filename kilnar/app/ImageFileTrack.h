// A track taken from a file of fixed-size blocks (2048 bytes: a data track
// written with write option 1). Its name is the file's path.
#pragma once

#include "kilnar/app/PrjElement.h"

class ImageFileTrack : public PrjElement {
 public:
  std::unique_ptr<Node> Clone() const override;
  int32_t GetType() const override { return kTypeImageFileTrack; }
  void SetName(const std::string& name) override { m_Name = name; }
  // Blocks of the file, the last one counted whole.
  uint32_t GetLength() override;
  uint32_t GetBlockSize() const override { return m_BlockSize; }
  int GetTrackKind() const override { return m_TrackKind; }
  bool IsDataTrack() const override { return m_DataFlag != 0; }
  int GetWriteOption() const override { return m_WriteOption; }
  int GetDisplayCode() const override { return 580; }
  virtual int GetKindCode() const { return 260; }

 protected:
  bool SaveFields(CwStream& stream) const override;
  bool LoadFields(CwStream& stream) override;

 private:
  uint16_t m_BlockSize = 2048;
  uint8_t m_WriteOption = 1;
  uint8_t m_DataFlag = 1;
  uint8_t m_TrackKind = 2;
};
