// "gated://NAME" streams for the disk file tests: each delivers a fixed
// content, but only once its gate is open; until then it has nothing yet
// (ReadSome answers 0, not at the end), as a slow network stream would. A
// gate can also make the stream fail. The provider joins the module's
// file system on first use.
#pragma once

#include <string>

namespace gated {

// The content every gated stream delivers.
const std::string& Content();
// Opens the gate of the stream NAME (before or after it was opened).
void Open(const std::string& name);
// Makes ReadSome of the stream NAME fail with a lost connection.
void Break(const std::string& name);
// Installs the provider; the URL is "gated://" + name.
std::string Url(const std::string& name);

}  // namespace gated
