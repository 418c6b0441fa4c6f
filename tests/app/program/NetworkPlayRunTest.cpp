// twl plays an http:// URL headless: Screevo's graph reads it through the
// data system and Netvarra (the server sees Netvarra's request, not
// GStreamer's), the WAV sink captures the song as gst-launch-1.0 decodes
// it, and a stop while a slow server trickles never waits for the server.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "PlayedInOrder.h"
#include "ProgramFolder.h"
#include "support/LoopbackPeer.h"
#include "support/TestPaths.h"

namespace {

namespace fs = std::filesystem;

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

// An Ogg Vorbis tone of `buffers` x 1024 frames; as raw PCM, its decoding
// from a stream (which, unlike a file's, keeps the last page whole).
std::string MakeSong(const std::string& path, int buffers, std::string* decoded) {
  EXPECT_EQ(0, twltest::RunCommand("gst-launch-1.0 -q audiotestsrc num-buffers=" + std::to_string(buffers) +
                                   " samplesperbuffer=1024 freq=660 volume=0.4 ! audio/x-raw,rate=44100,channels=2 "
                                   "! audioconvert ! vorbisenc ! oggmux ! filesink location=" + Quoted(path)));
  EXPECT_EQ(0, twltest::RunCommand("gst-launch-1.0 -q fdsrc fd=0 ! decodebin ! audioconvert ! "
                                   "audio/x-raw,format=S16LE ! filesink location=" + Quoted(path + ".raw") + " < " +
                                   Quoted(path)));
  *decoded = twltest::ReadFile(path + ".raw");
  return path;
}

// A program folder with Netvarra and Screevo in its PlugIns.
std::string FolderWithNetworkPlayer(const std::string& hint) {
  const std::string folder = programtest::NewProgramFolder(hint);
  for (const char* name : {"Netvarra.dll", "Screevo.dll"})
    fs::copy_file(std::string(TWL_PLUGIN_BUILD_DIR) + "/" + name, folder + "/PlugIns/" + name);
  return folder;
}

TEST(TwlNetworkPlay, AnHttpSongPlaysThroughNetvarra) {
  const std::string folder = FolderWithNetworkPlayer("httpplay");
  std::string decoded;
  const std::string song = MakeSong(folder + "/song.ogg", 40, &decoded);
  const std::string record = folder + "/requests.txt";
  twltest::LoopbackPeer server("http_peer.py", {"--record", record, "file", song});
  const std::string url = "http://127.0.0.1:" + std::to_string(server.Port()) + "/song.ogg";
  const std::string capture = folder + "/capture.wav";
  const pid_t pid = programtest::Start(folder, {url}, {"TWL_SOUND_SINK=wav:" + capture});
  const std::string log = programtest::LogName(folder, 0);
  ASSERT_TRUE(programtest::WaitForText(log, "playing '" + url + "'FINISHED")) << programtest::ReadText(log);
  EXPECT_EQ(0, programtest::Stop(pid));
  const std::string text = programtest::ReadText(log);
  EXPECT_TRUE(programtest::Contains(text, "initializing 'Netvarra (HTTP and FTP)'...done")) << text;
  EXPECT_EQ("GET /song.ogg HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(server.Port()) + "\r\n----\r\n",
            twltest::ReadFile(record))
      << "Netvarra's request, no User-Agent";
  soundtest::ExpectPlayedInOrder(capture, {decoded});
}

TEST(TwlNetworkPlay, AStopWhileASlowServerTricklesDoesNotWaitForIt) {
  const std::string folder = FolderWithNetworkPlayer("slowplay");
  std::string decoded;
  const std::string song = MakeSong(folder + "/song.ogg", 400, &decoded);
  // The start at once, so the graph gets going; the rest would take
  // minutes.
  twltest::LoopbackPeer server("http_peer.py", {"trickle", song, "12000", "500"});
  const std::string url = "http://127.0.0.1:" + std::to_string(server.Port()) + "/song.ogg";
  const pid_t pid = programtest::Start(folder, {url}, {"TWL_SOUND_SINK=null"});
  const std::string log = programtest::LogName(folder, 0);
  ASSERT_TRUE(programtest::WaitForText(log, "playing '" + url + "'")) << programtest::ReadText(log);
  EXPECT_EQ(0, programtest::Stop(pid)) << "ended in order, long before the server";
}

}  // namespace
