// A program folder of the sandbox with a `twl` in it, and runs of it.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace programtest {

// Makes `folder` (and its parents) a program folder: `binary` linked or
// copied there as twl, with the platform library beside it and an empty
// PlugIns folder.
void InstallProgram(const std::string& folder, const std::string& binary);
// The built twl and this test program.
std::string BuiltTwl();
std::string ThisTestProgram();

// The log line that ends a start.
inline constexpr const char* kDone = "-------- START INITIALIZATIONS DONE --------";
// The program's settings key below HKEY_CURRENT_USER.
inline constexpr const char* kSettingsPath = "Software\\Velbrook\\Velbrook Tunewell";

// A new folder of the sandbox with the built twl installed in it.
std::string NewProgramFolder(const std::string& hint);

// Starts folder/twl with the arguments; its stderr goes to folder/stderr.txt.
pid_t Start(const std::string& folder, const std::vector<std::string>& args,
            const std::vector<std::string>& environment = {});
// Waits until the file holds the text; false after 60 s.
bool WaitForText(const std::string& path, const std::string& text);
// The exit code, or 128 + signal.
int Wait(pid_t pid);
// As Wait, but a process still running after `seconds` is killed and -1
// answered: a hang fails the test instead of stopping the suite.
int WaitAtMost(pid_t pid, int seconds);

// The log of an instance: Log.txt for 0, LogN.txt for N.
std::string LogName(const std::string& folder, int instance);
// Starts twl and waits until the instance's start is done.
pid_t StartUntilDone(const std::string& folder, int instance, const std::vector<std::string>& args,
                     const std::vector<std::string>& environment = {});
// SIGTERM, then the exit code; -1 when it did not end within 30 s.
int Stop(pid_t pid);
// The tests' WAV player into the folder's PlugIns.
void InstallWavPlayer(const std::string& folder);
// A WAV file of a 440 Hz tone: 8 kHz, 16-bit mono.
void WriteTone(const std::string& path, int seconds);

std::string ReadText(const std::string& path);
bool Contains(const std::string& text, const std::string& part);

}  // namespace programtest
