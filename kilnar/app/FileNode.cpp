#include "kilnar/app/FileNode.h"

#include "kilnar/app/NameCompare.h"
#include "kilnar/app/Track.h"
#include "kilnar/app/TreeMessages.h"
#include "kilnar/recorder/CwStream.h"
#include "kilnar/recorder/FileInfo.h"

namespace {

const FileNode* AsFileNode(const Node* node) {
  return node && node->GetType() == kTypeFileNode ? static_cast<const FileNode*>(node) : nullptr;
}

FileNode* AsFileNode(Node* node) {
  return node && node->GetType() == kTypeFileNode ? static_cast<FileNode*>(node) : nullptr;
}

template <class T>
int Order(const T& a, const T& b) {
  return a < b ? -1 : b < a ? 1 : 0;
}

// The extension of an ISO name: from its last "." on, or empty.
std::string_view ExtensionOf(const std::string& name) {
  const size_t dot = name.find_last_of('.');
  return dot == std::string::npos ? std::string_view() : std::string_view(name).substr(dot);
}

}  // namespace

FileNode::FileNode() = default;

FileNode::FileNode(const std::string& path) : m_FilesScanned(false), m_FoldersScanned(false) {
  m_Names.SetPath(path);
  bool isFolder = true;
  if (!GetFileInfo(path.c_str(), &isFolder, &m_Size, &m_Time, &m_Hidden, nullptr)) {
    PrintTreeMessage("ERROR", "ERR_FILENODE_WRONG_REFERENCE", {path});
    m_Size = 0;
    isFolder = true;
  }
  m_IsFolder = isFolder;
  m_TooLarge = !isFolder && GetFileSize64Of(path.c_str()) > 0xFFFFFFFFu;
}

FileNode::FileNode(const std::string& path, bool isFolder, uint32_t size)
    : m_IsFolder(isFolder), m_Size(size), m_FilesScanned(!isFolder), m_FoldersScanned(!isFolder) {
  m_Names.SetPath(path);
}

void FileNode::CopyFrom(const FileNode& other) {
  m_IsFolder = other.m_IsFolder;
  m_SortOrder = other.m_SortOrder;
  m_Names = other.m_Names;
  m_Size = other.m_Size;
  m_Time = other.m_Time;
  m_Extent = other.m_Extent;
  m_JolietExtent = other.m_JolietExtent;
  m_FolderNumber = other.m_FolderNumber;
  m_FromDisc = other.m_FromDisc;
  m_FilesScanned = other.m_FilesScanned;
  m_FoldersScanned = other.m_FoldersScanned;
  m_Hidden = other.m_Hidden;
  m_TooLarge = other.m_TooLarge;
  m_DirSize = other.m_DirSize;
  m_JolietDirSize = other.m_JolietDirSize;
  CloneChildren(other);
}

std::unique_ptr<Node> FileNode::Clone() const {
  auto copy = std::make_unique<FileNode>();
  copy->CopyFrom(*this);
  return copy;
}

FileNode* FileNode::GetParentFolder() const {
  Node* parent = GetParent();
  return parent && parent->GetType() == kTypeFileNode ? static_cast<FileNode*>(parent) : nullptr;
}

Track* FileNode::FindOwningTrack() const {
  for (Node* above = GetParent(); above; above = above->GetParent()) {
    if (above->GetType() == kTypeIsoTrack) return dynamic_cast<Track*>(above);
  }
  return nullptr;
}

bool FileNode::Refresh() {
  if (m_FromDisc) return true;
  if (m_IsFolder) {
    for (size_t i = 0; i < GetCount(); ++i) {
      if (!GetChild(i)->Refresh()) return false;
    }
    // New sizes and times may move children in the time and size orders.
    Sort();
    return true;
  }
  if (!GetFileInfo(GetSourcePath().c_str(), nullptr, &m_Size, &m_Time, nullptr, nullptr)) {
    PrintTreeMessage("ERROR", "ERR_FILENODE_WRONG_REFERENCE", {GetSourcePath()});
    m_Size = 0;
    return false;
  }
  m_TooLarge = GetFileSize64Of(GetSourcePath().c_str()) > 0xFFFFFFFFu;
  return true;
}

std::string FileNode::GetName() const {
  const Track* track = FindOwningTrack();
  if (!track || track->GetNameMode() == 5) return m_Names.GetJolietText();
  return m_Names.GetIsoName();
}

void FileNode::SetName(const std::string& name) {
  if (name.empty() || name == GetName()) return;
  FileNode* parent = GetParentFolder();
  if (parent && parent->FindChildByIsoName(name) >= 0) {
    PrintTreeMessage("ERROR", "ERR_FILENODE_NAME_EXIST", {name});
    return;
  }
  if (parent) {
    if (Track* track = FindOwningTrack()) track->Touch();
  }
  m_Names.SetIsoName(name);
  if (parent) parent->Reposition(this);
}

void FileNode::Reposition(FileNode* child) {
  const long index = IndexOf(child);
  if (index < 0) return;
  std::unique_ptr<Node> node = Node::RemoveChild(child);
  const long place = FindInsertIndex(node.get());
  InsertChildAt(static_cast<size_t>(place >= 0 ? place : index), std::move(node));
}

bool FileNode::CanAdd(const Node* node) const {
  if (!m_IsFolder || !node) return false;
  const int32_t type = node->GetType();
  if (type == kTypeFileNode || type == 1001) return true;
  return type == kTypeAudioFileTrack && !node->GetName().empty();
}

