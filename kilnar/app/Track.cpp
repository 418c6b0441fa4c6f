#include "kilnar/app/Track.h"

#include "kilnar/app/FileNode.h"
#include "kilnar/recorder/FileInfo.h"
#include "kilnar/recorder/SplitPath.h"

bool Track::Refresh() {
  m_Cancel = false;
  FileNode* root = GetRoot();
  return root && root->Refresh();
}

bool Track::CanAdd(const Node* node) const {
  return node && node->GetType() == kTypeFileNode && GetCount() == 0;
}

bool Track::AddChild(std::unique_ptr<Node>& node) {
  if (!CanAdd(node.get())) return false;
  InsertChildAt(0, std::move(node));
  return true;
}

FileNode* Track::GetRoot() const { return dynamic_cast<FileNode*>(GetChild(0)); }

bool Track::IsImageCurrent() const {
  if (!PrjElement::HasFile()) return false;
  return GetFileTimeOf(m_Name.c_str()).IsEqual(m_Date);
}

bool Track::CheckSources() {
  m_Cancel = false;
  FileNode* root = GetRoot();
  return root && root->CheckReadable(m_Cancel);
}

void Track::Touch() { m_Date.SetToNow(); }

void Track::SetArchiveBits(bool set) {
  if (FileNode* root = GetRoot()) root->SetArchiveBits(set);
}

void Track::CopyTrack(const Track& from) {
  CopyElement(from);
  m_CharMap = from.m_CharMap;
  m_NameMode = from.m_NameMode;
}

long Track::FindFolderChild(const FileNode& parent, const std::string& wanted) const {
  return parent.FindChildByIsoName(wanted);
}

FileNode* Track::FindOrCreateFolder(const std::string& path) {
  FileNode* root = GetRoot();
  if (!root) return nullptr;
  std::string trimmed = path;
  if (!trimmed.empty() && (trimmed.front() == '\\' || trimmed.front() == '/')) trimmed.erase(0, 1);
  if (!trimmed.empty() && (trimmed.back() == '\\' || trimmed.back() == '/')) trimmed.pop_back();
  if (trimmed.empty()) return root;
  const size_t separator = trimmed.find_last_of("\\/");
  FileNode* parent = separator == std::string::npos ? root : FindOrCreateFolder(trimmed.substr(0, separator));
  if (!parent) return nullptr;
  // The last component without a final ".xxx".
  const std::string wanted = SplitPath(trimmed.c_str()).GetName();
  const long index = FindFolderChild(*parent, wanted);
  if (index >= 0) return static_cast<FileNode*>(parent->GetChild(static_cast<size_t>(index)));
  auto made = std::make_unique<FileNode>();
  FileNode* folder = made.get();
  folder->SetName(wanted);
  std::unique_ptr<Node> node = std::move(made);
  return parent->AddChildChecked(node, true) ? folder : nullptr;
}
