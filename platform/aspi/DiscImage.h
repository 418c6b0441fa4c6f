// The emulated recorder's disc: a file that holds the user data of every
// written data block at LBA x 2048, and the side file PATH.layout, written
// again after each change, that holds its layout:
//   medium cdr|cdrw BLOCKS
//   session N open|appendable|final
//   track N session S start LBA length BLOCKS data|audio
// (a track's length as READ TOC gives it: its data and two run-out blocks).
// Writing is sequential: blocks land at the next writable address. Sessions
// follow the Orange Book: the second starts 11400 blocks after the first
// one's end, later ones 6900. Callers hold the recorder's lock.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace twl::aspi {

struct DiscTrack {
  int number = 0;
  int session = 0;
  uint32_t start = 0;
  uint32_t length = 0;
  bool audio = false;
};

enum class SessionState { Open, Appendable, Final };

struct DiscSession {
  int number = 0;
  SessionState state = SessionState::Open;
};

class DiscImage {
 public:
  DiscImage() = default;
  DiscImage(const DiscImage&) = delete;
  DiscImage& operator=(const DiscImage&) = delete;
  DiscImage& operator=(DiscImage&& other) noexcept;
  ~DiscImage();

  static constexpr uint32_t kRunOut = 2;
  static constexpr uint32_t kFirstSessionGap = 11400;
  static constexpr uint32_t kLaterSessionGap = 6900;

  // Reads the layout, or makes a blank disc of the given kind when there
  // is no disc file yet. A side file that cannot be understood leaves no
  // medium in the drive, with `problem` saying why.
  void Load(const std::string& path, bool rewritable, uint32_t leadOutStart, std::string& problem);

  bool HasMedium() const { return m_HasMedium; }
  bool IsRewritable() const { return m_Rewritable; }
  uint32_t LeadOutStart() const { return m_LeadOutStart; }
  const std::vector<DiscTrack>& Tracks() const { return m_Tracks; }
  const std::vector<DiscSession>& Sessions() const { return m_Sessions; }
  bool IsBlank() const { return m_Tracks.empty() && !m_TrackOpen; }
  bool IsFinal() const { return !m_Sessions.empty() && m_Sessions.back().state == SessionState::Final; }
  bool TrackOpen() const { return m_TrackOpen; }

  // Where the next block goes; -1 when the disc takes no more.
  int64_t NextWritable() const;
  // Stores `count` blocks of user data (2048 bytes each, or null for
  // blocks whose user data is not kept) at the next writable address.
  bool WriteBlocks(uint32_t count, const uint8_t* userData, std::string& problem);
  void CloseTrack();
  void CloseSession(bool appendable);
  // Blanks the whole disc, or its last session.
  void Blank(bool wholeDisc);
  // The user data of one block; false when it was never written.
  bool ReadBlock(uint32_t lba, uint8_t* block) const;

 private:
  void Save() const;
  // The disc file stays open for writing from the first write on.
  bool OpenForWriting();
  void CloseFile();
  bool ParseLayout(const std::string& text);
  uint32_t NextSessionStart() const;

  std::string m_Path;
  bool m_HasMedium = false;
  bool m_Rewritable = false;
  uint32_t m_LeadOutStart = 0;
  std::vector<DiscTrack> m_Tracks;
  std::vector<DiscSession> m_Sessions;
  bool m_TrackOpen = false;
  uint32_t m_OpenStart = 0;
  uint32_t m_OpenWritten = 0;
  int m_WriteFd = -1;
};

}  // namespace twl::aspi
