// Laying out and writing the image: the folder list, the path tables,
// the checks that keep a tree that cannot be written from being started,
// the three allocation passes, and the image written in its order.
#include <algorithm>
#include <cerrno>
#include <cstring>

#include "kilnar/app/AutorunFileNode.h"
#include "kilnar/app/FileNode.h"
#include "kilnar/app/IsoTrack.h"
#include "kilnar/app/TreeMessages.h"
#include "kilnar/recorder/DebugTrace.h"
#include "kilnar/recorder/SmallTransferMode.h"
#include "kilnar/recorder/SplitPath.h"

namespace {

constexpr uint32_t kSector = 2048;
constexpr uint32_t kLeastImageSectors = 1024;
constexpr uint8_t kPadding = 0x46;

uint32_t SectorsOf(uint32_t bytes) { return (bytes + kSector - 1) / kSector; }

// A generated AUTORUN.INF in the root folder while an image is sized or
// written, when the track has autorun texts; removed (and its file
// deleted) when the image is done.
class TemporaryAutorun {
 public:
  TemporaryAutorun(FileNode& root, bool wanted, bool remap) : m_Root(root) {
    if (!wanted) return;
    auto made = std::make_unique<AutorunFileNode>();
    AutorunFileNode* node = made.get();
    std::unique_ptr<Node> owned = std::move(made);
    if (!(remap ? root.AddChildChecked(owned, true) : root.AddChild(owned))) return;
    m_Node = node;
    // Written again now that the node sees the track's texts.
    node->RegenerateFile();
  }
  ~TemporaryAutorun() {
    if (m_Node) m_Root.RemoveChild(m_Node);
  }
  TemporaryAutorun(const TemporaryAutorun&) = delete;
  TemporaryAutorun& operator=(const TemporaryAutorun&) = delete;

 private:
  FileNode& m_Root;
  AutorunFileNode* m_Node = nullptr;
};

// Path table bytes gathered in the work buffer and written whenever it is
// full, so a table of any size goes out in whole sectors without passing
// the buffer's end.
class SectorStager {
 public:
  SectorStager(CwStream& stream, std::span<uint8_t> buffer)
      : m_Stream(stream), m_Bytes(buffer.data()), m_Capacity(buffer.size() / kSector * kSector) {}

  bool Append(const uint8_t* bytes, size_t length) {
    while (length > 0) {
      const size_t piece = std::min(length, m_Capacity - m_Used);
      std::memcpy(m_Bytes + m_Used, bytes, piece);
      m_Used += piece;
      bytes += piece;
      length -= piece;
      if (m_Used == m_Capacity && !Flush()) return false;
    }
    return true;
  }
  // The last sector filled up with zeros and written.
  bool Finish() {
    const size_t whole = (m_Used + kSector - 1) / kSector * kSector;
    std::memset(m_Bytes + m_Used, 0, whole - m_Used);
    m_Used = whole;
    return m_Used == 0 || Flush();
  }

 private:
  bool Flush() {
    const bool written = m_Stream.Write(m_Bytes, static_cast<uint32_t>(m_Used));
    m_Used = 0;
    return written;
  }

  CwStream& m_Stream;
  uint8_t* m_Bytes;
  size_t m_Capacity;
  size_t m_Used = 0;
};

}  // namespace

bool IsoTrack::BuildFolderList(FileNode& root) {
  ClearFolderList();
  if (!PushFolder(&root)) return false;
  // Breadth-first: each listed folder's subfolders in the image's order.
  for (size_t i = 0; i < m_Folders.size(); ++i) {
    const FileNode* folder = m_Folders[i];
    for (FileNode* child : folder->ImageChildren())
      if (child->IsFolder() && !PushFolder(child)) return false;
  }
  return true;
}

