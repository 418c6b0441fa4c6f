// This process's place on the desktop shared by the processes of one user:
// the folder <desktop>/windows/, the key that names this process there, and
// its liveness file, held locked for as long as the process lives. A
// process whose liveness file nobody holds has vanished; what it left is
// removed when met. Thread-safe.
#pragma once

#include <optional>
#include <string>

namespace twl::user {

struct DesktopPlace {
  std::string folder;  // <desktop>/windows
  std::string key;     // this process's name in the folder
};

// Joins the desktop on first use (the folder, the liveness lock and the
// WM_COPYDATA server); nothing when there is no desktop folder.
std::optional<DesktopPlace> JoinDesktop();

// A key as processes make them: hexadecimal digits and '-'.
bool ValidProcessKey(const std::string& key);
bool IsProcessAlive(const std::string& folder, const std::string& key);
// Removes what a vanished process left: its window records, socket and
// liveness file.
void ForgetProcess(const std::string& folder, const std::string& key);

}  // namespace twl::user
