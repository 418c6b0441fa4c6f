// The ISO track's own fields in the stored form of a project.

#include <array>

#include "kilnar/app/IsoTrack.h"
#include "kilnar/app/StoredFields.h"
#include "kilnar/recorder/StreamPrimitives.h"

namespace {

constexpr size_t kAutorunTextField = 512;

// The eleven texts in their stored order.
template <class Fields>
auto VolumeTexts(Fields& volume) {
  return std::array{&volume.publisher,      &volume.dataPreparer, &volume.application, &volume.applicationUse,
                    &volume.volumeLabel,    &volume.system,       &volume.reserved,    &volume.volumeSet,
                    &volume.copyrightFile, &volume.bibliographicFile, &volume.abstractFile};
}

template <class Fields>
auto VolumeDates(Fields& volume) {
  return std::array{&volume.creation, &volume.modification, &volume.expiration, &volume.effective};
}

}  // namespace

bool IsoTrack::SaveFields(CwStream& stream) const {
  if (!Track::SaveFields(stream)) return false;
  for (const std::string* text : VolumeTexts(m_Volume))
    if (!WriteString(stream, *text)) return false;
  if (!WriteWord(stream, m_Volume.reservedWord) || !WriteByte(stream, m_Volume.reservedByte) ||
      !WriteByte(stream, m_Volume.reservedFlag))
    return false;
  for (const TimeStamp* date : VolumeDates(m_Volume))
    if (!WriteTime(stream, *date)) return false;
  if (!WriteString(stream, m_AutorunOpen) || !WriteString(stream, m_AutorunIcon) || !WriteByte(stream, m_WriteOption) ||
      !WriteDword(stream, static_cast<uint32_t>(m_ImageStartSector)))
    return false;
  m_Modified = false;
  return true;
}

bool IsoTrack::LoadFields(CwStream& stream) {
  if (!Track::LoadFields(stream)) return false;
  for (std::string* text : VolumeTexts(m_Volume))
    if (!ReadString(stream, *text, IsoVolumeFields::kTextField)) return false;
  if (!ReadStored(stream, m_Volume.reservedWord) || !ReadStored(stream, m_Volume.reservedByte) ||
      !ReadStored(stream, m_Volume.reservedFlag))
    return false;
  for (TimeStamp* date : VolumeDates(m_Volume))
    if (!ReadStored(stream, *date)) return false;
  uint32_t start = 0;
  if (!ReadString(stream, m_AutorunOpen, kAutorunTextField) || !ReadString(stream, m_AutorunIcon, kAutorunTextField) ||
      !ReadStored(stream, m_WriteOption) || !ReadStored(stream, start))
    return false;
  m_ImageStartSector = static_cast<int32_t>(start);
  m_Modified = false;
  return true;
}
