// WM_COPYDATA between processes of the desktop: each process listens on a
// Unix domain socket named after its key, serves each connection on a
// thread of its own by sending the message to the target window, and
// answers with the window's result. Only processes of the same user may
// connect. Thread-safe.
#pragma once

#include <optional>
#include <string>

#include "WindowRecords.h"

namespace twl::user {

// Starts listening for this process (called once, when it joins the
// desktop); without a socket the process simply cannot be reached.
void StartCopyDataServer(const std::string& folder, const std::string& key);

// Sends WM_COPYDATA to another process's window and waits for its result,
// taking this thread's incoming sends meanwhile. Null when the process
// cannot be reached (it is then forgotten).
std::optional<LRESULT> SendCopyDataAcross(const ForeignWindow& target, HWND from, const COPYDATASTRUCT& data);

}  // namespace twl::user
