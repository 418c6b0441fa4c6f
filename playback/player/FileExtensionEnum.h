// CFileExtensionEnum: the file extensions the program can open, each with
// a description, a file type number and whether the user wants it
// associated with the player. The player system builds it from what the
// players announce (host API HOST_AddFileExtension). Extensions are kept
// lower case, without a leading "." and without white space around them.
//
// Threading: none of its own; its owner guards it.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "foundation/kernel/Str.h"
#include "foundation/kernel/TypedObject.h"

struct FileExtensionEntry {
  CStr extension;
  CStr description;
  DWORD fileType = 0;  // 0: none given
  bool registered = false;
};

class CFileExtensionEnum : public CTypedObject {
  TWL_DECLARE_CLASS(CFileExtensionEnum)
 public:
  CFileExtensionEnum() = default;
  CFileExtensionEnum(const CFileExtensionEnum&) = delete;
  CFileExtensionEnum& operator=(const CFileExtensionEnum&) = delete;

  // A new extension is appended, unregistered, with the description (an
  // empty or missing one becomes "<EXTENSION> file"). A known one takes a
  // non-zero file type and then a non-empty description; file type 0
  // leaves it as it is. The registered flag never changes here. An
  // extension that is empty once trimmed adds nothing.
  void Add(const char* extension, const char* description, DWORD fileType);
  // The index of the extension as stored (exact comparison), or -1.
  int Find(const char* extension) const;
  void Clear() { m_Entries.clear(); }

  int GetCount() const { return static_cast<int>(m_Entries.size()); }
  const FileExtensionEntry& GetEntry(int index) const { return *m_Entries[static_cast<size_t>(index)]; }

 private:
  std::vector<std::unique_ptr<FileExtensionEntry>> m_Entries;
};
