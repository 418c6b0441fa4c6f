// Finding children by name, and the renaming of a subtree by a name mode
// with the numbering that makes ISO names unique within each folder.
#include <string>
#include <unordered_map>

#include "kilnar/app/FileNode.h"
#include "kilnar/app/NameCompare.h"
#include "kilnar/recorder/WideText.h"

namespace {

constexpr size_t kShortLimit = 8;
constexpr size_t kLongLimit = 30;

const FileNode* ChildAt(const FileNode& folder, size_t index) {
  const Node* child = folder.GetChild(index);
  return child && child->GetType() == kTypeFileNode ? static_cast<const FileNode*>(child) : nullptr;
}

// The ISO names a folder's children hold, counted by their folded form.
class TakenNames {
 public:
  void Add(const std::string& name) { ++m_Counts[FoldedName(name)]; }
  void Remove(const std::string& name) {
    auto found = m_Counts.find(FoldedName(name));
    if (found != m_Counts.end() && --found->second == 0) m_Counts.erase(found);
  }
  bool Has(const std::string& name) const { return m_Counts.count(FoldedName(name)) != 0; }

 private:
  std::unordered_map<std::string, size_t> m_Counts;
};

// The candidate name for a count D: N + D + E, with N shortened so that N
// and D keep within the mode's limit.
std::string Numbered(int mode, const std::string& name, const std::string& digits, const std::string& extension) {
  size_t limit = 0;
  if (mode == 1 || mode == 2 || mode == 5) limit = kShortLimit;
  else if (mode == 3) limit = kLongLimit;
  else  // no limit of its own: the ISO name's field
    limit = NodeName::kIsoNameMost > extension.size() ? NodeName::kIsoNameMost - extension.size() : 0;
  if (name.size() + digits.size() <= limit) return name + digits + extension;
  const size_t kept = limit > digits.size() ? limit - digits.size() : 0;
  return CutUtf8(name, kept) + digits + extension;
}

}  // namespace

long FileNode::FindChildByIsoNameLinear(const std::string& name) const {
  for (size_t i = 0; i < GetCount(); ++i) {
    const FileNode* child = ChildAt(*this, i);
    if (child && NamesEqualNoCase(child->GetIsoName(), name)) return static_cast<long>(i);
  }
  return -1;
}

long FileNode::FindChildByJolietName(const std::u16string& name) const {
  const std::string wanted = Utf8Of(name);
  for (size_t i = 0; i < GetCount(); ++i) {
    const FileNode* child = ChildAt(*this, i);
    if (child && child->m_Names.GetJolietLength() == name.size() &&
        NamesEqualNoCase(child->m_Names.GetJolietText(), wanted))
      return static_cast<long>(i);
  }
  return -1;
}

void FileNode::RenameFolder(int mode, const NameCharMap& table) {
  m_Names.MapIsoName(mode, m_IsFolder, table);
  // A name of nothing but characters ISO names lack.
  if (GetIsoName().empty()) m_Names.SetShortName("_");
  if (GetCount() == 0) return;
  for (size_t i = 0; i < GetCount(); ++i) {
    Node* child = GetChild(i);
    if (child->GetType() == kTypeFileNode) static_cast<FileNode*>(child)->RenameFolder(mode, table);
  }
  const uint16_t previous = m_SortOrder;
  m_SortOrder = kSortByName;
  Sort();
  NumberEqualNames(mode);
  m_SortOrder = previous;
  Sort();
}

// In name order, each child gives up its name and takes the first of its
// name, N1, N2, ... that no child holds; so of equal names all but the
// last are numbered. A name once held stays held while the folder is
// numbered, so the counts already tried for a name and extension need not
// be tried again by the next child of that name.
void FileNode::NumberEqualNames(int mode) {
  TakenNames taken;
  for (size_t i = 0; i < GetCount(); ++i)
    if (const FileNode* child = ChildAt(*this, i)) taken.Add(child->GetIsoName());
  std::unordered_map<std::string, unsigned> triedCounts;
  for (size_t i = 0; i < GetCount(); ++i) {
    Node* node = GetChild(i);
    if (node->GetType() != kTypeFileNode) continue;
    auto* child = static_cast<FileNode*>(node);
    const std::string current = child->GetIsoName();
    taken.Remove(current);
    std::string candidate = current;
    if (taken.Has(candidate)) {
      const size_t dot = current.find_last_of('.');
      const std::string name = current.substr(0, dot);
      const std::string extension = dot == std::string::npos ? std::string() : current.substr(dot);
      unsigned& count = triedCounts[name + '\0' + extension];
      do {
        candidate = Numbered(mode, name, std::to_string(++count), extension);
      } while (taken.Has(candidate));
    }
    child->m_Names.SetShortName(candidate);
    taken.Add(candidate);
  }
}
