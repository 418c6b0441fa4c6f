// Layout of <desktop>/windows/ as far as processes are concerned:
//   <key>.alive         held locked for as long as process <key> lives
//   <key>.sock          the process's socket (see CopyDataServer.h)
#include "DesktopPresence.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <random>

#include "CopyDataServer.h"
#include "WindowRecords.h"
#include "ZOrderStamps.h"
#include "platform/kernel/Desktop.h"

namespace twl::user {

namespace {

struct Membership {
  std::mutex lock;
  bool tried = false;
  std::optional<DesktopPlace> place;
};

Membership& ThisProcessMembership() {
  static auto* membership = new Membership;
  return *membership;
}

void RemoveOwnFiles() {
  std::optional<DesktopPlace> place;
  {
    Membership& m = ThisProcessMembership();
    std::lock_guard guard(m.lock);
    place = m.place;
  }
  if (!place) return;
  RemovePublishedRecords();
  unlink((place->folder + "/" + place->key + ".sock").c_str());
  unlink((place->folder + "/" + place->key + ".alive").c_str());
}

std::optional<DesktopPlace> JoinLocked() {
  const std::string& desktop = DesktopFolder();
  if (desktop.empty()) return std::nullopt;
  std::string folder = desktop + "/windows";
  if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return std::nullopt;
  std::random_device random;
  char key[40];
  std::snprintf(key, sizeof key, "%x-%08x", static_cast<unsigned>(getpid()), static_cast<unsigned>(random()));
  // The liveness file appears only once it is locked, so no other process
  // can take a starting process for a vanished one.
  std::string alive = folder + "/" + key + ".alive";
  std::string temporary = alive + ".tmp";
  int aliveFd = open(temporary.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (aliveFd < 0 || flock(aliveFd, LOCK_EX) != 0 || rename(temporary.c_str(), alive.c_str()) != 0) {
    if (aliveFd >= 0) close(aliveFd);
    unlink(temporary.c_str());
    return std::nullopt;
  }
  // aliveFd stays open (and locked) until the process ends.
  MapZOrderCounter(folder);
  StartCopyDataServer(folder, key);
  std::atexit(RemoveOwnFiles);
  return DesktopPlace{folder, key};
}

}  // namespace

std::optional<DesktopPlace> JoinDesktop() {
  Membership& m = ThisProcessMembership();
  std::lock_guard guard(m.lock);
  if (!m.tried) {
    m.tried = true;
    m.place = JoinLocked();
  }
  return m.place;
}

bool ValidProcessKey(const std::string& key) {
  if (key.empty() || key.size() > 40) return false;
  for (char c : key)
    if (!std::isxdigit(static_cast<unsigned char>(c)) && c != '-') return false;
  return true;
}

bool IsProcessAlive(const std::string& folder, const std::string& key) {
  int fd = open((folder + "/" + key + ".alive").c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  bool alive = flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
  close(fd);
  return alive;
}

void ForgetProcess(const std::string& folder, const std::string& key) {
  RemoveRecordsOfProcess(folder, key);
  unlink((folder + "/" + key + ".sock").c_str());
  unlink((folder + "/" + key + ".alive").c_str());
}

}  // namespace twl::user
