// The filter graph against GStreamer's own playbin, as gst-launch-1.0 runs
// it ("playbin uri=... audio-sink=..."), on the same file into the same
// sink, a real-time sink that discards the sound:
// - Playback: a half-second WAV file played to its end; process CPU time
//   (the goal: at most 1.2 times playbin's).
// - Open: from nothing to the first sample standing at the sink (the
//   graph's RenderFile, playbin's preroll; the goal: at most 1.5 times
//   playbin's), real time.
// - Resources: what each played and released graph leaves behind, as
//   counters: open descriptors and resident kilobytes per file, over 100
//   files after a warm-up (the goal: 0 descriptors and a few KB).
#include <benchmark/benchmark.h>
#include <dshow.h>
#include <gst/gst.h>
#include <twlwin/testing_sound.h>
#include <unistd.h>
#include <windows.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

const std::string& TonePath() {
  static const std::string path = [] {
    const char* tmp = std::getenv("TMPDIR");
    const std::string file =
        std::string(tmp && *tmp ? tmp : "/tmp") + "/twl-graph-bench-" + std::to_string(getpid()) + ".wav";
    const std::string command = "sox -n -r 44100 -c 2 -b 16 '" + file + "' synth 0.5 sine 440";
    if (std::system(command.c_str()) != 0) std::abort();
    return file;
  }();
  return path;
}

std::u16string WideUrl() {
  const std::string url = "file://" + TonePath();
  return std::u16string(url.begin(), url.end());
}

IGraphBuilder* OpenGraph() {
  IGraphBuilder* graph = nullptr;
  if (FAILED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                              reinterpret_cast<void**>(&graph))) ||
      FAILED(graph->RenderFile(reinterpret_cast<LPCWSTR>(WideUrl().c_str()), nullptr)))
    std::abort();
  return graph;
}

void PlayGraph(IGraphBuilder* graph) {
  IMediaControl* control = nullptr;
  IMediaEventEx* events = nullptr;
  graph->QueryInterface(IID_IMediaControl, reinterpret_cast<void**>(&control));
  graph->QueryInterface(IID_IMediaEventEx, reinterpret_cast<void**>(&events));
  control->Run();
  LONG code = 0;
  LONG_PTR param1 = 0;
  LONG_PTR param2 = 0;
  while (SUCCEEDED(events->GetEvent(&code, &param1, &param2, -1)) && code != EC_COMPLETE) {
  }
  events->Release();
  control->Release();
}

GstElement* OpenPlaybin() {
  gchar* uri = gst_filename_to_uri(TonePath().c_str(), nullptr);
  const std::string description =
      std::string("playbin flags=0x12 audio-sink=\"fakesink sync=true\" uri=") + uri;
  g_free(uri);
  GstElement* pipeline = gst_parse_launch(description.c_str(), nullptr);
  if (!pipeline) std::abort();
  gst_element_set_state(pipeline, GST_STATE_PAUSED);
  gst_element_get_state(pipeline, nullptr, nullptr, GST_CLOCK_TIME_NONE);
  return pipeline;
}

void PlayPlaybin(GstElement* pipeline) {
  gst_element_set_state(pipeline, GST_STATE_PLAYING);
  GstBus* bus = gst_element_get_bus(pipeline);
  GstMessage* message = gst_bus_timed_pop_filtered(
      bus, GST_CLOCK_TIME_NONE, static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
  if (message) gst_message_unref(message);
  gst_object_unref(bus);
}

void ClosePlaybin(GstElement* pipeline) {
  gst_element_set_state(pipeline, GST_STATE_NULL);
  gst_object_unref(pipeline);
}

double OpenDescriptors() {
  double count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) ++count;
  return count;
}

double ResidentKilobytes() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0;
  long resident = 0;
  statm >> pages >> resident;
  return static_cast<double>(resident * (sysconf(_SC_PAGESIZE) / 1024));
}

void SetUp() {
  static const bool done = [] {
    gst_init(nullptr, nullptr);
    TwlTestSetSoundSink("null");
    LoadLibraryA("quartz.dll");
    // GStreamer loads its plug-ins on first use: once for both sides.
    OpenGraph()->Release();
    ClosePlaybin(OpenPlaybin());
    return true;
  }();
  (void)done;
}

void BM_PlaybackGraph(benchmark::State& state) {
  SetUp();
  for (auto _ : state) {
    IGraphBuilder* graph = OpenGraph();
    PlayGraph(graph);
    graph->Release();
  }
}
BENCHMARK(BM_PlaybackGraph)->MeasureProcessCPUTime()->Iterations(6)->Unit(benchmark::kMillisecond);

void BM_PlaybackPlaybin(benchmark::State& state) {
  SetUp();
  for (auto _ : state) {
    GstElement* pipeline = OpenPlaybin();
    PlayPlaybin(pipeline);
    ClosePlaybin(pipeline);
  }
}
BENCHMARK(BM_PlaybackPlaybin)->MeasureProcessCPUTime()->Iterations(6)->Unit(benchmark::kMillisecond);

void BM_ResourcesPerPlayedFile(benchmark::State& state) {
  SetUp();
  constexpr int kWarmUp = 10;
  for (int i = 0; i < kWarmUp; ++i) {
    IGraphBuilder* graph = OpenGraph();
    PlayGraph(graph);
    graph->Release();
  }
  const double descriptors = OpenDescriptors();
  const double resident = ResidentKilobytes();
  for (auto _ : state) {
    IGraphBuilder* graph = OpenGraph();
    PlayGraph(graph);
    graph->Release();
  }
  const double files = static_cast<double>(state.iterations());
  state.counters["descriptors/file"] = (OpenDescriptors() - descriptors) / files;
  state.counters["KB/file"] = (ResidentKilobytes() - resident) / files;
}
BENCHMARK(BM_ResourcesPerPlayedFile)->Iterations(100)->Unit(benchmark::kMillisecond);

void BM_OpenGraph(benchmark::State& state) {
  SetUp();
  for (auto _ : state) {
    IGraphBuilder* graph = OpenGraph();
    state.PauseTiming();
    graph->Release();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_OpenGraph)->UseRealTime()->Iterations(30)->Unit(benchmark::kMillisecond);

void BM_OpenPlaybin(benchmark::State& state) {
  SetUp();
  for (auto _ : state) {
    GstElement* pipeline = OpenPlaybin();
    state.PauseTiming();
    ClosePlaybin(pipeline);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_OpenPlaybin)->UseRealTime()->Iterations(30)->Unit(benchmark::kMillisecond);

}  // namespace
