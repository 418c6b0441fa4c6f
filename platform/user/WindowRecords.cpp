// <desktop>/windows/W<id>.win holds one published top-level window as
// "name value" lines; text fields are hexadecimal (HexText.h).
#include "WindowRecords.h"

#include <dirent.h>
#include <unistd.h>

#include <cstdio>
#include <map>
#include <mutex>
#include <unordered_map>
#include <sstream>

#include "DesktopFiles.h"
#include "DesktopPresence.h"
#include "HexText.h"

namespace twl::user {

namespace {

constexpr size_t kMaxRecordBytes = 128 * 1024;
constexpr size_t kMaxClassName = 256;
constexpr size_t kMaxTitle = 64 * 1024;
constexpr size_t kMaxExtra = 4096;

// What this process has written of each record. Entries of removed
// windows stay only while older updates of them are still to be written.
struct RecordState {
  uint64_t written = 0;  // version of the last update written
  int pending = 0;       // updates taken and not yet written
  bool removed = false;
};

struct Published {
  std::mutex lock;
  uint64_t nextVersion = 0;
  std::unordered_map<uint32_t, RecordState> byId;
};

Published& ThisProcessRecords() {
  static auto* published = new Published;
  return *published;
}

bool HasRecord(const Window& w) { return !w.parent && !w.messageOnly && !(w.style & WS_CHILD); }

std::string RecordFile(const std::string& folder, uint32_t id) {
  char name[32];
  std::snprintf(name, sizeof name, "/W%08x.win", id);
  return folder + name;
}

std::optional<uint32_t> IdFromFileName(const std::string& name) {
  if (name.size() != 13 || name[0] != 'W' || name.compare(9, 4, ".win") != 0) return std::nullopt;
  uint32_t id = 0;
  for (size_t i = 1; i < 9; ++i) {
    char c = name[i];
    int digit = (c >= '0' && c <= '9') ? c - '0' : (c >= 'a' && c <= 'f') ? c - 'a' + 10 : -1;
    if (digit < 0) return std::nullopt;
    id = id * 16 + static_cast<uint32_t>(digit);
  }
  return id;
}

std::string RecordText(const Window& w, const std::string& key) {
  std::ostringstream text;
  text << "twl-window 1\n"
       << "id " << w.id << "\n"
       << "process " << key << "\n"
       << "pid " << getpid() << "\n"
       << "thread " << w.threadId << "\n"
       << "class " << HexEncode(w.cls->name) << "\n"
       << "title " << HexEncode(w.text) << "\n"
       << "style " << w.style << "\n"
       << "exstyle " << w.exStyle << "\n"
       << "rect " << w.rect.left << " " << w.rect.top << " " << w.rect.right << " " << w.rect.bottom << "\n"
       << "stamp " << w.zStamp << "\n"
       << "extra " << HexEncode(std::string(w.extra.begin(), w.extra.end())) << "\n";
  return text.str();
}

std::optional<ForeignWindow> ParseRecord(const std::string& text, uint32_t expectedId) {
  std::istringstream in(text);
  std::string line;
  if (!std::getline(in, line) || line != "twl-window 1") return std::nullopt;
  ForeignWindow f;
  std::map<std::string, std::string> fields;
  while (std::getline(in, line)) {
    size_t space = line.find(' ');
    if (space == std::string::npos) {
      if (!line.empty()) fields[line] = "";
      continue;
    }
    fields[line.substr(0, space)] = line.substr(space + 1);
  }
  for (const char* required : {"id", "process", "pid", "thread", "class", "title", "style", "exstyle", "rect", "stamp"})
    if (!fields.count(required)) return std::nullopt;
  try {
    unsigned long long id = std::stoull(fields["id"]);
    if (id != expectedId) return std::nullopt;
    f.id = expectedId;
    f.process = fields["process"];
    if (!ValidProcessKey(f.process)) return std::nullopt;
    f.processId = static_cast<DWORD>(std::stoul(fields["pid"]));
    f.threadId = static_cast<DWORD>(std::stoul(fields["thread"]));
    f.style = static_cast<DWORD>(std::stoul(fields["style"]));
    f.exStyle = static_cast<DWORD>(std::stoul(fields["exstyle"]));
    f.stamp = std::stoll(fields["stamp"]);
    std::istringstream rect(fields["rect"]);
    long values[4];
    for (long& v : values)
      if (!(rect >> v)) return std::nullopt;
    f.rect = RECT{static_cast<LONG>(values[0]), static_cast<LONG>(values[1]), static_cast<LONG>(values[2]),
                  static_cast<LONG>(values[3])};
  } catch (...) {
    return std::nullopt;
  }
  std::string extra;
  if (!HexDecode(fields["class"], kMaxClassName, &f.className) || !HexDecode(fields["title"], kMaxTitle, &f.title) ||
      !HexDecode(fields["extra"], kMaxExtra, &extra))
    return std::nullopt;
  f.extra.assign(extra.begin(), extra.end());
  return f;
}

}  // namespace

void RecordUpdate::WindowChangedLocked(const Window& w) {
  if (!HasRecord(w)) return;
  auto place = JoinDesktop();  // joined long before: windows get their ids there
  if (!place) return;
  Published& published = ThisProcessRecords();
  std::lock_guard guard(published.lock);
  ++published.byId[w.id].pending;
  entries_.push_back(Entry{w.id, ++published.nextVersion, false, RecordText(w, place->key)});
}

void RecordUpdate::WindowGoneLocked(const Window& w) {
  if (!HasRecord(w)) return;
  Published& published = ThisProcessRecords();
  std::lock_guard guard(published.lock);
  auto found = published.byId.find(w.id);
  if (found == published.byId.end()) return;
  ++found->second.pending;
  entries_.push_back(Entry{w.id, ++published.nextVersion, true, {}});
}

void RecordUpdate::Write() {
  if (entries_.empty()) return;
  auto place = JoinDesktop();
  Published& published = ThisProcessRecords();
  std::lock_guard guard(published.lock);
  for (const Entry& entry : entries_) {
    RecordState& state = published.byId[entry.id];
    --state.pending;
    if (place && entry.version > state.written && !state.removed) {
      state.written = entry.version;
      std::string path = RecordFile(place->folder, entry.id);
      if (entry.removal)
        unlink(path.c_str());
      else
        WriteFileAtomically(path, entry.text, place->key);
    }
    state.removed = state.removed || entry.removal;
    if (state.removed && state.pending == 0) published.byId.erase(entry.id);
  }
  entries_.clear();
}

void RemovePublishedRecords() {
  auto place = JoinDesktop();
  if (!place) return;
  Published& published = ThisProcessRecords();
  std::lock_guard guard(published.lock);
  for (auto& [id, state] : published.byId) {
    if (state.removed) continue;
    unlink(RecordFile(place->folder, id).c_str());
    state.removed = true;
  }
}

void RemoveRecordsOfProcess(const std::string& folder, const std::string& key) {
  DIR* dir = opendir(folder.c_str());
  if (!dir) return;
  while (dirent* entry = readdir(dir)) {
    std::string name = entry->d_name;
    if (!IdFromFileName(name)) continue;
    std::string text;
    if (!ReadSmallFile(folder + "/" + name, kMaxRecordBytes, &text)) continue;
    if (text.find("\nprocess " + key + "\n") != std::string::npos) unlink((folder + "/" + name).c_str());
  }
  closedir(dir);
}

std::vector<ForeignWindow> ForeignWindows() {
  std::vector<ForeignWindow> found;
  auto place = JoinDesktop();
  if (!place) return found;
  const std::string& folder = place->folder;
  DIR* dir = opendir(folder.c_str());
  if (!dir) return found;
  std::vector<std::pair<uint32_t, std::string>> files;
  while (dirent* entry = readdir(dir))
    if (auto id = IdFromFileName(entry->d_name)) files.emplace_back(*id, folder + "/" + entry->d_name);
  closedir(dir);
  std::map<std::string, bool> alive;
  for (auto& [id, path] : files) {
    std::string text;
    if (!ReadSmallFile(path, kMaxRecordBytes, &text)) continue;
    auto window = ParseRecord(text, id);
    if (!window || window->process == place->key) continue;
    auto known = alive.find(window->process);
    if (known == alive.end()) known = alive.emplace(window->process, IsProcessAlive(folder, window->process)).first;
    if (known->second) found.push_back(std::move(*window));
  }
  for (auto& [process, isAlive] : alive)
    if (!isAlive) ForgetProcess(folder, process);
  return found;
}

std::optional<ForeignWindow> FindForeign(uint32_t id) {
  if (!id || id == kDesktopId) return std::nullopt;
  auto place = JoinDesktop();
  if (!place) return std::nullopt;
  std::string text;
  if (!ReadSmallFile(RecordFile(place->folder, id), kMaxRecordBytes, &text)) return std::nullopt;
  auto window = ParseRecord(text, id);
  if (!window || window->process == place->key) return std::nullopt;
  if (!IsProcessAlive(place->folder, window->process)) {
    ForgetProcess(place->folder, window->process);
    return std::nullopt;
  }
  return window;
}

}  // namespace twl::user