std::unique_ptr<Node> FileNode::RemoveChild(Node* node) {
  std::unique_ptr<Node> removed = Node::RemoveChild(node);
  if (Track* track = FindOwningTrack()) track->MarkChanged();
  return removed;
}

std::string FileNode::GetPath() const {
  const FileNode* parent = GetParentFolder();
  if (!parent) return {};
  const std::string above = parent->GetPath();
  const std::string name = GetName();
  if (!above.empty()) return above + "\\" + name;
  return name.empty() ? "\\" : name;
}

void FileNode::Print(std::FILE* out) const {
  if (!out) return;
  const std::string size = m_IsFolder ? "<DIR>" : std::to_string(m_Size);
  const std::string mark = m_FromDisc ? TreeMessage("MESSAGE", "MSG_FILENODE_DO_EXIST") : " ";
  std::fprintf(out, "%s\t%10s\t%s\t%s\n", GetIsoName().c_str(), size.c_str(), m_Time.ToText(), mark.c_str());
}

int FileNode::Compare(const Node* other) const {
  const FileNode* node = AsFileNode(other);
  if (!other) return 0;
  if (!node) return Node::Compare(other);
  const FileNode* parent = GetParentFolder();
  const uint16_t order = parent ? parent->m_SortOrder : static_cast<uint16_t>(kSortByName);
  if (order == kSortByBytes) return CompareBytes(GetIsoName(), node->GetIsoName());
  if (m_IsFolder != node->m_IsFolder) return m_IsFolder ? -1 : 1;
  int result = 0;
  if (order == kSortByTime) result = m_Time.Compare(node->m_Time);
  if (order == kSortBySize) result = Order(m_Size, node->m_Size);
  if (order == kSortByExtension) result = CompareBytes(ExtensionOf(GetIsoName()), ExtensionOf(node->GetIsoName()));
  // Equal times or sizes fall back to the names: two different files of
  // one size are both kept.
  return result != 0 ? result : CompareNamesNoCase(GetIsoName(), node->GetIsoName());
}

bool FileNode::CanOpen() const {
  if (m_FromDisc) return true;
  CwStream source(GetSourcePath().c_str(), true);
  if (source.IsOpen()) return true;
  PrintTreeMessage("ERROR", "ERR_FILENODE_CANNOT_OPEN", {GetSourcePath()});
  return false;
}

bool FileNode::HasSubfolders() const {
  if (!m_IsFolder) return false;
  if (!m_FoldersScanned) return true;
  const FileNode* first = AsFileNode(GetChild(0));
  return first && first->m_IsFolder;
}

bool FileNode::AddChildChecked(std::unique_ptr<Node>& node, bool remap) {
  if (!node || !m_IsFolder || node->GetType() != kTypeFileNode) return false;
  auto* child = static_cast<FileNode*>(node.get());
  Track* track = FindOwningTrack();
  if (track && track->GetNameMode() == 5 && FindChildByJolietName(child->m_Names.GetJolietName()) >= 0) {
    PrintTreeMessage("ERROR", "ERR_FILENODE_NAME_EXIST", {child->GetName()});
    return false;
  }
  child->m_SortOrder = m_SortOrder;
  if (!AddChild(node)) return false;
  if (remap && track) track->RemapNames(this);
  return true;
}

void FileNode::SetSortOrder(uint16_t order) {
  m_SortOrder = order;
  Sort();
}

void FileNode::SetSortOrderAll(uint16_t order) {
  for (size_t i = 0; i < GetCount(); ++i) {
    if (auto* child = AsFileNode(GetChild(i))) child->SetSortOrderAll(order);
  }
  SetSortOrder(order);
}

void FileNode::SetArchiveBits(bool set) {
  if (!m_IsFolder) {
    const DWORD attributes = GetFileAttributesA(GetSourcePath().c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return;
    SetFileAttributesA(GetSourcePath().c_str(),
                       set ? attributes | FILE_ATTRIBUTE_ARCHIVE : attributes & ~FILE_ATTRIBUTE_ARCHIVE);
    return;
  }
  for (size_t i = 0; i < GetCount(); ++i) {
    if (auto* child = AsFileNode(GetChild(i))) child->SetArchiveBits(set);
  }
}

bool FileNode::CheckReadable(const bool& cancelFlag) {
  if (cancelFlag) return false;
  if (m_IsFolder) {
    auto* first = AsFileNode(GetChild(0));
    return !first || first->CheckReadable(cancelFlag);
  }
  if (m_FromDisc) return true;
  CwStream source(GetSourcePath().c_str(), true);
  if (!source.IsOpen()) throw SourceNotReadable(GetSourcePath());
  return true;
}

namespace {

uint32_t MadeEven(uint32_t length) { return length + (length & 1); }

}  // namespace

uint32_t FileNode::DirRecordLength() const { return MadeEven(33 + static_cast<uint32_t>(GetIsoName().size())); }

uint32_t FileNode::PathRecordLength() const {
  if (!GetParentFolder()) return 10;
  return MadeEven(8 + static_cast<uint32_t>(GetIsoName().size()));
}

uint32_t FileNode::JolietRecordLength() const {
  return 34 + 2 * static_cast<uint32_t>(m_Names.GetJolietLength());
}

uint32_t FileNode::JolietPathRecordLength() const {
  if (!GetParentFolder()) return 10;
  return 8 + 2 * static_cast<uint32_t>(m_Names.GetJolietLength());
}
