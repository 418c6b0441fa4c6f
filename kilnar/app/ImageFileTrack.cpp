#include "kilnar/app/ImageFileTrack.h"

#include "kilnar/app/StoredFields.h"
#include "kilnar/recorder/StreamPrimitives.h"

std::unique_ptr<Node> ImageFileTrack::Clone() const {
  auto copy = std::make_unique<ImageFileTrack>();
  copy->CopyElement(*this);
  copy->m_BlockSize = m_BlockSize;
  copy->m_WriteOption = m_WriteOption;
  copy->m_DataFlag = m_DataFlag;
  copy->m_TrackKind = m_TrackKind;
  return copy;
}

uint32_t ImageFileTrack::GetLength() {
  if (m_BlockSize == 0) return 0;
  const uint64_t size = GetFileSize();
  return static_cast<uint32_t>((size + m_BlockSize - 1) / m_BlockSize);
}

bool ImageFileTrack::SaveFields(CwStream& stream) const {
  return PrjElement::SaveFields(stream) && WriteWord(stream, m_BlockSize) && WriteByte(stream, m_WriteOption) &&
         WriteByte(stream, m_DataFlag) && WriteByte(stream, m_TrackKind);
}

bool ImageFileTrack::LoadFields(CwStream& stream) {
  return PrjElement::LoadFields(stream) && ReadStored(stream, m_BlockSize) && ReadStored(stream, m_WriteOption) &&
         ReadStored(stream, m_DataFlag) && ReadStored(stream, m_TrackKind);
}
