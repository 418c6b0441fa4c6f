// Disk files for URLs, for players that need a real file rather than a
// stream. A "file://" URL gives its own path; anything else is copied,
// through the host's streams, into a new temporary file that is deleted
// again when the creator gives it up.
//
// CDiskFileCreator is the base of the two creators (this instant one and
// the plug-in host's threaded one); CreateDiskFile is the copy procedure
// both run. Threading: CreateDiskFile runs wholly on the calling thread;
// another thread can only stop it through the abort event, which is tested
// before every block. A creator is used by one thread at a time.
#pragma once

#include <windows.h>

#include "foundation/kernel/Str.h"
#include "foundation/kernel/TypedObject.h"
#include "pluginhost/abi/PlugInAbi.h"

class CDiskFileCreator : public CTypedObject {
  TWL_DECLARE_CLASS(CDiskFileCreator)
 public:
  // Gives the file up (a temporary copy is deleted) and everything else
  // the creator holds.
  virtual void CleanUp() = 0;
  // The file's name as a host string for the caller to free with
  // HOST_Free; false with the reason in the thread error when there is no
  // file (MiscError 5) or no memory (MiscError 2).
  virtual bool GetFileName(char** fileName) = 0;
};

// The name of a disk file for `url`, and whether it is a temporary copy.
// With HOST_FILECREATOR_MATCH_NAME in `flags` a local file is used only
// when its path begins with `prefix` and, after it, ends with `suffix`
// (both without case; empty or null always match); otherwise it is copied.
// Copies are named temp folder + prefix + counter + suffix. The stream is
// opened through the host API on behalf of `owner`. False with the reason
// in the thread error; a half-written copy is deleted.
bool CreateDiskFile(CStr& fileName, bool& temporary, const char* url, const char* prefix, const char* suffix,
                    DWORD flags, HANDLE abortEvent, PLUGIN_HANDLE owner);

class CInstantDiskFileCreator : public CDiskFileCreator {
  TWL_DECLARE_CLASS(CInstantDiskFileCreator)
 public:
  CInstantDiskFileCreator() = default;
  CInstantDiskFileCreator(const CInstantDiskFileCreator&) = delete;
  CInstantDiskFileCreator& operator=(const CInstantDiskFileCreator&) = delete;
  ~CInstantDiskFileCreator() override { CleanUp(); }

  // Gives up the previous file, then makes the file at once.
  bool Create(const char* url, const char* prefix, const char* suffix, DWORD flags, HANDLE abortEvent,
              PLUGIN_HANDLE owner);
  void CleanUp() override;
  bool GetFileName(char** fileName) override;

 private:
  CStr m_FileName;  // empty: no file
  bool m_Temporary = false;
};

// Gives up a file a creator held: deletes it when it is a temporary copy.
void ReleaseDiskFile(CStr& fileName, bool& temporary);
// The file name as a host string, or false with MiscError 5 (no file) or
// 2 (no memory).
bool CopyDiskFileName(const CStr& fileName, char** copy);
