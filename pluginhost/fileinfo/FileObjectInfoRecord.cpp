#include "pluginhost/fileinfo/FileObjectInfoRecord.h"

#include <algorithm>
#include <cstring>

FileObjectInfoRecord::FileObjectInfoRecord(const char* key) : key(key), name(GetNamePart(key)) {}

const char* GetNamePart(const char* url) {
  const char* after = url;
  for (const char* c = url; *c; ++c)
    if (*c == '/' || *c == '\\') after = c + 1;
  return *after ? after : url;
}

namespace {

auto FindListener(FileObjectInfoRecord* record, FileObjectListener* listener) {
  return std::find_if(record->listeners.begin(), record->listeners.end(),
                      [listener](const FileObjectInfoRecord::ListenerNode& node) { return node.listener == listener; });
}

}  // namespace

void AddFileObjectListener(FileObjectInfoRecord* record, FileObjectListener* listener) {
  if (!record || !listener) return;
  const auto found = FindListener(record, listener);
  if (found != record->listeners.end()) {
    ++found->count;
    return;
  }
  record->listeners.insert(record->listeners.begin(), {listener, 1});
}

bool RemoveFileObjectListener(FileObjectInfoRecord* record, FileObjectListener* listener) {
  if (!record) return false;
  const auto found = FindListener(record, listener);
  if (found == record->listeners.end()) return false;
  if (--found->count == 0) record->listeners.erase(found);
  return true;
}

void NotifyFileObjectListeners(FileObjectInfoRecord* record, DWORD changes) {
  if (!record) return;
  // A listener may change the list while it is told (a window that stops
  // showing the record), so walk a copy and skip whoever has left since.
  std::vector<FileObjectListener*> snapshot;
  snapshot.reserve(record->listeners.size());
  for (const auto& node : record->listeners) snapshot.push_back(node.listener);
  for (FileObjectListener* listener : snapshot) {
    if (FindListener(record, listener) == record->listeners.end()) continue;
    listener->OnFileObjectChanged(record, changes);
  }
}

void DetachFileObjectListeners(FileObjectInfoRecord* record) {
  if (!record) return;
  std::vector<FileObjectInfoRecord::ListenerNode> detached;
  detached.swap(record->listeners);
  for (const auto& node : detached) node.listener->OnFileObjectDetached(record);
}

bool SetFileObjectString(FileObjectText& field, const char* text) {
  if (!text) {
    if (!field) return false;
    field.reset();
    return true;
  }
  if (field && *field == text) return false;
  field = std::string(text);
  return true;
}
