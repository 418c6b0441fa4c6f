// The ISO 9660 and Joliet data track: its file tree, the name mode that
// makes the tree's ISO names (5, Joliet, at start), the volume's texts and
// dates, and the image made of them: sized (CalcImageSize), written into
// any engine stream (CreateImage: an image file or the recorder itself)
// or into an image file (CreateImageFile). Used on the user-interface
// thread; only the cancel request may come while an image is written.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "kilnar/app/Track.h"
#include "kilnar/recorder/CwProgressStream.h"

// The volume's texts, each at most 99 bytes, written into the descriptors'
// fields (cut to each field); `reserved` is kept but never written.
struct VolumeTexts {
  std::string reserved;
  std::string publisher;
  std::string preparer;
  std::string application;
  std::string applicationUse;
  std::string label;
  std::string system;
  std::string volumeSet;
  std::string copyrightFile;
  std::string bibliographicFile;
  std::string abstractFile;
};

// The volume's four dates.
struct VolumeDates {
  TimeStamp creation;
  TimeStamp modification;
  TimeStamp expiration{2030, 12, 31, 23, 59, 59};
  TimeStamp effective;
};

// Three settings a project keeps and copies; nothing reads them.
struct ReservedSettings {
  uint16_t first = 8;
  uint8_t second = 0;
  uint8_t third = 0;
};

class IsoTrack : public Track {
 public:
  static constexpr size_t kMostFolders = 2000;
  // The least work buffer CreateImage takes: one chunk of file data.
  static constexpr size_t kLeastBuffer = 61440;
  // Writing stops after this many bytes of file data when asked to.
  static constexpr uint64_t kDefaultByteLimit = 734003200;

  IsoTrack() : Track(5) {}

  std::unique_ptr<Node> Clone() const override;
  int32_t GetType() const override { return kTypeIsoTrack; }
  // "ISO Track." while an image made for the track is current.
  std::string GetName() const override { return IsImageCurrent() ? "ISO Track." : "ISO Track"; }
  // An ISO track comes before every other element.
  int Compare(const Node* /*other*/) const override { return -1; }
  std::string GetPath() const override { return GetParent() ? GetParent()->GetPath() : std::string(); }
  // Sectors of the image, as CalcImageSize.
  uint32_t GetLength() override { return CalcImageSize(); }
  uint32_t GetBlockSize() const override { return 2048; }
  int GetTrackKind() const override { return 2; }
  bool IsDataTrack() const override { return true; }
  int GetWriteOption() const override { return m_WriteOption; }

  // A new mode maps every name of the tree again.
  void SetNameMode(int mode) override;
  // Marks the track changed and maps the names of the folder's subtree
  // again, numbering equal ISO names.
  void RemapNames(FileNode* folder) override;
  // Maps one node's ISO name; a changed name touches the track.
  void RemapNodeName(FileNode* node, bool isFolder) override;
  // The image made before is out of date: the image path is forgotten.
  void MarkChanged() override;

  // Sectors the image takes from its start sector, padding included (at
  // least 1024); 0 when the tree cannot become an image (no root, more
  // than 2000 folders, two records of one name in a folder, a source of
  // 4 GiB or more), with the reason on the standard output.
  uint32_t CalcImageSize();
  // Writes the image for start sector S into the stream, the tree sorted
  // in the image's order. `buffer` holds at least kLeastBuffer bytes; path
  // tables larger than it go in pieces. With `stopFlag` writing ends with
  // success once the file data written passes `byteLimit`. A tree
  // CalcImageSize refuses is refused before anything is written.
  bool CreateImage(CwStream& stream, uint32_t startSector, std::span<uint8_t> buffer, bool stopFlag,
                   uint64_t byteLimit);
  // Writes the image into a file (replacing one there); no text on
  // success, else the text for the user, and the file is gone.
  std::optional<std::string> CreateImageFile(const char* path, uint32_t startSector,
                                             CwProgressStream::ProgressCallback progress);

