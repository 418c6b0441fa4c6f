// Disk files made at once (host API slots 155, 157 and 158): local files
// by their own path, copies where a name is required or the URL is not
// local, and copies that are aborted or fail.
#include <gtest/gtest.h>

#include <filesystem>

#include "DiskFileSupport.h"
#include "GatedStreams.h"
#include "support/TestPaths.h"

using namespace diskfiletest;

namespace {

struct Made {
  BOOL answer = FALSE;
  std::string name;
  HOST_FILECREATOR creator = nullptr;
};

Made MakeInstant(const std::string& url, const char* prefix, const char* suffix, DWORD flags,
                 HANDLE abortEvent = nullptr) {
  Made made;
  char* name = nullptr;
  made.answer = Host().HOST_CreateInstantFileCreator(&name, url.c_str(), prefix, suffix, abortEvent, 0xDEAD, flags,
                                                     Caller(), &made.creator);
  made.name = TakeName(name);
  return made;
}

TEST(InstantDiskFile, LocalFilesAreUsedAsTheyAreOrCopiedWhenTheirNameDoesNotFit) {
  const std::string dir = twltest::MakeTempDir("music");
  const std::string song = dir + "/Song.WAV";
  twltest::WriteFile(song, "RIFF and more");
  struct Row {
    const char* what;
    const char* prefix;
    const char* suffix;
    DWORD flags;
    bool copied;
  };
  const std::string dirPrefix = dir + "/";
  const Row rows[] = {
      {"no name asked for", "x", ".mp3", 0, false},
      {"prefix and suffix fit, without case", dirPrefix.c_str(), ".wav", 1, false},
      {"empty prefix and suffix always fit", nullptr, nullptr, 1, false},
      {"the suffix does not fit", nullptr, ".mp3", 1, true},
      {"the prefix does not fit", "bfs", ".wav", 1, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    const auto before = TempFolderNames();
    Made made = MakeInstant("file://" + song, row.prefix, row.suffix, row.flags);
    ASSERT_TRUE(made.answer) << Host().HOST_GetErrorText();
    char* again = nullptr;
    ASSERT_TRUE(Host().HOST_FileCreatorGetFileName(made.creator, &again));
    EXPECT_EQ(TakeName(again), made.name);
    if (row.copied) {
      EXPECT_NE(made.name, song);
      EXPECT_EQ(made.name.rfind(std::getenv("TMPDIR"), 0), 0u) << made.name;
      if (row.suffix) {
        EXPECT_TRUE(made.name.ends_with(row.suffix)) << made.name;
      }
      EXPECT_EQ(twltest::RunCommand("cmp -s '" + song + "' '" + made.name + "'"), 0);
    } else {
      EXPECT_EQ(made.name, song);
    }
    Host().HOST_FileCreatorRelease(made.creator);
    EXPECT_TRUE(std::filesystem::exists(song)) << "a local file is never deleted";
    EXPECT_EQ(TempFolderNames(), before) << "a copy is deleted at release";
  }
}

TEST(InstantDiskFile, CopiesAreNumberedWithThePrefixAndSuffix) {
  const std::string song = twltest::MakeTempDir("music") + "/a.wav";
  twltest::WriteFile(song, "x");
  Made first = MakeInstant("file://" + song, "bfs", ".mp3", 1);
  Made second = MakeInstant("file://" + song, "bfs", ".mp3", 1);
  ASSERT_TRUE(first.answer && second.answer);
  EXPECT_EQ(first.name, std::string(std::getenv("TMPDIR")) + "/bfs0000.mp3");
  EXPECT_EQ(second.name, std::string(std::getenv("TMPDIR")) + "/bfs0001.mp3");
  Host().HOST_FileCreatorRelease(first.creator);
  Host().HOST_FileCreatorRelease(second.creator);
}

TEST(InstantDiskFile, AStreamThatTricklesIsCopiedWhole) {
  gated::Open("trickle");
  Made made = MakeInstant(gated::Url("trickle"), "net", ".bin", 0);
  ASSERT_TRUE(made.answer) << Host().HOST_GetErrorText();
  EXPECT_EQ(twltest::ReadFile(made.name), gated::Content());
  Host().HOST_FileCreatorRelease(made.creator);
  EXPECT_FALSE(std::filesystem::exists(made.name));
}

TEST(InstantDiskFile, APresetAbortEventFailsTheCopyAndLeavesNothingBehind) {
  const std::string song = twltest::MakeTempDir("music") + "/a.wav";
  twltest::WriteFile(song, "x");
  HANDLE abort = CreateEventA(nullptr, TRUE, TRUE, nullptr);
  const auto before = TempFolderNames();
  Made made = MakeInstant("file://" + song, nullptr, ".mp3", 1, abort);
  EXPECT_FALSE(made.answer);
  EXPECT_EQ(made.creator, nullptr);
  EXPECT_EQ(Host().HOST_GetErrorType(), 1u);
  EXPECT_STREQ(Host().HOST_GetErrorText(), "the copy operation has been aborted.");
  EXPECT_EQ(TempFolderNames(), before);
  CloseHandle(abort);
}

TEST(InstantDiskFile, AFailingStreamOrMissingFileFailsWithItsErrorAndLeavesNothingBehind) {
  const auto before = TempFolderNames();
  gated::Break("broken");
  Made made = MakeInstant(gated::Url("broken"), nullptr, nullptr, 0);
  EXPECT_FALSE(made.answer);
  EXPECT_EQ(Host().HOST_GetStreamErrorCode(), 15u);
  made = MakeInstant("file://" + twltest::SandboxDir() + "/missing.wav", nullptr, ".mp3", 1);
  EXPECT_FALSE(made.answer);
  EXPECT_EQ(Host().HOST_GetStreamErrorCode(), 10u);
  EXPECT_EQ(TempFolderNames(), before);
}

TEST(InstantDiskFile, BadArgumentsAreInvalidParameters) {
  HOST_FILECREATOR creator = nullptr;
  struct Row {
    const char* what;
    BOOL answer;
  };
  const HostApiTable& h = Host();
  const Row rows[] = {
      {"no URL",
       h.HOST_CreateInstantFileCreator(nullptr, nullptr, nullptr, nullptr, nullptr, 0, 0, Caller(), &creator)},
      {"no caller",
       h.HOST_CreateInstantFileCreator(nullptr, "file:///x", nullptr, nullptr, nullptr, 0, 0, nullptr, &creator)},
      {"name of no creator", h.HOST_FileCreatorGetFileName(nullptr, nullptr)},
      {"name of a made-up creator",
       h.HOST_FileCreatorGetFileName(reinterpret_cast<HOST_FILECREATOR>(&creator), reinterpret_cast<char**>(&creator))},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    EXPECT_FALSE(row.answer);
  }
  EXPECT_EQ(h.HOST_GetMiscErrorCode(), 1u);
  h.HOST_FileCreatorRelease(nullptr);
  h.HOST_FileCreatorRelease(reinterpret_cast<HOST_FILECREATOR>(&creator));  // not ours: ignored
}

}  // namespace
