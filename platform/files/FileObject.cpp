#include "FileObject.h"

#include <sys/stat.h>
#include <unistd.h>

namespace twl {

FileObject::FileObject(int fd, FileIdentity identity, uint64_t ticket, std::string path, bool deleteOnClose)
    : KernelObject(ObjectKind::File),
      fd_(fd),
      identity_(identity),
      ticket_(ticket),
      path_(std::move(path)),
      deleteOnClose_(deleteOnClose) {}

FileObject::~FileObject() {
  if (deleteOnClose_) {
    // Only if the name still names this file (it may have been renamed or
    // replaced meanwhile).
    struct stat info {};
    if (stat(path_.c_str(), &info) == 0 && info.st_dev == identity_.device && info.st_ino == identity_.inode) {
      unlink(path_.c_str());
    }
  }
  ShareTable::Release(ticket_);
  close(fd_);
}

std::shared_ptr<FileObject> FindFile(HANDLE handle) { return FindHandleAs<FileObject>(handle, ObjectKind::File); }

}  // namespace twl
