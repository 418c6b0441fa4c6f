#include "DiscImage.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace twl::aspi {
namespace {

constexpr uint32_t kUserBytes = 2048;
constexpr size_t kLargestLayout = 1 << 20;

const char* StateName(SessionState state) {
  switch (state) {
    case SessionState::Open: return "open";
    case SessionState::Appendable: return "appendable";
    case SessionState::Final: return "final";
  }
  return "open";
}

bool ParseState(const std::string& name, SessionState& state) {
  if (name == "open") state = SessionState::Open;
  else if (name == "appendable") state = SessionState::Appendable;
  else if (name == "final") state = SessionState::Final;
  else return false;
  return true;
}

bool Exists(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0;
}

}  // namespace

void DiscImage::Load(const std::string& path, bool rewritable, uint32_t leadOutStart, std::string& problem) {
  *this = DiscImage();
  m_Path = path;
  if (!Exists(path)) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT, 0644);
    if (fd < 0) {
      problem = "cannot make the disc file " + path;
      return;
    }
    close(fd);
    m_HasMedium = true;
    m_Rewritable = rewritable;
    m_LeadOutStart = leadOutStart;
    Save();
    return;
  }
  std::ifstream file(path + ".layout", std::ios::binary);
  std::string text;
  if (file) {
    std::ostringstream all;
    all << file.rdbuf();
    text = all.str();
  }
  if (!file || text.size() > kLargestLayout || !ParseLayout(text)) {
    *this = DiscImage();
    m_Path = path;
    problem = "the layout " + path + ".layout cannot be read: no medium in the drive";
    return;
  }
  m_HasMedium = true;
}

bool DiscImage::ParseLayout(const std::string& text) {
  std::istringstream lines(text);
  std::string line;
  bool sawMedium = false;
  while (std::getline(lines, line)) {
    std::istringstream words(line);
    std::string kind;
    if (!(words >> kind)) continue;
    if (kind == "medium") {
      std::string medium;
      long long blocks = 0;
      if (sawMedium || !(words >> medium >> blocks) || (medium != "cdr" && medium != "cdrw") || blocks <= 0 ||
          blocks >= 450000)
        return false;
      m_Rewritable = medium == "cdrw";
      m_LeadOutStart = static_cast<uint32_t>(blocks);
      sawMedium = true;
    } else if (kind == "session") {
      DiscSession session;
      std::string state;
      if (!sawMedium || !(words >> session.number >> state) || !ParseState(state, session.state) ||
          session.number != static_cast<int>(m_Sessions.size()) + 1)
        return false;
      m_Sessions.push_back(session);
    } else if (kind == "track") {
      DiscTrack track;
      std::string session, start, length, form;
      long long startLba = 0, blocks = 0;
      if (!sawMedium || !(words >> track.number >> session >> track.session >> start >> startLba >> length >> blocks >> form) ||
          session != "session" || start != "start" || length != "length" || (form != "data" && form != "audio") ||
          track.number != static_cast<int>(m_Tracks.size()) + 1 || track.number > 99 || track.session < 1 ||
          track.session > static_cast<int>(m_Sessions.size()) || startLba < 0 || blocks <= 0 ||
          startLba + blocks > 450000)
        return false;
      track.start = static_cast<uint32_t>(startLba);
      track.length = static_cast<uint32_t>(blocks);
      track.audio = form == "audio";
      m_Tracks.push_back(track);
    } else {
      return false;
    }
  }
  return sawMedium;
}

void DiscImage::Save() const {
  if (m_Path.empty()) return;
  const std::string layout = m_Path + ".layout";
  const std::string fresh = layout + ".new";
  FILE* file = std::fopen(fresh.c_str(), "w");
  if (!file) return;
  std::fprintf(file, "medium %s %u\n", m_Rewritable ? "cdrw" : "cdr", m_LeadOutStart);
  for (const auto& session : m_Sessions) std::fprintf(file, "session %d %s\n", session.number, StateName(session.state));
  for (const auto& track : m_Tracks)
    std::fprintf(file, "track %d session %d start %u length %u %s\n", track.number, track.session, track.start,
                 track.length, track.audio ? "audio" : "data");
  std::fclose(file);
  std::rename(fresh.c_str(), layout.c_str());
}

uint32_t DiscImage::NextSessionStart() const {
  if (m_Tracks.empty()) return 0;
  const DiscTrack& last = m_Tracks.back();
  const uint32_t end = last.start + last.length;
  return end + (m_Sessions.size() <= 1 ? kFirstSessionGap : kLaterSessionGap);
}

