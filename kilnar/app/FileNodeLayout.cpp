// Where the tree lies in an image: the children's order in it, the sizes
// of the directories and the extents of directories and file data.
#include <algorithm>

#include "kilnar/app/FileNode.h"
#include "kilnar/app/NameCompare.h"

namespace {

constexpr uint32_t kSector = 2048;
// The self and parent records that open every directory.
constexpr uint32_t kOpeningRecords = 68;

uint32_t SectorsOf(uint64_t bytes) { return static_cast<uint32_t>((bytes + kSector - 1) / kSector); }

// Records are packed into sectors; one that would pass the end of the
// current sector starts the next. The bytes are whole sectors.
template <class RecordLength>
uint32_t PackedDirectoryBytes(const std::vector<FileNode*>& children, RecordLength recordLength) {
  uint64_t offset = kOpeningRecords;
  for (const FileNode* child : children) {
    const uint32_t length = recordLength(*child);
    const uint64_t sectorEnd = (offset + kSector - 1) / kSector * kSector;
    offset = offset + length > sectorEnd ? sectorEnd + length : offset + length;
  }
  return SectorsOf(offset) * kSector;
}

}  // namespace

std::vector<FileNode*> FileNode::ImageChildren() const {
  std::vector<FileNode*> children;
  children.reserve(GetCount());
  for (size_t i = 0; i < GetCount(); ++i) {
    Node* child = GetChild(i);
    if (child->GetType() == kTypeFileNode) children.push_back(static_cast<FileNode*>(child));
  }
  std::stable_sort(children.begin(), children.end(), [](const FileNode* a, const FileNode* b) {
    return CompareBytes(a->GetIsoName(), b->GetIsoName()) < 0;
  });
  return children;
}

uint32_t FileNode::GetDirSize() const {
  return PackedDirectoryBytes(ImageChildren(), [](const FileNode& child) { return child.DirRecordLength(); });
}

uint32_t FileNode::GetJolietDirSize() const {
  return PackedDirectoryBytes(ImageChildren(), [](const FileNode& child) { return child.JolietRecordLength(); });
}

void FileNode::AllocateDirectories(uint32_t& counter) {
  if (!m_IsFolder) return;
  const std::vector<FileNode*> children = ImageChildren();
  m_DirSize = PackedDirectoryBytes(children, [](const FileNode& child) { return child.DirRecordLength(); });
  m_Extent = counter;
  counter += m_DirSize / kSector;
  for (FileNode* child : children) child->AllocateDirectories(counter);
}

// The same walk as the ISO directories', with the Joliet records.
void FileNode::AllocateJolietDirectories(uint32_t& counter) {
  if (!m_IsFolder) return;
  const std::vector<FileNode*> children = ImageChildren();
  m_JolietDirSize = PackedDirectoryBytes(children, [](const FileNode& child) { return child.JolietRecordLength(); });
  m_JolietExtent = counter;
  counter += m_JolietDirSize / kSector;
  for (FileNode* child : children) child->AllocateJolietDirectories(counter);
}

void FileNode::AllocateFiles(uint32_t& counter) {
  if (!m_IsFolder) {
    // A file of an earlier session keeps the extent it was read with.
    if (m_FromDisc) return;
    m_Extent = counter;
    counter += SectorsOf(m_Size);
    return;
  }
  for (FileNode* child : ImageChildren()) child->AllocateFiles(counter);
}
