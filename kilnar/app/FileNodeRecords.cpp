// The records a node writes into an image: its directory records in both
// trees, its path table records, and a folder's whole directory.
#include <cstring>

#include "kilnar/app/FileNode.h"
#include "kilnar/app/IsoFields.h"
#include "kilnar/recorder/ByteOrder.h"
#include "kilnar/recorder/CwStream.h"

namespace {

constexpr uint32_t kSector = 2048;
constexpr uint8_t kFolderFlag = 2;
constexpr uint8_t kHiddenFlag = 1;
constexpr uint8_t kSelfIdentifier = 0x00;
constexpr uint8_t kParentIdentifier = 0x01;

// The Joliet name's units, big-endian, into `bytes` (room for 2 * 64).
uint8_t PutUnits(uint8_t* bytes, const std::u16string& units) {
  for (size_t i = 0; i < units.size(); ++i) SetBigEndian16(bytes + 2 * i, units[i]);
  return static_cast<uint8_t>(2 * units.size());
}

// Which tree a directory belongs to.
enum class Tree { kIso, kJoliet };

}  // namespace

void FileNode::WriteDirRecord(uint8_t* record) const {
  const std::string& name = GetIsoName();
  DirRecord fields;
  fields.extent = m_Extent;
  fields.dataLength = m_IsFolder ? m_DirSize : m_Size;
  fields.time = &m_Time;
  fields.flags = static_cast<uint8_t>((m_IsFolder ? kFolderFlag : 0) | (m_Hidden ? kHiddenFlag : 0));
  fields.identifier = reinterpret_cast<const uint8_t*>(name.data());
  fields.identifierLength = static_cast<uint8_t>(name.size());
  PutDirRecord(record, static_cast<uint8_t>(DirRecordLength()), fields);
}

void FileNode::WriteJolietDirRecord(uint8_t* record) const {
  uint8_t units[2 * NodeName::kJolietMost];
  DirRecord fields;
  fields.extent = m_IsFolder ? m_JolietExtent : m_Extent;
  fields.dataLength = m_IsFolder ? m_JolietDirSize : m_Size;
  fields.time = &m_Time;
  fields.flags = static_cast<uint8_t>((m_IsFolder ? kFolderFlag : 0) | (m_Hidden ? kHiddenFlag : 0));
  fields.identifier = units;
  fields.identifierLength = PutUnits(units, m_Names.GetJolietName());
  PutDirRecord(record, static_cast<uint8_t>(JolietRecordLength()), fields);
}

void FileNode::WritePathRecord(uint8_t* record, bool bigEndian) const {
  const FileNode* parent = GetParentFolder();
  const uint32_t length = PathRecordLength();
  std::memset(record, 0, length);
  const uint16_t parentNumber = parent ? parent->m_FolderNumber : 1;
  if (bigEndian) {
    SetBigEndian32(record + 2, m_Extent);
    SetBigEndian16(record + 6, parentNumber);
  } else {
    SetLittleEndian32(record + 2, m_Extent);
    SetLittleEndian16(record + 6, parentNumber);
  }
  if (!parent) {
    record[0] = 1;  // the root's identifier is the one byte 0x00
    return;
  }
  const std::string& name = GetIsoName();
  record[0] = static_cast<uint8_t>(name.size());
  std::memcpy(record + 8, name.data(), name.size());
}

void FileNode::WriteJolietPathRecord(uint8_t* record) const {
  const FileNode* parent = GetParentFolder();
  std::memset(record, 0, JolietPathRecordLength());
  SetLittleEndian32(record + 2, m_JolietExtent);
  SetLittleEndian16(record + 6, parent ? parent->m_FolderNumber : 1);
  record[0] = parent ? PutUnits(record + 8, m_Names.GetJolietName()) : 1;
}

namespace {

// One folder's directory: the self and parent records, then a record per
// child; a record that does not fit the rest of a sector starts the next.
bool WriteFolderDirectory(const FileNode& folder, const FileNode& parent, Tree tree, CwStream& stream,
                          uint8_t* sector) {
  const bool joliet = tree == Tree::kJoliet;
  std::memset(sector, 0, kSector);
  DirRecord self;
  self.extent = joliet ? folder.GetJolietExtent() : folder.GetExtent();
  self.dataLength = joliet ? folder.GetAllocatedJolietDirSize() : folder.GetAllocatedDirSize();
  self.time = &folder.GetTime();
  self.flags = kFolderFlag;
  self.identifier = &kSelfIdentifier;
  self.identifierLength = 1;
  PutDirRecord(sector, 34, self);
  DirRecord up = self;
  up.extent = joliet ? parent.GetJolietExtent() : parent.GetExtent();
  up.dataLength = joliet ? parent.GetAllocatedJolietDirSize() : parent.GetAllocatedDirSize();
  up.time = &parent.GetTime();
  up.identifier = &kParentIdentifier;
  PutDirRecord(sector + 34, 34, up);
  uint32_t offset = 68;
  for (const FileNode* child : folder.ImageChildren()) {
    const uint32_t length = joliet ? child->JolietRecordLength() : child->DirRecordLength();
    if (offset + length > kSector) {
      if (!stream.Write(sector, kSector)) return false;
      std::memset(sector, 0, kSector);
      offset = 0;
    }
    if (joliet)
      child->WriteJolietDirRecord(sector + offset);
    else
      child->WriteDirRecord(sector + offset);
    offset += length;
  }
  return stream.Write(sector, kSector);
}

}  // namespace

namespace {

// The directories of a subtree, pre-order.
bool WriteDirectoriesBelow(const FileNode& folder, Tree tree, CwStream& stream, uint8_t* sector) {
  if (!folder.IsFolder()) return true;
  const bool written =
      tree == Tree::kJoliet ? folder.WriteJolietDirectory(stream, sector) : folder.WriteDirectory(stream, sector);
  if (!written) return false;
  for (const FileNode* child : folder.ImageChildren())
    if (!WriteDirectoriesBelow(*child, tree, stream, sector)) return false;
  return true;
}

}  // namespace

bool FileNode::WriteDirectory(CwStream& stream, uint8_t* sector) const {
  const FileNode* parent = GetParentFolder();
  return WriteFolderDirectory(*this, parent ? *parent : *this, Tree::kIso, stream, sector);
}

bool FileNode::WriteJolietDirectory(CwStream& stream, uint8_t* sector) const {
  const FileNode* parent = GetParentFolder();
  return WriteFolderDirectory(*this, parent ? *parent : *this, Tree::kJoliet, stream, sector);
}

bool FileNode::WriteDirectoryTree(CwStream& stream, uint8_t* sector) const {
  return WriteDirectoriesBelow(*this, Tree::kIso, stream, sector);
}

bool FileNode::WriteJolietDirectoryTree(CwStream& stream, uint8_t* sector) const {
  return WriteDirectoriesBelow(*this, Tree::kJoliet, stream, sector);
}
