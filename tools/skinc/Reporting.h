// What the subcommands share: skin errors travel as thrown CError
// pointers, which the driver does not know, so each subcommand runs its
// body through RunReportingErrors; an error goes to stderr as
// "skinc: caption: text" with exit code 1.
#pragma once

#include <cstdio>
#include <string>

#include "driver/Command.h"
#include "foundation/kernel/Error.h"
#include "foundation/kernel/Str.h"

namespace skinc {

template <class Body>
int RunReportingErrors(Body&& body) {
  try {
    return body();
  } catch (CError* error) {
    const std::string message = std::string(error->GetCaption().c_str()) + ": " + error->GetText().c_str();
    DisposeError(error);
    return tool::Fail(message);
  }
}

inline bool IsFolderName(const std::string& path) {
  return !path.empty() && (path.back() == '/' || path.back() == '\\');
}

}  // namespace skinc