void IsoTrack::SumPathTables() {
  m_PathTableSize = 0;
  m_JolietPathTableSize = 0;
  for (const FileNode* folder : m_Folders) {
    m_PathTableSize += folder->PathRecordLength();
    m_JolietPathTableSize += folder->JolietPathRecordLength();
  }
  if (m_NameMode != 5) m_JolietPathTableSize = 0;
}

void IsoTrack::Refuse(const char* section, const char* key, std::initializer_list<std::string> figures) {
  m_Refusal = TreeMessage(section, key, figures);
  PrintTreeMessage(section, key, figures);
}

// A folder never holds two records of one name: readers would show one of
// them, or neither. Names cut to their field can meet though the long
// names differ; the numbering of the renaming keeps ISO names apart, but a
// tree changed after it, or Joliet names alike in their first 64
// characters, are refused here.
bool IsoTrack::CheckTree() {
  for (const FileNode* folder : m_Folders) {
    const std::vector<FileNode*> children = folder->ImageChildren();
    for (size_t i = 0; i < children.size(); ++i) {
      const FileNode& child = *children[i];
      if (!child.IsFolder() && !child.IsFromDisc() && child.IsTooLarge()) {
        Refuse("ERROR", "ERR_FILENODE_TOO_LARGE", {child.GetSourcePath()});
        return false;
      }
      if (i > 0 && children[i - 1]->GetIsoName() == child.GetIsoName()) {
        Refuse("ERROR", "ERR_FILENODE_NAME_EXIST", {child.GetIsoName()});
        return false;
      }
    }
    if (m_NameMode != 5) continue;
    std::vector<const NodeName*> names;
    names.reserve(children.size());
    for (const FileNode* child : children) names.push_back(&child->GetNames());
    std::sort(names.begin(), names.end(),
              [](const NodeName* a, const NodeName* b) { return a->GetJolietName() < b->GetJolietName(); });
    for (size_t i = 1; i < names.size(); ++i) {
      if (names[i - 1]->GetJolietName() == names[i]->GetJolietName()) {
        Refuse("ERROR", "ERR_FILENODE_NAME_EXIST", {names[i]->GetJolietText()});
        return false;
      }
    }
  }
  return true;
}

void IsoTrack::Allocate(FileNode& root, uint32_t startSector) {
  const bool joliet = m_NameMode == 5;
  m_PathTableSector = startSector + (joliet ? 21 : 20);
  m_JolietPathTableSector = m_PathTableSector + 2 * SectorsOf(m_PathTableSize);
  uint32_t counter = m_JolietPathTableSector + (joliet ? SectorsOf(m_JolietPathTableSize) : 0);
  root.AllocateDirectories(counter);
  if (joliet) root.AllocateJolietDirectories(counter);
  root.AllocateFiles(counter);
  m_VolumeSpaceSize = counter - startSector;
}

uint32_t IsoTrack::CalcImageSize() {
  m_Refusal.clear();
  FileNode* root = GetRoot();
  if (!root) return 0;
  if (!BuildFolderList(*root)) {
    Refuse("ERROR", "ERR_ISOTRACK_CANNOT_CALC_SIZE");
    return 0;
  }
  SumPathTables();
  TemporaryAutorun autorun(*root, HasAutorun(), false);
  if (!CheckTree()) return 0;
  Allocate(*root, 0);
  return std::max(m_VolumeSpaceSize, kLeastImageSectors);
}

