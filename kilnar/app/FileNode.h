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
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "kilnar/app/Node.h"
#include "kilnar/app/NodeName.h"
#include "kilnar/recorder/TimeStamp.h"

class CwStream;
class NameCharMap;
class Track;
struct FolderScan;

// How copying a file's data into an image ended: failed, done, or stopped
// early with success because the bytes written passed the caller's limit.
enum class DataResult { kFailed, kDone, kStopped };

// What copying file data into an image needs: the stream, the work
// buffer (at least one chunk), the track's cancel flag, and the optional
// limit after which writing stops with success.
struct DataCopy {
  CwStream& stream;
  std::span<uint8_t> buffer;
  const bool& cancel;
  bool stopFlag = false;
  uint64_t byteLimit = 0;
  uint64_t written = 0;
  // The text of the failure a source gave, for the user.
  std::string failure;
};

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

  // The image of the tree (ISO 9660 with an optional Joliet tree). Every
  // walk takes a folder's children in the image's order, their ISO names
  // as unsigned bytes, whatever the folder's sort order: the size worked
  // out before writing is the size written.
  std::vector<FileNode*> ImageChildren() const;
  // Directory bytes (whole sectors) with the records in the image's order;
  // the allocation stores them, the writers use the stored sizes.
  uint32_t GetDirSize() const;
  uint32_t GetJolietDirSize() const;
  uint32_t GetAllocatedDirSize() const { return m_DirSize; }
  uint32_t GetAllocatedJolietDirSize() const { return m_JolietDirSize; }
  // Pre-order walks giving each folder its ISO, then Joliet, directory
  // extent, then each file not on the disc already its data extent.
  void AllocateDirectories(uint32_t& counter);
  void AllocateJolietDirectories(uint32_t& counter);
  void AllocateFiles(uint32_t& counter);
  // The record of this node in its parent's directory; `record` holds
  // DirRecordLength (JolietRecordLength) bytes.
  void WriteDirRecord(uint8_t* record) const;
  void WriteJolietDirRecord(uint8_t* record) const;
  // The path table record of this folder; its parent is numbered already.
  void WritePathRecord(uint8_t* record, bool bigEndian) const;
  void WriteJolietPathRecord(uint8_t* record) const;
  // This folder's directory (the subtree's with the Tree forms, pre-order),
  // one 2048-byte sector of `sector` at a time.
  bool WriteDirectory(CwStream& stream, uint8_t* sector) const;
  bool WriteJolietDirectory(CwStream& stream, uint8_t* sector) const;
  bool WriteDirectoryTree(CwStream& stream, uint8_t* sector) const;
  bool WriteJolietDirectoryTree(CwStream& stream, uint8_t* sector) const;
  // The data of the files of the subtree, pre-order.
  DataResult WriteDataTree(DataCopy& copy) const;
  // The source's bytes up to the recorded size, in chunks, zeros after its
  // end up to the sector's. A source that cannot be opened, or ends before
  // its recorded size, fails with ERR_FILENODE_CANNOT_OPEN on the standard
  // output.
  virtual DataResult WriteData(DataCopy& copy) const;
  // The source was 4 GiB or more when it was looked at: its size does not
  // fit a record.
  bool IsTooLarge() const { return m_TooLarge; }

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
  bool m_TooLarge = false;
  // Set by the allocation passes.
  uint32_t m_DirSize = 0;
  uint32_t m_JolietDirSize = 0;

 private:
  bool ScanTree(uint16_t& counter, bool countFlag, const ScanProgress& progress, FolderScan& scan);
  bool ScanSubfolders(uint16_t& counter, bool countFlag, const ScanProgress& progress, FolderScan& scan);
  // Puts a child whose ordering key changed back into its place.
  void Reposition(FileNode* child);
  void NumberEqualNames(int mode);
  DataResult SourceFailed(DataCopy& copy) const;
};
