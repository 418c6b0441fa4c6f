#include "ShareTable.h"

#include <map>
#include <mutex>
#include <utility>
#include <vector>

#include "twlwin/files.h"

namespace twl {
namespace {

struct Open {
  uint64_t ticket;
  DWORD access;
  DWORD share;
};

struct State {
  std::mutex lock;
  std::map<std::pair<dev_t, ino_t>, std::vector<Open>> files;
  std::map<uint64_t, std::pair<dev_t, ino_t>> tickets;
  uint64_t nextTicket = 1;
};

State& Table() {
  // Never destroyed: file objects may close during process exit.
  static auto* state = new State;
  return *state;
}

// Whether a handle with access `access` may coexist with one sharing `share`.
bool Permits(DWORD share, DWORD access) {
  if ((access & kAccessRead) && !(share & FILE_SHARE_READ)) return false;
  if ((access & kAccessWrite) && !(share & FILE_SHARE_WRITE)) return false;
  if ((access & kAccessDelete) && !(share & FILE_SHARE_DELETE)) return false;
  return true;
}

}  // namespace

DWORD ShareAccessOf(DWORD desiredAccess, bool deleteOnClose) {
  DWORD access = 0;
  if (desiredAccess & (GENERIC_READ | GENERIC_EXECUTE | GENERIC_ALL)) access |= kAccessRead;
  if (desiredAccess & (GENERIC_WRITE | GENERIC_ALL)) access |= kAccessWrite;
  if (deleteOnClose || (desiredAccess & (DELETE | GENERIC_ALL))) access |= kAccessDelete;
  return access;
}

uint64_t ShareTable::Acquire(FileIdentity file, DWORD access, DWORD shareMode) {
  State& state = Table();
  std::lock_guard guard(state.lock);
  auto key = std::make_pair(file.device, file.inode);
  auto& opens = state.files[key];
  for (const Open& open : opens) {
    // A handle without data access (attributes only) neither restricts
    // nor is restricted, as on Windows.
    if (access == 0 || open.access == 0) continue;
    if (!Permits(open.share, access) || !Permits(shareMode, open.access)) return 0;
  }
  uint64_t ticket = state.nextTicket++;
  opens.push_back({ticket, access, shareMode});
  state.tickets.emplace(ticket, key);
  return ticket;
}

void ShareTable::Release(uint64_t ticket) {
  State& state = Table();
  std::lock_guard guard(state.lock);
  auto found = state.tickets.find(ticket);
  if (found == state.tickets.end()) return;
  auto key = found->second;
  state.tickets.erase(found);
  auto& opens = state.files[key];
  std::erase_if(opens, [ticket](const Open& open) { return open.ticket == ticket; });
  if (opens.empty()) state.files.erase(key);
}

bool ShareTable::AllowsDelete(FileIdentity file) {
  State& state = Table();
  std::lock_guard guard(state.lock);
  auto found = state.files.find(std::make_pair(file.device, file.inode));
  if (found == state.files.end()) return true;
  for (const Open& open : found->second) {
    if (open.access != 0 && !(open.share & FILE_SHARE_DELETE)) return false;
  }
  return true;
}

}  // namespace twl
