// The fields of the elements in the stored form: a project element's name,
// a data track's name table, name mode and date, and a file node's names,
// size, time, flags and extent.
#include "kilnar/app/FileNode.h"
#include "kilnar/app/NodeName.h"
#include "kilnar/app/PrjElement.h"
#include "kilnar/app/StoredFields.h"
#include "kilnar/app/Track.h"
#include "kilnar/recorder/StreamPrimitives.h"

namespace {

constexpr size_t kJolietBytes = 2 * NodeName::kJolietMost;

}  // namespace

bool PrjElement::SaveFields(CwStream& stream) const { return WriteString(stream, m_Name); }

bool PrjElement::LoadFields(CwStream& stream) { return ReadString(stream, m_Name, kStoredPathField); }

bool Track::SaveFields(CwStream& stream) const {
  return PrjElement::SaveFields(stream) && stream.Write(m_CharMap.GetBytes(), 256) && WriteWord(stream, m_NameMode) &&
         WriteTime(stream, m_Date);
}

bool Track::LoadFields(CwStream& stream) {
  uint8_t table[256];
  if (!PrjElement::LoadFields(stream) || !ReadStoredBytes(stream, table, sizeof table)) return false;
  m_CharMap.SetBytes(table);
  return ReadStored(stream, m_NameMode) && ReadStored(stream, m_Date);
}

bool NodeName::Save(CwStream& stream) const {
  uint8_t units[kJolietBytes] = {};
  for (size_t i = 0; i < m_Joliet.size() && i < kJolietMost; ++i) {
    units[2 * i] = static_cast<uint8_t>(m_Joliet[i]);
    units[2 * i + 1] = static_cast<uint8_t>(m_Joliet[i] >> 8);
  }
  return WriteString(stream, m_Path) && WriteString(stream, m_IsoName) &&
         WriteWord(stream, static_cast<uint16_t>(m_Joliet.size())) && stream.Write(units, sizeof units);
}

bool NodeName::Load(CwStream& stream) {
  uint16_t length = 0;
  uint8_t units[kJolietBytes];
  if (!ReadString(stream, m_Path, kStoredPathField) || !ReadString(stream, m_IsoName, kStoredIsoNameField) ||
      !ReadStored(stream, length) || length > kJolietMost || !ReadStoredBytes(stream, units, sizeof units))
    return false;
  m_Joliet.clear();
  for (size_t i = 0; i < length; ++i)
    m_Joliet += static_cast<char16_t>(units[2 * i] | units[2 * i + 1] << 8);
  return true;
}

bool FileNode::SaveFields(CwStream& stream) const {
  return WriteWord(stream, m_SortOrder) && m_Names.Save(stream) && WriteDword(stream, m_Size) &&
         WriteTime(stream, m_Time) && WriteFlag(stream, m_IsFolder) && WriteFlag(stream, m_Hidden) &&
         WriteFlag(stream, m_FromDisc) && WriteFlag(stream, m_FoldersScanned) && WriteFlag(stream, m_FilesScanned) &&
         WriteDword(stream, m_Extent);
}

bool FileNode::LoadFields(CwStream& stream) {
  return ReadStored(stream, m_SortOrder) && m_Names.Load(stream) && ReadStored(stream, m_Size) &&
         ReadStored(stream, m_Time) && ReadStored(stream, m_IsFolder) && ReadStored(stream, m_Hidden) &&
         ReadStored(stream, m_FromDisc) && ReadStored(stream, m_FoldersScanned) && ReadStored(stream, m_FilesScanned) &&
         ReadStored(stream, m_Extent);
}
