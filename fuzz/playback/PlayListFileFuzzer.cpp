// The native playlist reader on arbitrary bytes, as for a playlist file a
// user opens or a burned disc holds. Errors are expected; what did load
// must write into bytes that load again to the same entries. Anything
// else (a crash, a sanitizer report, a large allocation, an exception
// other than an error object, a round trip that changes the entries) is a
// finding. The stream has no URL, so no entry is re-based and the disk is
// never asked.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "foundation/kernel/Error.h"
#include "foundation/streams/MemoryStream.h"
#include "playback/playlist/PlayList.h"
#include "playback/playlist/PlayListFileEntry.h"
#include "playback/playlist/PlayListFolderEntry.h"
#include "pluginhost/fileinfo/FileInfoDataBase.h"
#include "pluginhost/fileinfo/FolderInfoDataBase.h"

namespace {

// One line per entry: kind, volume or expand flags, URL.
std::string Describe(const CPlayList& list) {
  std::string text = std::to_string(list.GetLoop()) + std::to_string(list.GetShuffle()) + "\n";
  for (INT i = 0; i < list.GetCount(); ++i) {
    const CPlayListEntry* entry = list.GetEntry(i);
    if (entry->IsFolder()) {
      const auto* folder = static_cast<const CPlayListFolderEntry*>(entry);
      text += "folder " + std::to_string(folder->IsExpandPending()) + std::to_string(folder->IsExpandRecursive());
    } else {
      text += "file " + std::to_string(static_cast<const CPlayListFileEntry*>(entry)->GetVolume());
    }
    text += " " + std::string(entry->GetURL()) + "\n";
  }
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 0x7FFFFFFF) return 0;
  CFileInfoDataBase files;
  CFolderInfoDataBase folders;
  CPlayList list;
  try {
    BYTE* block = size ? new BYTE[size] : nullptr;
    if (size) std::memcpy(block, data, size);
    CMemoryStream stream;
    stream.Open(block, static_cast<DWORD>(size), kStreamRead | kStreamSeek, 0, true);
    list.Read(stream, files, folders);
  } catch (CError* error) {
    DisposeError(error);
    return 0;
  }

  CMemoryStream written;
  written.Open(nullptr, 0, kStreamRead | kStreamWrite | kStreamSeek, 4096, true);
  list.Write(written, files);
  written.Seek(0, FILE_BEGIN, nullptr);
  CPlayList again;
  again.Read(written, files, folders);  // an error here is a finding too
  if (Describe(again) != Describe(list)) std::abort();
  return 0;
}