  // The label takes at most 99 bytes of the text; a new label touches the
  // track.
  void SetVolumeLabel(const char* text);
  VolumeTexts& GetTexts() { return m_Texts; }
  const VolumeTexts& GetTexts() const { return m_Texts; }
  VolumeDates& GetDates() { return m_Dates; }
  const VolumeDates& GetDates() const { return m_Dates; }
  ReservedSettings& GetReservedSettings() { return m_Reserved; }

  // The whole tree in size order, when there is one.
  void SortBySize();
  void SetWriteOption(uint8_t option);
  // The "open=" and "icon=" lines of a generated AUTORUN.INF.
  const std::string& GetAutorunOpen() const { return m_AutorunOpen; }
  const std::string& GetAutorunIcon() const { return m_AutorunIcon; }
  void SetAutorunTexts(const std::string& open, const std::string& icon);
  bool IsModified() const { return m_Modified; }
  bool IsBusy() const { return m_Busy; }
  int32_t GetImageStartSector() const { return m_ImageStartSector; }

  // The figures of the last image laid out.
  uint32_t GetVolumeSpaceSize() const { return m_VolumeSpaceSize; }
  uint32_t GetPathTableSize() const { return m_PathTableSize; }
  uint32_t GetPathTableSector() const { return m_PathTableSector; }
  uint32_t GetJolietPathTableSize() const { return m_JolietPathTableSize; }
  uint32_t GetJolietPathTableSector() const { return m_JolietPathTableSector; }

  // The folders in path table order: the root, then breadth-first.
  bool PushFolder(FileNode* folder);
  void ClearFolderList() { m_Folders.clear(); }
  size_t FolderCount() const { return m_Folders.size(); }
  FileNode* FolderAt(size_t index) const { return index < m_Folders.size() ? m_Folders[index] : nullptr; }

 protected:
  // By Joliet name here.
  long FindFolderChild(const FileNode& parent, const std::string& wanted) const override;

 private:
  // The folder list of the root; false when a folder does not fit.
  bool BuildFolderList(FileNode& root);
  void SumPathTables();
  // The tree can be written: none of the faults CalcImageSize names.
  bool CheckTree();
  void Refuse(const char* section, const char* key, std::initializer_list<std::string> figures = {});
  // Lays the image out from the sector after the volume descriptors.
  void Allocate(FileNode& root, uint32_t startSector);
  bool HasAutorun() const { return !m_AutorunOpen.empty() || !m_AutorunIcon.empty(); }
  // Descriptors, path tables, directories and file data; sets m_Stopped
  // when the byte limit ended the data early.
  bool WriteImage(CwStream& stream, std::span<uint8_t> buffer, bool stopFlag, uint64_t byteLimit);
  bool WriteDescriptors(CwStream& stream, std::span<uint8_t> buffer);
  bool WritePathTables(CwStream& stream, std::span<uint8_t> buffer);
  bool WritePadding(CwStream& stream, std::span<uint8_t> buffer);
  void FillPrimaryDescriptor(uint8_t* sector) const;
  void FillJolietDescriptor(uint8_t* sector) const;
  std::string FailureText() const;

  VolumeTexts m_Texts;
  VolumeDates m_Dates;
  ReservedSettings m_Reserved;
  std::string m_AutorunOpen;
  std::string m_AutorunIcon;
  uint8_t m_WriteOption = 1;
  int32_t m_ImageStartSector = -1;
  bool m_Modified = false;
  bool m_Busy = false;
  uint32_t m_VolumeSpaceSize = 0;
  uint32_t m_PathTableSize = 0;
  uint32_t m_PathTableSector = 0;
  uint32_t m_JolietPathTableSize = 0;
  uint32_t m_JolietPathTableSector = 0;
  std::vector<FileNode*> m_Folders;
  // Why the last image was refused or failed, for the user; empty when it
  // gave no reason of its own.
  std::string m_Refusal;
  // The system's error number of a failed write of the image.
  int m_WriteError = 0;
  bool m_Stopped = false;
};
