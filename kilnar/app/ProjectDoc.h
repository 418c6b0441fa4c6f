// A CD project: the tracks of one disc in order (an ISO data track first,
// then audio and image tracks by position) and a name ("PROJECT1",
// "PROJECT2", ... in the order projects are made during a run). Deleting
// the project deletes its tracks. Used on the user-interface thread only.
#pragma once

#include <cstdint>
#include <string>

#include "kilnar/app/Node.h"

class ProjectDoc : public Node {
 public:
  // Blocks between two tracks.
  static constexpr uint32_t kPregapBlocks = 150;

  ProjectDoc();

  std::unique_ptr<Node> Clone() const override;
  int32_t GetType() const override { return kTypeProjectDoc; }
  // Refreshes every track in order; false at the first that fails.
  bool Refresh() override;
  std::string GetName() const override { return m_Name; }
  void SetName(const std::string& name) override { m_Name = name; }
  // An audio track of a WAV file that is no CD audio is refused, and a
  // second ISO track; audio tracks follow the last track, others take the
  // track count as their position.
  bool AddChild(std::unique_ptr<Node>& node) override;
  bool CanAdd(const Node* node) const override;
  std::string GetPath() const override { return m_Name + ": "; }
  // By name, without regard to case.
  int Compare(const Node* other) const override;

  // Every track has its file (a data track an image made since its last
  // change); false without tracks.
  bool IsComplete() const;
  // The tracks' blocks with a pregap before each track after the first.
  uint32_t GetTotalLength() const;

 protected:
  bool SaveFields(CwStream& stream) const override;
  // After loading, each track's position is its place in the list.
  bool LoadFields(CwStream& stream) override;

 private:
  std::string m_Name;
  uint8_t m_Flag = 0;
};
