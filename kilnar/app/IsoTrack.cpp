#include "kilnar/app/IsoTrack.h"

#include "kilnar/app/FileNode.h"
#include "kilnar/app/NameCompare.h"
#include "kilnar/recorder/WideText.h"

namespace {

constexpr size_t kLongestLabel = 99;

}  // namespace

std::unique_ptr<Node> IsoTrack::Clone() const {
  auto copy = std::make_unique<IsoTrack>();
  copy->CopyTrack(*this);
  copy->m_WriteOption = m_WriteOption;
  copy->m_AutorunOpen = m_AutorunOpen;
  copy->m_AutorunIcon = m_AutorunIcon;
  copy->m_Texts = m_Texts;
  copy->m_Dates = m_Dates;
  copy->m_Reserved = m_Reserved;
  return copy;
}

void IsoTrack::SetVolumeLabel(const char* text) {
  if (!text || m_Texts.label == text) return;
  m_Texts.label = CutUtf8(text, kLongestLabel);
  Touch();
}

bool IsoTrack::PushFolder(FileNode* folder) {
  if (!folder || m_Folders.size() >= kMostFolders) return false;
  if (m_Folders.capacity() < kMostFolders) m_Folders.reserve(kMostFolders);
  m_Folders.push_back(folder);
  return true;
}

void IsoTrack::SetNameMode(int mode) {
  if (mode == m_NameMode) return;
  m_NameMode = static_cast<uint16_t>(mode);
  RemapNames(GetRoot());
}

void IsoTrack::RemapNames(FileNode* folder) {
  MarkChanged();
  if (folder) folder->RenameFolder(m_NameMode, m_CharMap);
}

void IsoTrack::RemapNodeName(FileNode* node, bool isFolder) {
  if (!node) return;
  const std::string before = node->GetIsoName();
  node->GetNames().MapIsoName(m_NameMode, isFolder, m_CharMap);
  if (node->GetIsoName() != before) Touch();
}

void IsoTrack::MarkChanged() {
  m_Name.clear();
  m_ImageStartSector = -1;
  m_Modified = true;
}

void IsoTrack::SortBySize() {
  if (FileNode* root = GetRoot()) root->SetSortOrderAll(kSortBySize);
}

void IsoTrack::SetWriteOption(uint8_t option) {
  if (option == m_WriteOption) return;
  m_WriteOption = option;
  MarkChanged();
}

long IsoTrack::FindFolderChild(const FileNode& parent, const std::string& wanted) const {
  for (size_t i = 0; i < parent.GetCount(); ++i) {
    const auto* child = static_cast<const FileNode*>(parent.GetChild(i));
    if (NamesEqualNoCase(child->GetNames().GetJolietText(), wanted)) return static_cast<long>(i);
  }
  return -1;
}

void IsoTrack::SetAutorunTexts(const std::string& open, const std::string& icon) {
  m_AutorunOpen = open;
  m_AutorunIcon = icon;
  MarkChanged();
}
