// CFileExtensionEnum: the file extensions the program can open, each with
// a description, a file type number and whether the user wants it
// associated with the player. The player system builds it from what the
// players announce (host API HOST_AddFileExtension). Extensions are kept
// lower case, without a leading "." and without white space around them.
//
// The list is stored as the registry value "FileExtensions": a count, then
// per entry the extension and the description (each a length and its
// bytes), the file type and 1 or 0 for registered; every number 32-bit
// little-endian. Reading never trusts a length: one longer than what the
// stream still holds is corrupt data, found before anything is allocated.
//
// Threading: none of its own; its owner guards it.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "foundation/kernel/Str.h"
#include "foundation/kernel/TypedObject.h"

class CStream;

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
  // For every entry this list has and `other` lacks, a copy goes to the
  // end of `result`; with `copyFlags` the entries `other` has take its
  // registered flag.
  void CollectMissing(const CFileExtensionEnum& other, CFileExtensionEnum& result, bool copyFlags);
  static std::unique_ptr<FileExtensionEntry> CloneEntry(const FileExtensionEntry& entry);
  std::unique_ptr<CFileExtensionEnum> Clone() const;
  // Appends a copy of the entry as it is (no normalising, no merging).
  void Append(const FileExtensionEntry& entry) { m_Entries.push_back(CloneEntry(entry)); }
  // By extension, ignoring case; entries that compare equal keep their order.
  void Sort();

  // The stored form. Read clears the list first and keeps the entries read
  // before a failure; failures answer false with the reason in the
  // thread's error (never thrown).
  bool Read(CStream& stream);
  bool Write(CStream& stream) const;
  // A corrupt value loads up to its first unreadable entry and leaves
  // "CFileExtensionEnum.RegDataCorrupted" as the thread's error.
  bool LoadFromRegistry(HKEY key, const char* valueName);
  bool SaveToRegistry(HKEY key, const char* valueName) const;

  int GetCount() const { return static_cast<int>(m_Entries.size()); }
  const FileExtensionEntry& GetEntry(int index) const { return *m_Entries[static_cast<size_t>(index)]; }
  FileExtensionEntry& GetEntry(int index) { return *m_Entries[static_cast<size_t>(index)]; }

 private:
  std::vector<std::unique_ptr<FileExtensionEntry>> m_Entries;
};
