// Starting programs: the command line split by the Windows rules, a
// detached child in a session of its own, what the child inherits, its exit
// code and its handle as a waitable object; and this program's own command
// line rebuilt from its arguments.
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "support/TestPaths.h"

namespace {

struct Started {
  BOOL ok = FALSE;
  PROCESS_INFORMATION info{};
  DWORD error = 0;
};

Started Start(std::string commandLine, DWORD flags = 0, const char* directory = nullptr, BOOL inherit = FALSE,
              const char* environment = nullptr) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  Started started;
  SetLastError(0);
  started.ok = CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, inherit, flags,
                              const_cast<char*>(environment), directory, &startup, &started.info);
  started.error = GetLastError();
  return started;
}

// Waits for the child to end; its exit code.
DWORD Finish(const Started& started) {
  EXPECT_EQ(WaitForSingleObject(started.info.hProcess, 20000), WAIT_OBJECT_0);
  DWORD code = 0;
  EXPECT_TRUE(GetExitCodeProcess(started.info.hProcess, &code));
  CloseHandle(started.info.hThread);
  CloseHandle(started.info.hProcess);
  return code;
}

}  // namespace

TEST(Process, TheShellCommandLineWritesWhatItsArgumentsSay) {
  std::string folder = twltest::MakeTempDir("child");
  Started started = Start(R"("/bin/sh" -c "printf '%s|' \"a b\" c > out")", DETACHED_PROCESS, folder.c_str());
  ASSERT_TRUE(started.ok) << started.error;
  EXPECT_EQ(Finish(started), 0u);
  EXPECT_EQ(twltest::ReadFile(folder + "/out"), "a b|c|");
}

TEST(Process, ADetachedChildRunsInASessionOfItsOwn) {
  for (bool detached : {true, false}) {
    Started started = Start("/bin/sleep 30", detached ? DETACHED_PROCESS : 0);
    ASSERT_TRUE(started.ok) << started.error;
    pid_t pid = static_cast<pid_t>(started.info.dwProcessId);
    EXPECT_EQ(started.info.dwThreadId, started.info.dwProcessId);
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeProcess(started.info.hProcess, &code));
    EXPECT_EQ(code, STILL_ACTIVE);
    EXPECT_EQ(WaitForSingleObject(started.info.hProcess, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    if (detached) {
      EXPECT_EQ(getsid(pid), pid) << "the child leads a session of its own";
      EXPECT_NE(getsid(pid), getsid(0));
    } else {
      EXPECT_EQ(getsid(pid), getsid(0));
    }
    kill(pid, SIGKILL);
    EXPECT_EQ(WaitForSingleObject(started.info.hThread, 20000), WAIT_OBJECT_0) << "the second handle waits too";
    EXPECT_EQ(Finish(started), 128u + SIGKILL);
  }
}

TEST(Process, CommandLinesSplitByTheWindowsRules) {
  std::string folder = twltest::MakeTempDir("split");
  // The shell by a quoted name with a blank; it writes each argument after
  // its own name in brackets.
  std::string shell = folder + "/my shell";
  ASSERT_EQ(symlink("/bin/sh", shell.c_str()), 0);
  const std::string printer = "\"" + shell + "\" -c \"for a; do printf '[%s]' \\\"$a\\\"; done > out\" sh ";
  const struct {
    const char* behaviour;
    std::string arguments;
    std::string split;
  } cases[] = {
      {"blanks separate", "a  b\tc", "[a][b][c]"},
      {"quotes group", R"("a b" c)", "[a b][c]"},
      {"an empty pair is an argument", R"("" x)", "[][x]"},
      {"quotes inside a word", R"(x"y z"w)", "[xy zw]"},
      {"backslashes without a quote stay", R"(a\\b c\)", R"([a\\b][c\])"},
      {"an escaped quote", R"(a\"b)", R"([a"b])"},
      {"an escaped backslash and an escaped quote", R"(a\\\"b)", R"([a\"b])"},
      {"two backslashes before a closing quote", R"("a\\" b)", R"([a\][b])"},
      {"a doubled quote inside quotes", R"("a""b")", R"([a"b])"},
      {"trailing blanks add nothing", "z   ", "[z]"},
  };
  for (const auto& c : cases) {
    unlink((folder + "/out").c_str());
    Started started = Start(printer + c.arguments, 0, folder.c_str());
    ASSERT_TRUE(started.ok) << c.behaviour << ": " << started.error;
    EXPECT_EQ(Finish(started), 0u) << c.behaviour;
    EXPECT_EQ(twltest::ReadFile(folder + "/out"), c.split) << c.behaviour;
  }
}

