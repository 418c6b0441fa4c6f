#include "kilnar/app/ProjectDoc.h"

#include <atomic>

#include "kilnar/app/AudioFileTrack.h"
#include "kilnar/app/FileNode.h"
#include "kilnar/app/NameCompare.h"
#include "kilnar/app/PrjElement.h"
#include "kilnar/app/StoredFields.h"
#include "kilnar/app/Track.h"
#include "kilnar/recorder/StreamPrimitives.h"

namespace {

std::atomic<int> g_projectsMade{0};

PrjElement* TrackAt(const Node& project, size_t index) { return dynamic_cast<PrjElement*>(project.GetChild(index)); }

}  // namespace

ProjectDoc::ProjectDoc() : m_Name("PROJECT" + std::to_string(++g_projectsMade)) {}

std::unique_ptr<Node> ProjectDoc::Clone() const {
  auto copy = std::make_unique<ProjectDoc>();
  copy->m_Name = m_Name;
  copy->m_Flag = m_Flag;
  copy->CloneChildren(*this);
  return copy;
}

bool ProjectDoc::Refresh() {
  for (size_t i = 0; i < GetCount(); ++i)
    if (!GetChild(i)->Refresh()) return false;
  return true;
}

bool ProjectDoc::CanAdd(const Node* node) const {
  if (!node) return false;
  switch (node->GetType()) {
    case kTypeAudioFileTrack:
    case kTypeImageFileTrack:
      return true;
    case kTypeIsoTrack:
      return GetCount() == 0 || GetChild(0)->GetType() != kTypeIsoTrack;
    case kTypeFileNode:
      return !static_cast<const FileNode*>(node)->IsFolder();
    default:
      return false;
  }
}

bool ProjectDoc::AddChild(std::unique_ptr<Node>& node) {
  if (!node) return false;
  auto* element = dynamic_cast<PrjElement*>(node.get());
  const auto count = static_cast<uint16_t>(GetCount());
  switch (node->GetType()) {
    case kTypeAudioFileTrack: {
      auto* audio = static_cast<AudioFileTrack*>(node.get());
      if (audio->HasFile() && !audio->IsCdAudioWave()) return false;
      const PrjElement* last = GetCount() == 0 ? nullptr : TrackAt(*this, GetCount() - 1);
      element->SetPosition(GetCount() == 0 ? 0 : last ? static_cast<uint16_t>(last->GetPosition() + 1) : count);
      break;
    }
    case kTypeIsoTrack:
      if (GetCount() > 0 && GetChild(0)->GetType() == kTypeIsoTrack) return false;
      element->SetPosition(count);
      break;
    case kTypeImageFileTrack:
      element->SetPosition(count);
      break;
    default:
      return false;
  }
  return Node::AddChild(node);
}

int ProjectDoc::Compare(const Node* other) const {
  if (!other) return 0;
  return CompareNamesNoCase(m_Name, other->GetName());
}

bool ProjectDoc::IsComplete() const {
  if (GetCount() == 0) return false;
  for (size_t i = 0; i < GetCount(); ++i) {
    const PrjElement* track = TrackAt(*this, i);
    if (!track || !track->HasFile()) return false;
  }
  return true;
}

uint32_t ProjectDoc::GetTotalLength() const {
  uint32_t total = 0;
  for (size_t i = 0; i < GetCount(); ++i) {
    PrjElement* track = TrackAt(*this, i);
    if (!track) continue;
    total += track->GetLength() + (i > 0 ? kPregapBlocks : 0);
  }
  return total;
}

bool ProjectDoc::SaveFields(CwStream& stream) const {
  return WriteString(stream, m_Name) && WriteByte(stream, m_Flag);
}

bool ProjectDoc::LoadFields(CwStream& stream) {
  if (!ReadString(stream, m_Name, kStoredProjectNameField) || !ReadStored(stream, m_Flag)) return false;
  for (size_t i = 0; i < GetCount(); ++i)
    if (PrjElement* track = TrackAt(*this, i)) track->SetPosition(static_cast<uint16_t>(i));
  return true;
}
