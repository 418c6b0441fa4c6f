// The DirectShow stand-in's filter graph: its error texts, the results of
// RenderFile, events posted across threads to the notify window, and the
// picture interfaces of a graph that has only sound.
#include <dshow.h>
#include <gtest/gtest.h>
#include <twlwin/testing.h>
#include <twlwin/testing_sound.h>
#include <windows.h>

#include <string>

#include "support/SoundFiles.h"
#include "support/TestPaths.h"

namespace {

constexpr UINT kNotify = WM_APP + 11;

std::u16string Wide(const std::string& text) {
  std::u16string wide(text.size() + 1, u'\0');
  const int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), static_cast<int>(wide.size()));
  wide.resize(length > 0 ? length - 1 : 0);
  return wide;
}

struct Graph {
  Graph() {
    EXPECT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                               reinterpret_cast<void**>(&builder)),
              S_OK);
  }
  ~Graph() {
    if (builder) builder->Release();
  }
  template <typename Interface>
  Interface* Query(const IID& iid) {
    Interface* object = nullptr;
    EXPECT_EQ(builder->QueryInterface(iid, reinterpret_cast<void**>(&object)), S_OK);
    return object;
  }
  HRESULT Render(const std::string& url) { return builder->RenderFile(reinterpret_cast<LPCWSTR>(Wide(url).c_str()), nullptr); }
  IGraphBuilder* builder = nullptr;
};

TEST(FilterGraph, ErrorTextsAreTheLibrarysOwnAndFitTheBuffer) {
  HMODULE quartz = LoadLibraryA("quartz.dll");
  ASSERT_NE(quartz, nullptr);
  auto text = reinterpret_cast<AMGetErrorTextAFunction>(
      reinterpret_cast<void (*)()>(GetProcAddress(quartz, "AMGetErrorTextA")));
  ASSERT_NE(text, nullptr);
  char buffer[200];
  EXPECT_GT(text(HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND), buffer, sizeof buffer), 0u);
  EXPECT_STREQ(buffer, "The file cannot be found.");
  EXPECT_GT(text(VFW_E_UNKNOWN_FILE_TYPE, buffer, sizeof buffer), 0u);
  EXPECT_EQ(text(static_cast<HRESULT>(0x8BADF00D), buffer, sizeof buffer), 0u) << "an unknown result";
  char small[5] = "xxxx";
  EXPECT_EQ(text(HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND), small, sizeof small), 4u);
  EXPECT_STREQ(small, "The ");
  EXPECT_EQ(text(E_FAIL, nullptr, 10), 0u);
}

// The keys name the MIME types, as sqlite3 shows the registry.
TEST(FilterGraph, LoadingTheLibraryListsTheInstalledFormatsInTheRegistry) {
  ASSERT_NE(LoadLibraryA("quartz.dll"), nullptr);
  std::string output;
  ASSERT_EQ(twltest::RunCommand("sqlite3 '" + std::string(std::getenv("TWL_REGISTRY")) +
                                    "' \"select substr(path, instr(path, 'Extensions') + 11) || '=' || "
                                    "rtrim(cast(data as text), char(0)) from registry where path like "
                                    "'%DirectXMedia\\Extensions\\%' and name = 'Extension.MIME' order by 1;\"",
                                &output),
            0);
  EXPECT_NE(output.find(".ogg=audio/ogg\n"), std::string::npos) << output;
  EXPECT_NE(output.find(".wav=audio/wav\n"), std::string::npos) << output;
}

TEST(FilterGraph, RenderFileAnswersWhatKeepsAFileFromPlaying) {
  const std::string folder = twltest::MakeTempDir("graph");
  twltest::WriteFile(folder + "/x.ogg", "plain text\n");
  twltest::WriteFile(folder + "/empty.wav", "");
  struct Case {
    std::string url;
    HRESULT result;
  };
  const Case cases[] = {
      {"file://" + folder + "/none.wav", HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)},
      {folder + "/none/x.wav", HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND)},
      {"file://" + folder + "/x.ogg", VFW_E_UNKNOWN_FILE_TYPE},
      {"file://" + folder + "/empty.wav", VFW_E_UNKNOWN_FILE_TYPE},
      {"gopher://host/a.wav", VFW_E_CANNOT_LOAD_SOURCE_FILTER},
  };
  for (const Case& c : cases) {
    Graph graph;
    EXPECT_EQ(graph.Render(c.url), c.result) << c.url;
  }
  Graph graph;
  EXPECT_EQ(graph.builder->RenderFile(nullptr, nullptr), E_POINTER);
}

