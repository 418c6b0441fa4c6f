// The ISO 9660 and Joliet data track: its file tree, the name mode that
// makes the tree's ISO names (5, Joliet, at start) and whether the tree
// changed since an image was made. So far it holds the tree and its names;
// the image itself (descriptors, sizing, writing) is not made yet.
#pragma once

#include <cstdint>

#include "kilnar/app/Track.h"

class IsoTrack : public Track {
 public:
  IsoTrack() : Track(5) {}

  std::unique_ptr<Node> Clone() const override;
  int32_t GetType() const override { return kTypeIsoTrack; }
  // "ISO Track." while an image made for the track is current.
  std::string GetName() const override { return IsImageCurrent() ? "ISO Track." : "ISO Track"; }
  // An ISO track comes before every other element.
  int Compare(const Node* /*other*/) const override { return -1; }
  std::string GetPath() const override { return GetParent() ? GetParent()->GetPath() : std::string(); }
  // Sectors of the image: not computed yet, 0.
  uint32_t GetLength() override { return 0; }
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

  void SetWriteOption(uint8_t option);
  // The "open=" and "icon=" lines of a generated AUTORUN.INF.
  const std::string& GetAutorunOpen() const { return m_AutorunOpen; }
  const std::string& GetAutorunIcon() const { return m_AutorunIcon; }
  void SetAutorunTexts(const std::string& open, const std::string& icon);
  bool IsModified() const { return m_Modified; }
  int32_t GetImageStartSector() const { return m_ImageStartSector; }

 protected:
  // By Joliet name here.
  long FindFolderChild(const FileNode& parent, const std::string& wanted) const override;

 private:
  std::string m_AutorunOpen;
  std::string m_AutorunIcon;
  uint8_t m_WriteOption = 1;
  int32_t m_ImageStartSector = -1;
  bool m_Modified = false;
};
