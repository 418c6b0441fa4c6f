// A data track with a file tree: its only child is the root folder. It
// owns the character table and the name mode by which the tree's ISO
// names are made, and a date that records the last change of the tree (an
// image file made for the track is current while its time equals it).
// File nodes find their track above them and report changes to it.
#pragma once

#include <cstdint>
#include <string>

#include "kilnar/app/NameCharMap.h"
#include "kilnar/app/PrjElement.h"
#include "kilnar/recorder/TimeStamp.h"

class FileNode;

class Track : public PrjElement {
 public:
  // Clears the cancel flag; refreshes the root folder (false without one).
  bool Refresh() override;
  // Only a file node, and only while the track has no root folder.
  bool AddChild(std::unique_ptr<Node>& node) override;
  bool CanAdd(const Node* node) const override;
  // An image file made for the track is current.
  bool HasFile() const override { return IsImageCurrent(); }

  // The name names an existing file whose last-write time is the track date.
  virtual bool IsImageCurrent() const;
  // Clears the cancel flag; checks that the tree's sources can be read
  // (throws SourceNotReadable with the first that cannot).
  virtual bool CheckSources();
  // The track date becomes now.
  virtual void Touch();
  // The folder of a path inside the CD ("\" or "/" separated), made where
  // missing; the root folder for an empty path; null without a root.
  virtual FileNode* FindOrCreateFolder(const std::string& path);
  virtual void SetNameMode(int /*mode*/) {}
  virtual void RemapNames(FileNode* /*folder*/) {}
  virtual void RemapNodeName(FileNode* /*node*/, bool /*isFolder*/) {}
  // Something in the tree changed that an image made before lacks.
  virtual void MarkChanged() {}
  virtual void SetArchiveBits(bool set);

  FileNode* GetRoot() const;
  int GetNameMode() const { return m_NameMode; }
  const NameCharMap& GetCharMap() const { return m_CharMap; }
  const TimeStamp& GetDate() const { return m_Date; }
  void RequestCancel() { m_Cancel = true; }
  bool IsCancelRequested() const { return m_Cancel; }

 protected:
  explicit Track(uint16_t nameMode = 0) : m_NameMode(nameMode) {}
  // The element part, the table and the name mode of another track.
  void CopyTrack(const Track& from);
  // The child of `parent` a folder path component names, or -1: by ISO
  // name here.
  virtual long FindFolderChild(const FileNode& parent, const std::string& wanted) const;

  NameCharMap m_CharMap;
  uint16_t m_NameMode;
  bool m_Cancel = false;
  TimeStamp m_Date;
};
