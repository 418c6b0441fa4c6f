// The program's URL reader as the filter graph's source of network URLs:
// it is asked for the URL and feeds the graph; a URL it cannot open does
// not render; a Read that waits for a silent server is shut down before
// the graph goes, so the release never waits for it.
#include <dshow.h>
#include <gtest/gtest.h>
#include <twlwin/testing_sound.h>
#include <twlwin/urlreader.h>
#include <windows.h>

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "support/SoundFiles.h"
#include "support/TestPaths.h"

namespace {

// A reader over the bytes of one file: the first Read gives them all;
// with `stall` the next one waits until it is shut down.
struct FileReader {
  std::string bytes;
  bool refuse = false;
  bool stall = false;
  std::vector<std::string> calls;
  std::mutex lock;
  std::condition_variable changed;
  bool shutDown = false;
  bool given = false;

  static void* Open(void* context, const char* url) {
    auto* self = static_cast<FileReader*>(context);
    self->calls.push_back(std::string("open ") + url);
    return self->refuse ? nullptr : self;
  }
  static long Read(void* context, void*, void* buffer, unsigned long size) {
    auto* self = static_cast<FileReader*>(context);
    std::unique_lock guard(self->lock);
    if (!self->given) {
      self->given = true;
      const size_t count = std::min<size_t>(size, self->bytes.size());
      std::memcpy(buffer, self->bytes.data(), count);
      self->bytes.erase(0, count);
      self->given = self->bytes.empty();
      return static_cast<long>(count);
    }
    if (!self->stall) return 0;
    self->changed.wait(guard, [self] { return self->shutDown; });
    return -1;
  }
  static void Shutdown(void* context, void*) {
    auto* self = static_cast<FileReader*>(context);
    std::lock_guard guard(self->lock);
    self->shutDown = true;
    self->calls.push_back("shutdown");
    self->changed.notify_all();
  }
  static void Close(void* context, void*) { static_cast<FileReader*>(context)->calls.push_back("close"); }

  void Register() {
    const TwlUrlReader reader{this, &Open, &Read, &Shutdown, &Close};
    TwlSetUrlReader(&reader);
  }
};

HRESULT RenderUrl(IGraphBuilder* graph, const std::string& url) {
  std::u16string wide(url.begin(), url.end());
  return graph->RenderFile(reinterpret_cast<LPCWSTR>(wide.c_str()), nullptr);
}

IGraphBuilder* NewGraph() {
  IGraphBuilder* graph = nullptr;
  EXPECT_EQ(S_OK, CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                   reinterpret_cast<void**>(&graph)));
  return graph;
}

TEST(FilterGraphUrlReader, TheReaderFeedsTheGraphAndIsClosedWithIt) {
  ASSERT_TRUE(TwlTestSetSoundSink("null"));
  FileReader reader;
  reader.bytes = twltest::ReadFile(twltest::SoxTone(twltest::MakeTempDir("url"), "t.wav", "0.3", "440"));
  reader.Register();
  IGraphBuilder* graph = NewGraph();
  ASSERT_NE(nullptr, graph);
  EXPECT_EQ(S_OK, RenderUrl(graph, "http://nowhere.example/t.wav"));
  graph->Release();
  TwlSetUrlReader(nullptr);
  ASSERT_FALSE(reader.calls.empty());
  EXPECT_EQ("open http://nowhere.example/t.wav", reader.calls.front());
  EXPECT_EQ("close", reader.calls.back());
}

TEST(FilterGraphUrlReader, AUrlTheReaderCannotOpenDoesNotRender) {
  FileReader reader;
  reader.refuse = true;
  reader.Register();
  IGraphBuilder* graph = NewGraph();
  ASSERT_NE(nullptr, graph);
  EXPECT_EQ(VFW_E_CANNOT_LOAD_SOURCE_FILTER, RenderUrl(graph, "ftp://nowhere.example/t.ogg"));
  graph->Release();
  TwlSetUrlReader(nullptr);
  EXPECT_EQ(std::vector<std::string>{"open ftp://nowhere.example/t.ogg"}, reader.calls);
}

TEST(FilterGraphUrlReader, AWaitingReadIsShutDownBeforeTheGraphGoes) {
  ASSERT_TRUE(TwlTestSetSoundSink("null"));
  FileReader reader;
  reader.stall = true;
  reader.bytes = twltest::ReadFile(twltest::SoxTone(twltest::MakeTempDir("stall"), "t.wav", "0.3", "440"));
  reader.Register();
  IGraphBuilder* graph = NewGraph();
  ASSERT_NE(nullptr, graph);
  ASSERT_EQ(S_OK, RenderUrl(graph, "http://slow.example/t.wav"));
  IMediaControl* control = nullptr;
  ASSERT_EQ(S_OK, graph->QueryInterface(IID_IMediaControl, reinterpret_cast<void**>(&control)));
  control->Run();
  control->Stop();
  control->Release();
  graph->Release();  // returns: the stalled Read was shut down first
  TwlSetUrlReader(nullptr);
  ASSERT_GE(reader.calls.size(), 3u);
  EXPECT_EQ("shutdown", reader.calls[reader.calls.size() - 2]);
  EXPECT_EQ("close", reader.calls.back());
}

}  // namespace
