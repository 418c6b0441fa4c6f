// A player system with scripted players and recording doubles of the
// systems around it, a user-interface window that records the notices it
// gets, and a log that keeps every entry.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "../support/StubViewerUsers.h"
#include "support/RecordingLogFront.h"
#include "display/MessageWindow.h"
#include "playback/playersystem/PlayerSystem.h"
#include "pluginhost/fileinfo/FileInfoDataBase.h"
#include "pluginhost/fileinfo/FolderInfoDataBase.h"

namespace playertest {

// A player whose answers are set by the test. Its handle is the object.
class TestPlayer : public playbacktest::StubPlayer {
 public:
  TestPlayer(std::string name, std::string key, CanPlayAnswer answer)
      : StubPlayer(std::move(name), std::move(key)), answer(answer) {}
  ~TestPlayer() override { JoinThread(); }

  CanPlayAnswer answer;
  bool playResult = true;
  std::string refusal = "refused";  // thread error text when Play answers false
  std::vector<std::string> refusedUrls;  // Play answers false for these too
  bool stopResult = true;
  // Runs inside Play after it decided to start (on the caller's thread).
  std::function<void(TestPlayer&)> onPlay;

  std::vector<std::string> asked;   // URLs of CanPlay
  std::vector<std::string> played;  // URLs of Play
  std::atomic<int> stops{0};
  std::atomic<int> pauses{0};
  std::atomic<int> resumes{0};
  std::vector<int> volumes;

  // Starts the player's own thread (joined by Stop or the destructor).
  void RunThread(std::function<void()> work);
  void JoinThread();

  void CanPlay(const char* url, CanPlayAnswer& given) override {
    asked.push_back(url);
    given = answer;
  }
  bool Play(const char* url) override;
  bool Stop() override;
  bool Pause() override {
    ++pauses;
    return true;
  }
  bool Resume() override {
    ++resumes;
    return true;
  }
  int SetVolume(int volume) override {
    volumes.push_back(volume);
    return volume;
  }

 private:
  std::thread m_Thread;
};

// A willing answer: verdict 1, support level 1, the priority given.
CanPlayAnswer Willing(DWORD priority = 192);

class RecordingSessions : public CPlayerSessions {
 public:
  void SetSessionUrl(const char* url) override { Note("url " + std::string(url)); }
  void SetSessionOwner(PLUGIN_HANDLE owner) override { Note(owner ? "owner" : "no owner"); }
  void AbortSession() override { Note("abort"); }
  void CloseSession() override { Note("close"); }
  void DetachSession() override { Note("detach"); }
  void ReleaseSessionsOnUrl(const char* url) override { Note("release " + std::string(url)); }
  std::vector<std::string> Calls();
  bool Saw(const std::string& call);

 private:
  void Note(const std::string& call);
  std::mutex m_Lock;
  std::vector<std::string> m_Calls;
};

class RecordingIdentifier : public CPlayerFileIdentifier {
 public:
  void AddFileObject(FileInfoRecord* record) override;
  void RemoveFileObject(FileInfoRecord* record) override;
  void AddToPendingList(FileInfoRecord* record) override;
  // Answers the busy record this many times, then null.
  FileInfoRecord* GetCurrentObject() override;
  void RestartIdentification() override { ++restarts; }

  std::vector<FileInfoRecord*> added;
  std::vector<FileInfoRecord*> removed;
  std::vector<FileInfoRecord*> pending;
  std::atomic<FileInfoRecord*> busy{nullptr};
  std::atomic<int> busyAnswers{0};
  std::atomic<int> restarts{0};

 private:
  std::mutex m_Lock;
};

class PlayerSystemTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Owned by the system.
  TestPlayer* AddPlayer(const std::string& name, CanPlayAnswer answer = Willing(), const std::string& key = "");
  // Files "/m/NAME.mp3" for each name, by AddUrls.
  void AddFiles(const std::vector<std::string>& names);
  void AddNumberedFiles(int count);
  static std::string UrlOf(const std::string& name) { return "file:///m/" + name + ".mp3"; }
  // Runs the messages of the test's thread until none is left.
  void Pump();
  // Pumps until the condition holds (generous time-out); false when it
  // never did.
  bool PumpUntil(const std::function<bool()>& condition);
  // The notices the user-interface window got, cleared after reading.
  std::vector<UINT> TakeNotices();
  // URLs of the "playing" log lines.
  std::vector<std::string> PlayedLog();

  twltest::RecordingLogFront log;
  CFileInfoDataBase files;
  CFolderInfoDataBase folders;
  CPlayerSystem system{files, folders};
  RecordingSessions sessions;
  RecordingIdentifier identifier;
  CMessageWindow userInterface;
  std::mutex noticeLock;
  std::vector<UINT> notices;
};

}  // namespace playertest
