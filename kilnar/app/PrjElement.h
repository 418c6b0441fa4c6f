// An element of a CD project that becomes a track: a name (for a track the
// path of its source or image file) and its position among the tracks.
// Abstract: the kinds of track say how long they are and how they are
// written.
#pragma once

#include <cstdint>
#include <string>

#include "kilnar/app/Node.h"

class PrjElement : public Node {
 public:
  static constexpr uint16_t kNoPosition = 9999;

  // The name, or "<Unbenannt>" when it is empty.
  std::string GetName() const override;
  bool Refresh() override { return HasFile(); }
  bool AddChild(std::unique_ptr<Node>& /*node*/) override { return false; }
  bool CanAdd(const Node* /*node*/) const override { return false; }
  // -1 for no other; 1 when the other is an ISO track (it comes first);
  // else by position.
  int Compare(const Node* other) const override;

  // The name names an existing file that is not a folder.
  virtual bool HasFile() const;
  // Size of the file the name names, 0 when there is none.
  virtual uint32_t GetFileSize() const;
  // Blocks of the track.
  virtual uint32_t GetLength() = 0;
  virtual uint32_t GetBlockSize() const = 0;
  // 2 data, 1 audio.
  virtual int GetTrackKind() const = 0;
  virtual bool IsDataTrack() const = 0;
  virtual int GetWriteOption() const = 0;
  virtual int GetDisplayCode() const { return 505; }

  uint16_t GetPosition() const { return m_Position; }
  void SetPosition(uint16_t position) { m_Position = position; }
  const std::string& GetNameText() const { return m_Name; }

 protected:
  PrjElement() = default;
  // The name, the position and clones of the children of another element.
  void CopyElement(const PrjElement& from);

  std::string m_Name;
  uint16_t m_Position = kNoPosition;
};
