// The registry shared by processes: concurrent writers, a writer killed in
// the middle, the database as other tools see it, and where it lives.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "RegistryTestKey.h"
#include "support/TestPaths.h"

namespace {

constexpr const char* kSharedKey = "Software\\Velbrook\\Shared";
constexpr DWORD kBlobSize = 64 * 1024;

// args: value name prefix, count.
TWLTEST_CHILD(registry_writer) {
  HKEY key = CreateKey(HKEY_CURRENT_USER, kSharedKey);
  int count = std::atoi(args.at(1).c_str());
  for (int i = 0; i < count; ++i) {
    std::string name = args.at(0) + std::to_string(i);
    DWORD number = static_cast<DWORD>(i);
    LONG result = RegSetValueExA(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), 4);
    if (result != ERROR_SUCCESS) {
      std::fprintf(stderr, "writing %s failed: %d\n", name.c_str(), static_cast<int>(result));
      return 1;
    }
  }
  RegCloseKey(key);
  return 0;
}

// A value whose bytes all repeat its generation number, rewritten forever.
std::vector<BYTE> Generation(DWORD generation) { return std::vector<BYTE>(kBlobSize, static_cast<BYTE>(generation)); }

TWLTEST_CHILD(registry_rewriter) {
  HKEY key = CreateKey(HKEY_CURRENT_USER, kSharedKey);
  for (DWORD generation = 1;; ++generation) {
    auto bytes = Generation(generation);
    if (RegSetValueExA(key, "Blob", 0, REG_BINARY, bytes.data(), kBlobSize) != ERROR_SUCCESS) return 1;
    WriteDword(key, ("Step" + std::to_string(generation % 500)).c_str(), generation);
  }
}

// args: the result that writing one value must give.
TWLTEST_CHILD(registry_write_expecting) {
  HKEY key = nullptr;
  LONG result = RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Velbrook", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                nullptr);
  if (result == ERROR_SUCCESS) {
    DWORD one = 1;
    result = RegSetValueExA(key, "FirstStart", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), 4);
    RegCloseKey(key);
  }
  if (result == std::atol(args.at(0).c_str())) return 0;
  std::fprintf(stderr, "result %d\n", static_cast<int>(result));
  return 1;
}

bool ExitedCleanly(int status) { return WIFEXITED(status) && WEXITSTATUS(status) == 0; }

std::string Sqlite(const std::string& database, const std::string& sql) {
  std::string output;
  twltest::RunCommand("sqlite3 -batch '" + database + "' \"" + sql + "\" 2>&1", &output);
  return output;
}

// Runs a child with some variables of the environment changed.
int RunChildWithEnvironment(const std::vector<std::pair<const char*, const char*>>& changes,
                            const std::vector<std::string>& args) {
  std::vector<std::pair<std::string, std::optional<std::string>>> saved;
  for (const auto& [name, value] : changes) {
    const char* old = std::getenv(name);
    saved.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
    if (value) {
      setenv(name, value, 1);
    } else {
      unsetenv(name);
    }
  }
  int status = twltest::WaitChild(twltest::SpawnChild("registry_write_expecting", args));
  for (const auto& [name, value] : saved) {
    if (value) {
      setenv(name.c_str(), value->c_str(), 1);
    } else {
      unsetenv(name.c_str());
    }
  }
  return status;
}

TEST(RegistryProcesses, TwoWritersAtOnceLoseNothing) {
  pid_t first = twltest::SpawnChild("registry_writer", {"First", "1000"});
  pid_t second = twltest::SpawnChild("registry_writer", {"Second", "1000"});
  EXPECT_TRUE(ExitedCleanly(twltest::WaitChild(first)));
  EXPECT_TRUE(ExitedCleanly(twltest::WaitChild(second)));

  ScopedKey key;
  ASSERT_EQ(OpenKey(HKEY_CURRENT_USER, kSharedKey, key.out(), KEY_READ), ERROR_SUCCESS);
  DWORD count = 0;
  for (DWORD index = 0;; ++index) {
    char name[32];
    DWORD length = sizeof name;
    LONG result = RegEnumValueA(key.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr);
    if (result == ERROR_NO_MORE_ITEMS) break;
    ASSERT_EQ(result, ERROR_SUCCESS);
    ++count;
  }
  EXPECT_EQ(count, 2000u);
  for (const char* prefix : {"First", "Second"}) {
    for (DWORD i = 0; i < 1000; ++i) {
      std::string name = prefix + std::to_string(i);
      StoredValue value = ReadValue(key.get(), name.c_str());
      ASSERT_EQ(value.result, ERROR_SUCCESS) << name;
      ASSERT_EQ(value.data, (std::vector<BYTE>{BYTE(i), BYTE(i >> 8), 0, 0})) << name;
    }
  }
}