bool IsoTrack::CreateImage(CwStream& stream, uint32_t startSector, std::span<uint8_t> buffer, bool stopFlag,
                           uint64_t byteLimit) {
  if (m_Texts.label.empty())
    m_Texts.label = GetParent() ? SplitPath(GetParent()->GetName().c_str()).GetName() : "NONAME";
  m_Cancel = false;
  errno = 0;
  m_WriteError = 0;
  m_Refusal.clear();
  FileNode* root = GetRoot();
  if (!root) return false;
  root->SetSortOrderAll(kSortByBytes);
  if (buffer.size() < kLeastBuffer) {
    Refuse("ERROR", "INTERNAL_ERROR");
    return false;
  }
  if (!BuildFolderList(*root)) {
    Refuse("ERROR", "ERR_ISOTRACK_CANNOT_CALC_SIZE");
    return false;
  }
  SumPathTables();
  bool written = false;
  {
    TemporaryAutorun autorun(*root, HasAutorun(), true);
    if (!CheckTree()) return false;
    Allocate(*root, startSector);
    if (m_Cancel) return false;
    if (m_VolumeSpaceSize == 0) {
      Refuse("ERROR", "ERR_ISOTRACK_CANNOT_CALC_SIZE");
      return false;
    }
    written = WriteImage(stream, buffer, stopFlag, byteLimit);
    if (!written) m_WriteError = errno;
  }
  if (!written || m_Cancel) return false;
  if (m_Stopped) return true;
  DebugTrace("ISOTRACK::CREATEIMAGE(4)");
  if (!WritePadding(stream, buffer)) {
    m_WriteError = errno;
    return false;
  }
  DebugTrace("ISOTRACK::CREATEIMAGE(5)");
  return true;
}

bool IsoTrack::WriteImage(CwStream& stream, std::span<uint8_t> buffer, bool stopFlag, uint64_t byteLimit) {
  m_Stopped = false;
  const FileNode& root = *GetRoot();
  if (!WriteDescriptors(stream, buffer) || m_Cancel) return false;
  if (!WritePathTables(stream, buffer) || m_Cancel) return false;
  if (!root.WriteDirectoryTree(stream, buffer.data()) || m_Cancel) return false;
  if (m_NameMode == 5 && (!root.WriteJolietDirectoryTree(stream, buffer.data()) || m_Cancel)) return false;
  DebugTrace("ISOTRACK::CREATEIMAGE(3)");
  DataCopy copy{stream, buffer, m_Cancel, stopFlag, byteLimit, 0, {}};
  const DataResult result = root.WriteDataTree(copy);
  if (result == DataResult::kFailed) {
    m_Refusal = copy.failure;
    return false;
  }
  m_Stopped = result == DataResult::kStopped;
  return true;
}

bool IsoTrack::WritePathTables(CwStream& stream, std::span<uint8_t> buffer) {
  // Room for the longest record: 8 bytes, 64 units and nothing more.
  uint8_t record[8 + 2 * NodeName::kJolietMost + 2];
  for (bool bigEndian : {false, true}) {
    SectorStager table(stream, buffer);
    for (size_t i = 0; i < m_Folders.size(); ++i) {
      FileNode& folder = *m_Folders[i];
      // Parents come before their children, so a parent's number is set
      // when a child's record needs it.
      folder.SetFolderNumber(static_cast<uint16_t>(i + 1));
      folder.WritePathRecord(record, bigEndian);
      if (!table.Append(record, folder.PathRecordLength())) return false;
    }
    if (!table.Finish()) return false;
  }
  if (m_NameMode != 5) return true;
  SectorStager table(stream, buffer);
  for (const FileNode* folder : m_Folders) {
    folder->WriteJolietPathRecord(record);
    if (!table.Append(record, folder->JolietPathRecordLength())) return false;
  }
  return table.Finish();
}

bool IsoTrack::WritePadding(CwStream& stream, std::span<uint8_t> buffer) {
  if (m_VolumeSpaceSize >= kLeastImageSectors) return true;
  const uint32_t chunkSectors = GetSmallTransferMode() ? 10 : 25;
  std::memset(buffer.data(), kPadding, chunkSectors * kSector);
  for (uint32_t left = kLeastImageSectors - m_VolumeSpaceSize; left > 0;) {
    const uint32_t sectors = std::min(left, chunkSectors);
    if (!stream.Write(buffer.data(), sectors * kSector)) return false;
    left -= sectors;
  }
  return true;
}
