// The stored form of the tree of a CD project: every element writes its
// head, its children and its fields; LoadChild makes the element a stored
// type names. Stored files are untrusted: counts are checked against the
// bytes left, nesting is bounded, and a cut record fails its load.
#include <new>
#include <string>

#include "kilnar/app/AudioFileTrack.h"
#include "kilnar/app/FileNode.h"
#include "kilnar/app/ImageFileTrack.h"
#include "kilnar/app/IsoTrack.h"
#include "kilnar/app/Node.h"
#include "kilnar/app/ProjectDoc.h"
#include "kilnar/app/StoredFields.h"
#include "kilnar/app/TreeMessages.h"
#include "kilnar/recorder/CwStream.h"
#include "kilnar/recorder/StreamPrimitives.h"

namespace {

// Type, zero byte and child count: the least a record takes.
constexpr uint64_t kSmallestRecord = 9;
// Far deeper than any CD's folders go.
constexpr int kDeepestNesting = 100;

// How deep LoadChild is in the current load (one thread loads at a time).
thread_local int g_nesting = 0;

std::unique_ptr<Node> MakeNodeOfType(int32_t type) {
  switch (type) {
    case kTypeIsoTrack:
      return std::make_unique<IsoTrack>();
    case kTypeFileNode:
      return std::make_unique<FileNode>();
    case kTypeProjectDoc:
      return std::make_unique<ProjectDoc>();
    case kTypeAudioFileTrack:
      return std::make_unique<AudioFileTrack>();
    case kTypeImageFileTrack:
      return std::make_unique<ImageFileTrack>();
    default:
      return nullptr;
  }
}

}  // namespace

bool Node::Save(CwStream& stream) const {
  uint32_t stored = 0;
  for (const auto& child : m_Children) stored += child->IsStored() ? 1 : 0;
  if (!WriteDword(stream, static_cast<uint32_t>(GetType())) || !WriteByte(stream, 0) || !WriteDword(stream, stored))
    return false;
  for (const auto& child : m_Children)
    if (child->IsStored() && !child->Save(stream)) return false;
  return SaveFields(stream);
}

bool Node::Load(CwStream& stream) {
  uint32_t type = 0;
  uint8_t zero = 0;
  uint32_t count = 0;
  if (!ReadStored(stream, type) || !ReadStored(stream, zero) || !ReadStored(stream, count)) return false;
  if (static_cast<int32_t>(type) != GetType()) return false;
  if (count > BytesLeft(stream) / kSmallestRecord) return false;
  m_Children.clear();
  for (uint32_t i = 0; i < count; ++i) {
    std::unique_ptr<Node> child = LoadChild(stream);
    // Only what the node would take as a child: the record's tree has the
    // project's shape.
    if (!child || !CanAdd(child.get())) return false;
    InsertChildAt(m_Children.size(), std::move(child));
  }
  return LoadFields(stream);
}

std::unique_ptr<Node> Node::LoadChild(CwStream& stream) {
  uint32_t type = 0;
  if (!ReadStored(stream, type) || !stream.Seek(-4, 1)) return nullptr;
  if (g_nesting >= kDeepestNesting) return nullptr;
  std::unique_ptr<Node> node;
  try {
    node = MakeNodeOfType(static_cast<int32_t>(type));
  } catch (const std::bad_alloc&) {
    PrintTreeMessage("ERROR", "NOT_ENOUGH_MEMORY");
    return nullptr;
  }
  if (!node) {
    PrintTreeMessage("ERROR", "ERR_NODE_UNKNOWN_CLASS", {std::to_string(static_cast<int32_t>(type))});
    return nullptr;
  }
  ++g_nesting;
  const bool loaded = node->Load(stream);
  --g_nesting;
  return loaded ? std::move(node) : nullptr;
}
