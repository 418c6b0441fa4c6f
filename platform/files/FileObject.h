// The kernel object behind a file handle: an open descriptor, its place in
// the share table and, for FILE_FLAG_DELETE_ON_CLOSE, the name to remove.
#pragma once

#include <cstdint>
#include <string>

#include "ShareTable.h"
#include "platform/kernel/KernelObject.h"

namespace twl {

class FileObject : public KernelObject {
 public:
  // Takes ownership of `fd` and of the share-table `ticket`.
  FileObject(int fd, FileIdentity identity, uint64_t ticket, std::string path, bool deleteOnClose);
  ~FileObject() override;

  int Fd() const { return fd_; }
  const std::string& Path() const { return path_; }

 private:
  int fd_;
  FileIdentity identity_;
  uint64_t ticket_;
  std::string path_;  // absolute
  bool deleteOnClose_;
};

// The file object behind a handle, or null with ERROR_INVALID_HANDLE.
std::shared_ptr<FileObject> FindFile(HANDLE handle);

}  // namespace twl
