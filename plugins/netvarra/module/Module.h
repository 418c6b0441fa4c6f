// Netvarra's module-wide state: the host table and module instance that
// PLUGIN_Init stores, the counted module start and stop that both of its
// objects share (the timer window and Winsock live from the first start to
// the last stop), and how a caught error becomes the host's thread error.
// Start and stop run on the host's user-interface thread; the timer window
// belongs to the thread that made the first start.
#pragma once

#include "foundation/kernel/Error.h"
#include "pluginhost/abi/PlugInAbi.h"
#include "plugins/netvarra/ftp/FTPConnectionManager.h"
#include "plugins/netvarra/ftp/FTPLoginDataBase.h"

namespace netvarra {

extern const HostApiTable* g_Host;

// The password anonymous FTP logins send, for streams and folder listings
// alike: shaped as a mail address, as servers expect.
inline constexpr const char* kAnonymousPassword = "netvarra-user@guest.nt";
extern HMODULE g_Module;

void GetVersion(PlugInVersionInfo* info);

// False with the thread error set when the first start fails; nothing is
// counted then.
bool ModuleStart();
void ModuleStop();
// How many starts are not stopped yet.
int ModuleStartCount();

// The saved FTP servers: loaded from the plug-ins folder at the first
// start, saved and emptied at the last stop.
CFTPLoginDataBase& FTPLogins();
// The logged-in FTP connections kept for reuse: three at most, each for
// 60 s, checked on the module's 500 ms timer.
CFTPConnectionManager& FTPConnections();

// A stream error becomes the stream thread error with its code and text, a
// memory error the out-of-memory one, any other error its text. The error
// is disposed of. Never throws.
void ReportErrorToHost(CError* error) noexcept;

// Runs `call` for an entry point: every thrown error becomes the thread
// error and the answer `failure`.
template <class Result, class Call>
Result Reporting(Result failure, Call call) noexcept {
  try {
    return call();
  } catch (CError* error) {
    ReportErrorToHost(error);
  } catch (...) {
    ReportErrorToHost(nullptr);
  }
  return failure;
}

}  // namespace netvarra
