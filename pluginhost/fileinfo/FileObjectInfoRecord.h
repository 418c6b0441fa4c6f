// FileObjectInfoRecord: the part shared by the information records of files
// and folders (display text, flags, icon, listeners), found by URL in the
// file and folder information databases. FileObjectListener is the
// interface of whoever shows a record and wants to hear of its changes.
//
// Threading: every field, the listener list included, is read and written
// under the lock of the database that holds the record (or, for listener
// lists, on the user-interface thread with that lock held). Listeners are
// called on the thread that made the change, with that lock held.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

struct FileObjectInfoRecord;

// What changed, passed to the listeners.
enum FileObjectChange : DWORD {
  FILEOBJECT_CHANGED_FLAGS = 0x1,
  FILEOBJECT_CHANGED_DISPLAYTEXT = 0x2,
  FILEOBJECT_CHANGED_ICON = 0x4,
  FILEOBJECT_CHANGED_TYPETEXT = 0x8,
  FILEOBJECT_CHANGED_TYPEICON = 0x10,
  FILEOBJECT_CHANGED_OPENICON = 0x40,
  FILEOBJECT_CHANGED_THIRDVALUE = 0x80,
};

class FileObjectListener {
 public:
  virtual void OnFileObjectChanged(FileObjectInfoRecord* record, DWORD changes) = 0;
  // The record is about to be freed (the program is shutting down) and the
  // listener is no longer in its list: it must forget the record.
  virtual void OnFileObjectDetached(FileObjectInfoRecord* /*record*/) {}

 protected:
  ~FileObjectListener() = default;
};

// An owned text that may also be absent (null), which differs from empty.
using FileObjectText = std::optional<std::string>;

struct FileObjectInfoRecord {
  struct ListenerNode {
    FileObjectListener* listener;
    int count;
  };

  // `key` is the database's own copy of the URL, which outlives the record.
  explicit FileObjectInfoRecord(const char* key);
  FileObjectInfoRecord(const FileObjectInfoRecord&) = delete;
  FileObjectInfoRecord& operator=(const FileObjectInfoRecord&) = delete;
  virtual ~FileObjectInfoRecord() = default;

  const char* key;   // the URL, not owned
  const char* name;  // points into the key (see GetNamePart)
  FileObjectText displayText;
  DWORD flags = 0;  // FileObjectFlags
  INT iconIndex = 0;
  std::vector<ListenerNode> listeners;  // front first: the newest listener is told first
};

// The name part of a URL: the text after the last "/" or "\"; the whole URL
// when that text is empty or the URL has neither character.
const char* GetNamePart(const char* url);

// A listener already in the list is counted once more; a new one goes to
// the front with count 1.
void AddFileObjectListener(FileObjectInfoRecord* record, FileObjectListener* listener);
// Counts the listener down and unlinks it at zero; false when it is not in
// the list.
bool RemoveFileObjectListener(FileObjectInfoRecord* record, FileObjectListener* listener);
// Tells every listener, in list order. A listener may add or remove
// listeners while it is told: one removed before its turn is not told.
void NotifyFileObjectListeners(FileObjectInfoRecord* record, DWORD changes);
// Empties the list, then tells each listener that was in it (once, however
// often it was added) that it is detached.
void DetachFileObjectListeners(FileObjectInfoRecord* record);

// Replaces an owned text; null frees it. True when the stored text changed
// (compared byte by byte, case-sensitive; absent and empty differ).
bool SetFileObjectString(FileObjectText& field, const char* text);