int64_t DiscImage::NextWritable() const {
  if (!m_HasMedium || IsFinal() || m_Tracks.size() >= 99) return -1;
  int64_t next = 0;
  if (m_TrackOpen) next = m_OpenStart + m_OpenWritten;
  else if (!m_Sessions.empty() && m_Sessions.back().state == SessionState::Open && !m_Tracks.empty())
    next = m_Tracks.back().start + m_Tracks.back().length;
  else
    next = NextSessionStart();
  return next < m_LeadOutStart ? next : -1;
}

bool DiscImage::WriteBlocks(uint32_t count, const uint8_t* userData, std::string& problem) {
  const int64_t next = NextWritable();
  if (next < 0 || next + count > m_LeadOutStart) {
    problem = "no room for the blocks";
    return false;
  }
  bool sessionOpened = false;
  if (!m_TrackOpen) {
    if (m_Sessions.empty() || m_Sessions.back().state != SessionState::Open) {
      m_Sessions.push_back({static_cast<int>(m_Sessions.size()) + 1, SessionState::Open});
      sessionOpened = true;
    }
    m_TrackOpen = true;
    m_OpenStart = static_cast<uint32_t>(next);
    m_OpenWritten = 0;
  }
  if (userData && count > 0) {
    const size_t bytes = static_cast<size_t>(count) * kUserBytes;
    if (!OpenForWriting() || pwrite(m_WriteFd, userData, bytes, static_cast<off_t>(next) * kUserBytes) !=
                                 static_cast<ssize_t>(bytes)) {
      problem = "cannot write the disc file";
      return false;
    }
  }
  m_OpenWritten += count;
  // The layout names closed tracks only: it changes when a write opens a
  // session, not with every block.
  if (sessionOpened) Save();
  return true;
}

bool DiscImage::OpenForWriting() {
  if (m_WriteFd < 0) m_WriteFd = open(m_Path.c_str(), O_WRONLY | O_CLOEXEC);
  return m_WriteFd >= 0;
}

void DiscImage::CloseFile() {
  if (m_WriteFd >= 0) close(m_WriteFd);
  m_WriteFd = -1;
}

DiscImage::~DiscImage() { CloseFile(); }

DiscImage& DiscImage::operator=(DiscImage&& other) noexcept {
  if (this == &other) return *this;
  CloseFile();
  m_Path = std::move(other.m_Path);
  m_HasMedium = other.m_HasMedium;
  m_Rewritable = other.m_Rewritable;
  m_LeadOutStart = other.m_LeadOutStart;
  m_Tracks = std::move(other.m_Tracks);
  m_Sessions = std::move(other.m_Sessions);
  m_TrackOpen = other.m_TrackOpen;
  m_OpenStart = other.m_OpenStart;
  m_OpenWritten = other.m_OpenWritten;
  m_WriteFd = other.m_WriteFd;
  other.m_WriteFd = -1;
  return *this;
}

void DiscImage::CloseTrack() {
  if (!m_TrackOpen) return;
  m_Tracks.push_back({static_cast<int>(m_Tracks.size()) + 1, m_Sessions.back().number, m_OpenStart,
                      m_OpenWritten + kRunOut, false});
  m_TrackOpen = false;
  Save();
}

void DiscImage::CloseSession(bool appendable) {
  CloseTrack();
  if (m_Sessions.empty() || m_Sessions.back().state != SessionState::Open) return;
  m_Sessions.back().state = appendable ? SessionState::Appendable : SessionState::Final;
  Save();
}

void DiscImage::Blank(bool wholeDisc) {
  m_TrackOpen = false;
  if (wholeDisc || m_Sessions.size() <= 1) {
    m_Tracks.clear();
    m_Sessions.clear();
    CloseFile();
    truncate(m_Path.c_str(), 0);
  } else {
    const int last = m_Sessions.back().number;
    while (!m_Tracks.empty() && m_Tracks.back().session == last) m_Tracks.pop_back();
    m_Sessions.pop_back();
    m_Sessions.back().state = SessionState::Appendable;
  }
  Save();
}

bool DiscImage::ReadBlock(uint32_t lba, uint8_t* block) const {
  bool written = m_TrackOpen && lba >= m_OpenStart && lba < m_OpenStart + m_OpenWritten;
  for (const auto& track : m_Tracks)
    if (lba >= track.start && lba < track.start + track.length - kRunOut) written = true;
  if (!written) return false;
  const int fd = open(m_Path.c_str(), O_RDONLY);
  if (fd < 0) return false;
  const ssize_t got = pread(fd, block, kUserBytes, static_cast<off_t>(lba) * kUserBytes);
  close(fd);
  for (ssize_t i = got < 0 ? 0 : got; i < static_cast<ssize_t>(kUserBytes); ++i) block[i] = 0;
  return true;
}

}  // namespace twl::aspi
