// Test-only stream sources for the data system's tests, served by one
// provider that joins the module's file system on first use:
//   "counting://NAME"    seekable, length known: Content(), counted
//   "unseekable://NAME"  read only (the file system puts its seekable read
//                        buffer over it): Content(), counted
//   "blocking://NAME"    seekable; every read blocks until the stream is
//                        shut down and then fails with CStreamError 19, as
//                        the emulators' reads do
//   "slow://NAME"        opening waits until ReleaseOpen(NAME), like a
//                        connect; then as "counting://"
//   "stalling://NAME"    seekable, length known: the header of a WAV file
//                        (StallingContent(), announcing a second of 16-bit
//                        stereo at 44100 Hz), then every read past it
//                        blocks as on "blocking://", like a server that
//                        stops sending after the first bytes
// The provider counts, per URL, how many streams it opened and how many of
// them were closed. Any thread may use them.
#pragma once

#include <string>

namespace teststreams {

const std::string& Content();
const std::string& StallingContent();

std::string Counting(const std::string& name);
std::string Unseekable(const std::string& name);
std::string Blocking(const std::string& name);
std::string Slow(const std::string& name);
std::string Stalling(const std::string& name);

int OpenCount(const std::string& url);
int CloseCount(const std::string& url);

// Waits (at most 10 s) until a read of a blocking stream on the URL is
// blocked; false when none came.
bool WaitUntilReadBlocks(const std::string& url);
// Waits (at most 10 s) until an open of the slow URL waits; false when
// none came.
bool WaitUntilOpenWaits(const std::string& url);
// Lets the waiting and later opens of the slow URL go on.
void ReleaseOpen(const std::string& url);
// Shuts every open stream down, which ends the reads blocked in them: for a
// test that failed before it could stop its reader.
void ShutDownAll();

}  // namespace teststreams