TWLTEST_CHILD(WriteCommandLine) {
  twltest::WriteFile(args.at(0), GetCommandLineA());
  return 0;
}

TEST(Process, TheProgramsCommandLineQuotesArgumentsWithBlanks) {
  std::string out = twltest::MakeTempDir("line") + "/out";
  Started started = Start("/proc/self/exe --twl-child WriteCommandLine " + out + R"( "a b" "" c "tab	here")");
  ASSERT_TRUE(started.ok) << started.error;
  EXPECT_EQ(Finish(started), 0u);
  EXPECT_EQ(twltest::ReadFile(out), "/proc/self/exe --twl-child WriteCommandLine " + out + R"( "a b" "" c "tab	here")");
}

TEST(Process, WithoutInheritedHandlesTheChildGetsNoOpenDescriptors) {
  std::string folder = twltest::MakeTempDir("fds");
  int fd = open("/dev/null", O_RDONLY);  // inheritable: no close-on-exec
  ASSERT_GE(fd, 3);
  std::string probe = "/bin/sh -c \"if [ -e /proc/self/fd/" + std::to_string(fd) +
                      " ]; then echo open; else echo closed; fi > state\"";
  for (BOOL inherit : {FALSE, TRUE}) {
    Started started = Start(probe, DETACHED_PROCESS, folder.c_str(), inherit);
    ASSERT_TRUE(started.ok);
    Finish(started);
    EXPECT_EQ(twltest::ReadFile(folder + "/state"), inherit ? "open\n" : "closed\n");
  }
  close(fd);
}

TEST(Process, EnvironmentFolderAndExitCodeReachTheChild) {
  std::string folder = twltest::MakeTempDir("env");
  const char environment[] = "A=one\0B=two words\0";
  Started started =
      Start(R"(sh -c "printf '%s|%s|%s|' \"$A\" \"$B\" \"$HOME\" > out; pwd >> out; exit 3")", 0, folder.c_str(),
            FALSE, environment);
  ASSERT_TRUE(started.ok) << "found on PATH: " << started.error;
  EXPECT_EQ(Finish(started), 3u);
  char real[4096];
  ASSERT_NE(realpath(folder.c_str(), real), nullptr);
  EXPECT_EQ(twltest::ReadFile(folder + "/out"), std::string("one|two words||") + real + "\n");
}

TEST(Process, RefusesWhatCannotBeStarted) {
  std::string folder = twltest::MakeTempDir("refused");
  twltest::WriteFile(folder + "/not-a-program", "text");
  const struct {
    const char* behaviour;
    std::string commandLine;
    DWORD flags;
    const char* directory;
    DWORD error;
  } cases[] = {
      {"a missing program", folder + "/missing", 0, nullptr, ERROR_FILE_NOT_FOUND},
      {"a program nowhere on the path", "no-such-program-anywhere", 0, nullptr, ERROR_FILE_NOT_FOUND},
      {"a file that may not run", folder + "/not-a-program", 0, nullptr, ERROR_ACCESS_DENIED},
      {"a flag that is not offered", "/bin/true", 0x4 /* suspended */, nullptr, ERROR_INVALID_PARAMETER},
      {"a missing folder", "/bin/true", 0, "/no/such/folder", ERROR_DIRECTORY},
      {"an empty command line", "   ", 0, nullptr, ERROR_INVALID_PARAMETER},
  };
  for (const auto& c : cases) {
    Started started = Start(c.commandLine, c.flags, c.directory);
    EXPECT_FALSE(started.ok) << c.behaviour;
    EXPECT_EQ(started.error, c.error) << c.behaviour;
  }
  char line[] = "/bin/true";
  STARTUPINFOA startup{};
  EXPECT_FALSE(CreateProcessA(nullptr, line, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, nullptr));
  DWORD code = 0;
  EXPECT_FALSE(GetExitCodeProcess(nullptr, &code));
  EXPECT_TRUE(GetExitCodeProcess(GetCurrentProcess(), &code));
  EXPECT_EQ(code, STILL_ACTIVE);
}
