// One file or folder that goes onto a data CD: where its data comes from on
// disk, its ISO and Joliet names, size, time and attributes, and what the
// image writer needs (extents, folder number, whether it is already on the
// disc from an earlier session). A folder orders its children by its sort
// order and can fill itself from disk. Complaints (a missing source, a name
// already taken) go to the standard output with the texts of MSG\TREE.MSG.
// Used on the user-interface thread only.
#pragma once

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>

#include "kilnar/app/Node.h"
#include "kilnar/app/NodeName.h"
#include "kilnar/recorder/TimeStamp.h"

class NameCharMap;
class Track;
struct FolderScan;

// A source of the tree cannot be opened for reading; what() is its path.
class SourceNotReadable : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Receives a count while a folder is scanned from disk.
using ScanProgress = std::function<void(int)>;

// How a folder orders its children.
enum SortOrder : uint16_t {
  kSortByName = 1,       // folders first, then ISO names without regard to case
  kSortByTime = 2,       // folders first, then time, then name
  kSortBySize = 4,       // folders first, then size, then name
  kSortByExtension = 8,  // folders first, then extension (bytes), then name
  kSortByBytes = 16,     // ISO names as bytes, folders among files (the image's order)
};

class FileNode : public Node {
 public:
  // An empty folder that is never filled from disk; its time is now.
  FileNode();
  // The file or folder at a path, looked up on disk; a missing source is
  // reported and becomes an empty folder.
  explicit FileNode(const std::string& path);
  // A node of the given kind and size; its time is now. A folder is
  // filled from disk by ScanFromDisk.
  FileNode(const std::string& path, bool isFolder, uint32_t size);

  std::unique_ptr<Node> Clone() const override;
  int32_t GetType() const override { return kTypeFileNode; }
  // A file reads its size and time again (false when the source is gone);
  // a folder refreshes its children until one fails.
  bool Refresh() override;
  // The ISO name; the Joliet name under name mode 5 or without a track.
  std::string GetName() const override;
  // A new ISO name, refused when a sibling has it.
  void SetName(const std::string& name) override;
  bool CanAdd(const Node* node) const override;
  std::unique_ptr<Node> RemoveChild(Node* node) override;
  // The path inside the CD, "\"-separated; "" for the root folder.
  std::string GetPath() const override;
  // One listing line: ISO name, size or "<DIR>", time, disc mark.
  void Print(std::FILE* out) const override;
  int Compare(const Node* other) const override;

  // The source can be opened for reading (always, for a node on the disc).
  virtual bool CanOpen() const;
  virtual bool HasSubfolders() const;
  // Adds a file node to this folder in its order, refusing a Joliet name
  // that a child has under name mode 5; with `remap` the track maps the
  // folder's names again.
  virtual bool AddChildChecked(std::unique_ptr<Node>& node, bool remap);
  virtual uint32_t GetFileSize() const { return m_Size; }
  virtual int GetDisplayCode() const { return m_FromDisc ? 545 : 540; }
  virtual int GetKindCode() const { return m_IsFolder ? 250 : 280; }

  // The nearest ISO track above, or null.
  Track* FindOwningTrack() const;
  // Stores the order and sorts the children; the All form also below.
  void SetSortOrder(uint16_t order);
  void SetSortOrderAll(uint16_t order);
  // The first child whose ISO name equals the name without regard to
  // case, or -1. Children in order 1 stand folders first, so a halving
  // search would miss; both look at every child.
  long FindChildByIsoName(const std::string& name) const { return FindChildByIsoNameLinear(name); }
  long FindChildByIsoNameLinear(const std::string& name) const;
  // The first child with the Joliet name (equal without regard to case),
  // or -1.
  long FindChildByJolietName(const std::u16string& name) const;

  // Fills the folder and its subtree from disk: subfolders first, then
  // each subfolder's subtree, then the files. Folders whose names begin
  // with "." are left out; a folder reached again (through a link) is
  // scanned only once and a link back into the tree is not followed.
  // `counter` counts the folders found when `countFlag` is set or a
  // progress function is given; the progress function then receives it,
  // and a tick (0-99) after each subfolder.
  bool ScanFromDisk(uint16_t& counter, bool countFlag, const ScanProgress& progress);
  bool ScanSubfolders(uint16_t& counter, bool countFlag, const ScanProgress& progress);
  bool ScanFiles();

  // Sets or clears the archive attribute of every source file below.
  void SetArchiveBits(bool set);
  // False when the cancel flag is set; throws SourceNotReadable for a file
  // that cannot be opened. A folder checks its first child.
  bool CheckReadable(const bool& cancelFlag);
  // Maps every ISO name of the subtree by the name mode and numbers equal
  // ISO names within each folder (N1, N2, ..., the last keeps the plain
  // name).
  void RenameFolder(int mode, const NameCharMap& table);

  // Record sizes of the image formats.
  uint32_t DirRecordLength() const;
  uint32_t PathRecordLength() const;
  uint32_t JolietRecordLength() const;
  uint32_t JolietPathRecordLength() const;

  bool IsFolder() const { return m_IsFolder; }
  uint16_t GetSortOrder() const { return m_SortOrder; }
  NodeName& GetNames() { return m_Names; }
  const NodeName& GetNames() const { return m_Names; }
  const std::string& GetIsoName() const { return m_Names.GetIsoName(); }
  const std::string& GetSourcePath() const { return m_Names.GetPath(); }
  uint32_t GetSize() const { return m_Size; }
  const TimeStamp& GetTime() const { return m_Time; }
  bool IsHidden() const { return m_Hidden; }
  bool IsFromDisc() const { return m_FromDisc; }
  void SetFromDisc(bool fromDisc) { m_FromDisc = fromDisc; }
  uint32_t GetExtent() const { return m_Extent; }
  void SetExtent(uint32_t extent) { m_Extent = extent; }
  uint32_t GetJolietExtent() const { return m_JolietExtent; }
  void SetJolietExtent(uint32_t extent) { m_JolietExtent = extent; }
  uint16_t GetFolderNumber() const { return m_FolderNumber; }
  void SetFolderNumber(uint16_t number) { m_FolderNumber = number; }

 protected:
  // Names, fields, flags and clones of the children of another node.
  void CopyFrom(const FileNode& other);
  // The parent when it is a folder node, else null.
  FileNode* GetParentFolder() const;

  bool m_IsFolder = true;
  uint16_t m_SortOrder = kSortByName;
  NodeName m_Names;
  uint32_t m_Size = 0;
  TimeStamp m_Time;
  uint32_t m_Extent = 0;
  uint32_t m_JolietExtent = 0;
  uint16_t m_FolderNumber = 0;
  bool m_FromDisc = false;
  bool m_FilesScanned = true;
  bool m_FoldersScanned = true;
  bool m_Hidden = false;

 private:
  bool ScanTree(uint16_t& counter, bool countFlag, const ScanProgress& progress, FolderScan& scan);
  bool ScanSubfolders(uint16_t& counter, bool countFlag, const ScanProgress& progress, FolderScan& scan);
  // Puts a child whose ordering key changed back into its place.
  void Reposition(FileNode* child);
  void NumberEqualNames(int mode);
};
