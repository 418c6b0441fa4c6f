#include "PlayerSystemFixture.h"

#include <algorithm>
#include <chrono>

#include "foundation/errors/ThreadErrorState.h"

namespace playertest {

CanPlayAnswer Willing(DWORD priority) { return CanPlayAnswer{0, 1, 1, 0, 0, 0, 0, priority}; }

bool TestPlayer::Play(const char* url) {
  played.push_back(url);
  if (!playResult || std::find(refusedUrls.begin(), refusedUrls.end(), url) != refusedUrls.end()) {
    SetThreadError(THREAD_ERROR_GENERAL, 0, refusal.c_str());
    return false;
  }
  if (onPlay) onPlay(*this);
  return true;
}

bool TestPlayer::Stop() {
  ++stops;
  JoinThread();
  if (!stopResult) SetThreadError(THREAD_ERROR_GENERAL, 0, "cannot stop");
  return stopResult;
}

void TestPlayer::RunThread(std::function<void()> work) {
  JoinThread();
  m_Thread = std::thread(std::move(work));
}

void TestPlayer::JoinThread() {
  if (m_Thread.joinable() && m_Thread.get_id() != std::this_thread::get_id()) m_Thread.join();
}

void RecordingSessions::Note(const std::string& call) {
  std::lock_guard guard(m_Lock);
  m_Calls.push_back(call);
}

std::vector<std::string> RecordingSessions::Calls() {
  std::lock_guard guard(m_Lock);
  return m_Calls;
}

bool RecordingSessions::Saw(const std::string& call) {
  const auto calls = Calls();
  return std::find(calls.begin(), calls.end(), call) != calls.end();
}

void RecordingIdentifier::AddFileObject(FileInfoRecord* record) {
  std::lock_guard guard(m_Lock);
  added.push_back(record);
}

void RecordingIdentifier::RemoveFileObject(FileInfoRecord* record) {
  std::lock_guard guard(m_Lock);
  removed.push_back(record);
}

void RecordingIdentifier::AddToPendingList(FileInfoRecord* record) {
  std::lock_guard guard(m_Lock);
  pending.push_back(record);
}

FileInfoRecord* RecordingIdentifier::GetCurrentObject() {
  if (busyAnswers.load() <= 0) return nullptr;
  --busyAnswers;
  return busy.load();
}

void PlayerSystemTest::SetUp() {
  userInterface.Create(
      [](void* context, UINT message, WPARAM, LPARAM) {
        auto* test = static_cast<PlayerSystemTest*>(context);
        if (message < PLAYER_NOTICE_CURRENT_ENTRY || message > PLAYER_NOTICE_CURRENT_PLAYER) return;
        std::lock_guard guard(test->noticeLock);
        test->notices.push_back(message);
      },
      this);
  system.SetUserInterfaceWindow(userInterface.GetWindowHandle());
  system.SetSessions(&sessions);
  system.SetFileIdentifier(&identifier);
  system.SeedRandom(1);
  system.Init(nullptr);
  log.Clear();
}

void PlayerSystemTest::TearDown() { system.Exit(); }

TestPlayer* PlayerSystemTest::AddPlayer(const std::string& name, CanPlayAnswer answer, const std::string& key) {
  auto* player = new TestPlayer(name, key.empty() ? name : key, answer);
  system.AddPlayer(player);
  return player;
}

void PlayerSystemTest::AddFiles(const std::vector<std::string>& names) {
  std::vector<std::string> paths;
  for (const auto& name : names) paths.push_back("/m/" + name + ".mp3");
  std::vector<const char*> texts;
  for (const auto& path : paths) texts.push_back(path.c_str());
  system.AddUrls(nullptr, -1, texts.data(), static_cast<INT>(texts.size()));
}

void PlayerSystemTest::AddNumberedFiles(int count) {
  std::vector<std::string> names;
  for (int i = 0; i < count; ++i) names.push_back("f" + std::to_string(i));
  AddFiles(names);
}

void PlayerSystemTest::Pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

bool PlayerSystemTest::PumpUntil(const std::function<bool()>& condition) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (std::chrono::steady_clock::now() < deadline) {
    Pump();
    if (condition()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return false;
}

std::vector<UINT> PlayerSystemTest::TakeNotices() {
  Pump();
  std::lock_guard guard(noticeLock);
  std::vector<UINT> taken;
  taken.swap(notices);
  return taken;
}

std::vector<std::string> PlayerSystemTest::PlayedLog() {
  std::vector<std::string> urls;
  for (const auto& entry : log.Entries()) {
    const std::string prefix = "playing '";
    if (entry.text.rfind(prefix, 0) == 0) urls.push_back(entry.text.substr(prefix.size(), entry.text.size() - prefix.size() - 1));
  }
  return urls;
}

}  // namespace playertest