// The end of the stream is queued as EC_COMPLETE and announced by a message
// posted from GStreamer's thread to the notify window's thread.
TEST(FilterGraph, TheEndIsAnEventPostedToTheNotifyWindow) {
  ASSERT_TRUE(TwlTestSetSoundSink("null"));
  const std::string folder = twltest::MakeTempDir("graph");
  const std::string path = twltest::SoxTone(folder, "short \xC3\xA9t\xC3\xA9.wav", "0.3", "440");
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.lpszClassName = "graph notify test";
  RegisterClassA(&windowClass);
  HWND window = CreateWindowExA(0, windowClass.lpszClassName, "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);

  Graph graph;
  auto* events = graph.Query<IMediaEventEx>(IID_IMediaEventEx);
  auto* control = graph.Query<IMediaControl>(IID_IMediaControl);
  auto* position = graph.Query<IMediaPosition>(IID_IMediaPosition);
  ASSERT_EQ(events->SetNotifyWindow(reinterpret_cast<OAHWND>(window), kNotify, 42), S_OK);
  ASSERT_EQ(graph.Render("file://" + path), S_OK);
  REFTIME length = 0;
  EXPECT_EQ(position->get_Duration(&length), S_OK);
  EXPECT_NEAR(length, 0.3, 0.001);
  LONG code = -1;
  LONG_PTR param1 = -1;
  LONG_PTR param2 = -1;
  EXPECT_EQ(events->GetEvent(&code, &param1, &param2, 0), E_ABORT) << "nothing before it runs";
  ASSERT_TRUE(SUCCEEDED(control->Run()));
  MSG msg{};
  ASSERT_GT(GetMessageA(&msg, window, kNotify, kNotify), 0);
  EXPECT_EQ(msg.lParam, 42);
  ASSERT_EQ(events->GetEvent(&code, &param1, &param2, 0), S_OK);
  EXPECT_EQ(code, EC_COMPLETE);
  EXPECT_EQ(param1, S_OK);
  EXPECT_EQ(events->FreeEventParams(code, param1, param2), S_OK);
  EXPECT_EQ(events->GetEvent(&code, &param1, &param2, 0), E_ABORT);
  for (IUnknown* object : {static_cast<IUnknown*>(events), static_cast<IUnknown*>(control),
                           static_cast<IUnknown*>(position)})
    object->Release();
  DestroyWindow(window);
}

TEST(FilterGraph, ASoundOnlyGraphHasNoPictureAndItsWindowCallsAreHarmless) {
  ASSERT_TRUE(TwlTestSetSoundSink("null"));
  const std::string path = twltest::SoxTone(twltest::MakeTempDir("graph"), "a.wav", "0.2", "440");
  Graph graph;
  ASSERT_EQ(graph.Render("file://" + path), S_OK);
  auto* video = graph.Query<IBasicVideo>(IID_IBasicVideo);
  LONG width = 0;
  LONG height = 0;
  const HRESULT size = video->GetVideoSize(&width, &height);
  EXPECT_TRUE(FAILED(size));
  EXPECT_NE(size, VFW_E_NOT_CONNECTED) << "not connected would leave the start pending";
  video->Release();
  auto* window = graph.Query<IVideoWindow>(IID_IVideoWindow);
  LONG visible = 1;
  EXPECT_EQ(window->put_AutoShow(0), S_OK);
  EXPECT_EQ(window->put_Visible(0), S_OK);
  EXPECT_EQ(window->get_Visible(&visible), S_OK);
  EXPECT_EQ(visible, 0);
  EXPECT_EQ(window->put_Owner(0), S_OK);
  window->Release();
  auto* audio = graph.Query<IBasicAudio>(IID_IBasicAudio);
  EXPECT_EQ(audio->put_Volume(1), E_INVALIDARG);
  EXPECT_EQ(audio->put_Volume(-10001), E_INVALIDARG);
  EXPECT_EQ(audio->put_Volume(-10000), S_OK);
  audio->Release();
}

TEST(FilterGraph, HiddenLibraryOffersNoGraph) {
  TwlTestHideSystemLibrary("quartz.dll", TRUE);
  IGraphBuilder* builder = nullptr;
  EXPECT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                             reinterpret_cast<void**>(&builder)),
            REGDB_E_CLASSNOTREG);
  EXPECT_EQ(builder, nullptr);
  EXPECT_EQ(LoadLibraryA("quartz.dll"), nullptr);
  TwlTestHideSystemLibrary("quartz.dll", FALSE);
}

}  // namespace
