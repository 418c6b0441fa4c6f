// The volume descriptors of an image: the primary one, the Joliet
// supplementary one and the set terminator.
#include <cstring>

#include "kilnar/app/FileNode.h"
#include "kilnar/app/IsoFields.h"
#include "kilnar/app/IsoTrack.h"
#include "kilnar/app/LogicalBlockSize.h"
#include "kilnar/recorder/ByteOrder.h"
#include "kilnar/recorder/IsoDates.h"

namespace {

constexpr uint32_t kSector = 2048;
constexpr uint8_t kRootIdentifier = 0x00;

uint32_t SectorsOf(uint32_t bytes) { return (bytes + kSector - 1) / kSector; }

void PutHead(uint8_t* sector, uint8_t type) {
  sector[0] = type;
  std::memcpy(sector + 1, "CD001", 5);
  sector[6] = 1;
}

void PutRootRecord(uint8_t* field, uint32_t extent, uint32_t length, const TimeStamp& time) {
  DirRecord root;
  root.extent = extent;
  root.dataLength = length;
  root.time = &time;
  root.flags = 2;
  root.identifier = &kRootIdentifier;
  root.identifierLength = 1;
  PutDirRecord(field, 34, root);
}

void PutVolumeDates(uint8_t* sector, const VolumeDates& dates) {
  FormatVolumeDate(reinterpret_cast<char*>(sector + 813), &dates.creation);
  FormatVolumeDate(reinterpret_cast<char*>(sector + 830), &dates.modification);
  FormatVolumeDate(reinterpret_cast<char*>(sector + 847), &dates.expiration);
  FormatVolumeDate(reinterpret_cast<char*>(sector + 864), &dates.effective);
}

// The fields both descriptors share: sizes and the sequence numbers.
void PutVolumeFigures(uint8_t* sector, uint32_t volumeSpaceSize, uint32_t pathTableSize) {
  SetBoth32(sector + 80, volumeSpaceSize);
  SetBothEndian16(sector + 120, 1);
  SetBothEndian16(sector + 124, 1);
  SetBothEndian16(sector + 128, GetLogicalBlockSize());
  SetBoth32(sector + 132, pathTableSize);
  sector[881] = 1;
}

using TextPutter = void (*)(uint8_t*, size_t, std::string_view);

// The identifiers and the application use field, in one tree's text form.
void PutVolumeTexts(uint8_t* sector, const VolumeTexts& texts, const std::string& volumeSet, TextPutter put) {
  put(sector + 8, 32, texts.system);
  put(sector + 40, 32, texts.label);
  put(sector + 190, 128, volumeSet);
  put(sector + 318, 128, texts.publisher);
  put(sector + 446, 128, texts.preparer);
  put(sector + 574, 128, texts.application);
  put(sector + 702, 37, texts.copyrightFile);
  put(sector + 739, 37, texts.abstractFile);
  put(sector + 776, 37, texts.bibliographicFile);
  put(sector + 883, 512, texts.applicationUse);
}

}  // namespace

void IsoTrack::FillPrimaryDescriptor(uint8_t* sector) const {
  const FileNode& root = *GetRoot();
  std::memset(sector, 0, kSector);
  PutHead(sector, 1);
  PutVolumeTexts(sector, m_Texts, m_Texts.volumeSet.empty() ? m_Texts.label : m_Texts.volumeSet, PutIsoText);
  PutVolumeFigures(sector, m_VolumeSpaceSize, m_PathTableSize);
  SetLittleEndian32(sector + 140, m_PathTableSector);
  SetBigEndian32(sector + 148, m_PathTableSector + SectorsOf(m_PathTableSize));
  PutRootRecord(sector + 156, root.GetExtent(), root.GetAllocatedDirSize(), root.GetTime());
  PutVolumeDates(sector, m_Dates);
}

// One Joliet path table, little-endian, serves as both the L and the M
// table: readers of the Joliet tree take the L one.
void IsoTrack::FillJolietDescriptor(uint8_t* sector) const {
  const FileNode& root = *GetRoot();
  std::memset(sector, 0, kSector);
  PutHead(sector, 2);
  // The volume set text without falling back to the label.
  PutVolumeTexts(sector, m_Texts, m_Texts.volumeSet, PutJolietText);
  PutVolumeFigures(sector, m_VolumeSpaceSize, m_JolietPathTableSize);
  // The escape sequence of UCS-2 level 1.
  sector[88] = 0x25;
  sector[89] = 0x2F;
  sector[90] = 0x40;
  SetLittleEndian32(sector + 140, m_JolietPathTableSector);
  SetBigEndian32(sector + 148, m_JolietPathTableSector);
  PutRootRecord(sector + 156, root.GetJolietExtent(), root.GetAllocatedJolietDirSize(), root.GetTime());
  PutVolumeDates(sector, m_Dates);
}

bool IsoTrack::WriteDescriptors(CwStream& stream, std::span<uint8_t> buffer) {
  uint8_t* bytes = buffer.data();
  // The system area: 16 sectors of zeros.
  std::memset(bytes, 0, 32768);
  if (!stream.Write(bytes, 16384) || !stream.Write(bytes, 16384)) return false;
  m_Dates.modification.SetToNow();
  m_Dates.effective = m_Dates.modification;
  if (m_Dates.creation.GetYear() <= 1980) m_Dates.creation = m_Dates.modification;
  FillPrimaryDescriptor(bytes);
  for (int copy = 0; copy < 3; ++copy)
    if (!stream.Write(bytes, kSector)) return false;
  if (m_NameMode == 5) {
    FillJolietDescriptor(bytes);
    if (!stream.Write(bytes, kSector)) return false;
  }
  std::memset(bytes, 0, kSector);
  PutHead(bytes, 255);
  return stream.Write(bytes, kSector);
}