TEST(RegistryProcesses, WriterKilledMidWriteLeavesAWholeDatabase) {
  pid_t writer = twltest::SpawnChild("registry_rewriter");
  ScopedKey key;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  // Let it write for a while: until it has gone round its step values once.
  while (std::chrono::steady_clock::now() < deadline) {
    if (!key.get()) OpenKey(HKEY_CURRENT_USER, kSharedKey, key.out(), KEY_READ);
    if (key.get() && ReadValue(key.get(), "Step499").result == ERROR_SUCCESS) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  kill(writer, SIGKILL);
  int status = twltest::WaitChild(writer);
  ASSERT_TRUE(WIFSIGNALED(status)) << "the writer stopped on its own";
  ASSERT_NE(key.get(), nullptr);

  const std::string database = std::getenv("TWL_REGISTRY");
  EXPECT_EQ(Sqlite(database, "PRAGMA integrity_check"), "ok\n");
  StoredValue blob = ReadValue(key.get(), "Blob");
  ASSERT_EQ(blob.result, ERROR_SUCCESS);
  ASSERT_EQ(blob.data.size(), kBlobSize);
  EXPECT_EQ(blob.data, Generation(blob.data[0])) << "a value is the old one or the new one, never a mix";

  // The database takes writes again at once.
  ScopedKey writable(CreateKey(HKEY_CURRENT_USER, kSharedKey));
  WriteDword(writable.get(), "AfterKill", 1);
  EXPECT_EQ(ReadValue(key.get(), "AfterKill").result, ERROR_SUCCESS);
}

TEST(RegistryProcesses, OtherToolsSeeTheValuesInTheDatabase) {
  ScopedKey key(CreateKey(HKEY_CURRENT_USER, "Software\\Velbrook\\Velbrook Tunewell\\PluginData\\Pictolan"));
  WriteDword(key.get(), "DisplayTime", 5000);
  const std::string database = std::getenv("TWL_REGISTRY");
  EXPECT_EQ(Sqlite(database, "SELECT path, name, type, hex(data) FROM registry WHERE name = 'DisplayTime'"),
            "HKEY_CURRENT_USER\\Software\\Velbrook\\Velbrook Tunewell\\PluginData\\Pictolan|DisplayTime|4|88130000\n");
}

TEST(RegistryProcesses, DatabaseLivesInTheUsersConfigurationFolder) {
  const std::string sandbox = twltest::SandboxDir();
  const std::string config = sandbox + "/config";
  const std::string home = sandbox + "/home";
  std::string success = std::to_string(ERROR_SUCCESS);

  EXPECT_TRUE(ExitedCleanly(
      RunChildWithEnvironment({{"TWL_REGISTRY", nullptr}, {"XDG_CONFIG_HOME", config.c_str()}}, {success})));
  EXPECT_TRUE(std::filesystem::is_regular_file(config + "/velbrook/registry.sqlite"));

  EXPECT_TRUE(ExitedCleanly(RunChildWithEnvironment(
      {{"TWL_REGISTRY", nullptr}, {"XDG_CONFIG_HOME", nullptr}, {"HOME", home.c_str()}}, {success})));
  EXPECT_TRUE(std::filesystem::is_regular_file(home + "/.config/velbrook/registry.sqlite"));

  const std::string nested = sandbox + "/a/b/registry.sqlite";
  EXPECT_TRUE(ExitedCleanly(RunChildWithEnvironment({{"TWL_REGISTRY", nested.c_str()}}, {success})));
  EXPECT_TRUE(std::filesystem::is_regular_file(nested));
}

TEST(RegistryProcesses, ForeignFileIsRefusedAndLeftAlone) {
  const std::string path = twltest::SandboxDir() + "/not-a-database.sqlite";
  std::string garbage(8192, '\0');
  for (size_t i = 0; i < garbage.size(); ++i) garbage[i] = static_cast<char>(i * 31 + 7);
  twltest::WriteFile(path, garbage);
  EXPECT_TRUE(ExitedCleanly(
      RunChildWithEnvironment({{"TWL_REGISTRY", path.c_str()}}, {std::to_string(ERROR_BADDB)})));
  EXPECT_EQ(twltest::ReadFile(path), garbage);

  const std::string unreachable = twltest::SandboxDir() + "/file-not-folder";
  twltest::WriteFile(unreachable, "x");
  const std::string below = unreachable + "/registry.sqlite";
  EXPECT_TRUE(ExitedCleanly(
      RunChildWithEnvironment({{"TWL_REGISTRY", below.c_str()}}, {std::to_string(ERROR_CANTOPEN)})));
}

}  // namespace
