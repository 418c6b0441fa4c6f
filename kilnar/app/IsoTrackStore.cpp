// The ISO track's own fields in the stored form of a project.

#include <array>

#include "kilnar/app/IsoTrack.h"
#include "kilnar/app/StoredFields.h"
#include "kilnar/recorder/StreamPrimitives.h"

namespace {

constexpr size_t kAutorunTextField = 512;
// The volume texts hold at most 99 bytes.
constexpr size_t kVolumeTextField = 100;

// The eleven texts in their stored order.
template <class Texts>
auto StoredTexts(Texts& texts) {
  return std::array{&texts.publisher, &texts.preparer,      &texts.application,       &texts.applicationUse,
                    &texts.label,     &texts.system,        &texts.reserved,          &texts.volumeSet,
                    &texts.copyrightFile, &texts.bibliographicFile, &texts.abstractFile};
}

template <class Dates>
auto StoredDates(Dates& dates) {
  return std::array{&dates.creation, &dates.modification, &dates.expiration, &dates.effective};
}

}  // namespace

bool IsoTrack::SaveFields(CwStream& stream) const {
  if (!Track::SaveFields(stream)) return false;
  for (const std::string* text : StoredTexts(m_Texts))
    if (!WriteString(stream, *text)) return false;
  if (!WriteWord(stream, m_Reserved.first) || !WriteByte(stream, m_Reserved.second) ||
      !WriteByte(stream, m_Reserved.third))
    return false;
  for (const TimeStamp* date : StoredDates(m_Dates))
    if (!WriteTime(stream, *date)) return false;
  if (!WriteString(stream, m_AutorunOpen) || !WriteString(stream, m_AutorunIcon) || !WriteByte(stream, m_WriteOption) ||
      !WriteDword(stream, static_cast<uint32_t>(m_ImageStartSector)))
    return false;
  m_Modified = false;
  return true;
}

bool IsoTrack::LoadFields(CwStream& stream) {
  if (!Track::LoadFields(stream)) return false;
  for (std::string* text : StoredTexts(m_Texts))
    if (!ReadString(stream, *text, kVolumeTextField)) return false;
  if (!ReadStored(stream, m_Reserved.first) || !ReadStored(stream, m_Reserved.second) ||
      !ReadStored(stream, m_Reserved.third))
    return false;
  for (TimeStamp* date : StoredDates(m_Dates))
    if (!ReadStored(stream, *date)) return false;
  uint32_t start = 0;
  if (!ReadString(stream, m_AutorunOpen, kAutorunTextField) || !ReadString(stream, m_AutorunIcon, kAutorunTextField) ||
      !ReadStored(stream, m_WriteOption) || !ReadStored(stream, start))
    return false;
  m_ImageStartSector = static_cast<int32_t>(start);
  m_Modified = false;
  return true;
}
