#include "ControlsFixture.h"

std::vector<Heard> ControlsTest::heard;

namespace {

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND) {
    ControlsTest_Record(Heard{WM_COMMAND, HIWORD(wParam), LOWORD(wParam)});
    return 0;
  }
  if (message == WM_NOTIFY) {
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (header->code == NM_CUSTOMDRAW) {
      auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(lParam);
      if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
      if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT && draw->nmcd.lItemlParam == 1)
        draw->clrText = RGB(0xE2, 0x85, 0x07);
      return CDRF_DODEFAULT;
    }
    Heard h{WM_NOTIFY, header->code, static_cast<int>(header->idFrom)};
    if (header->code == LVN_ITEMCHANGED || header->code == LVN_ITEMCHANGING) {
      auto* change = reinterpret_cast<NMLISTVIEW*>(lParam);
      h.item = change->iItem;
      h.oldState = change->uOldState;
      h.newState = change->uNewState;
    }
    if (header->code == NM_CLICK || header->code == NM_DBLCLK)
      h.item = reinterpret_cast<NMITEMACTIVATE*>(lParam)->iItem;
    ControlsTest_Record(h);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

void ControlsTest_Record(const Heard& h) { ControlsTest::heard.push_back(h); }

void ControlsTest::SetUp() {
  heard.clear();
  WNDCLASSA cls{};
  cls.lpfnWndProc = HostProc;
  cls.lpszClassName = "ControlsHost";
  cls.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(COLOR_BTNFACE + 1));
  RegisterClassA(&cls);
  host = CreateWindowExA(0, "ControlsHost", "Controls", WS_POPUP | WS_VISIBLE, kLeft, kTop, 400, 260, nullptr,
                         nullptr, nullptr, nullptr);
  ASSERT_NE(host, nullptr);
  SetForegroundWindow(host);
  Pump();
}

HWND ControlsTest::Make(const char* cls, const char* text, DWORD style, int x, int y, int w, int h, int id,
                        DWORD exStyle) {
  HWND made = CreateWindowExA(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, host,
                              reinterpret_cast<HMENU>(static_cast<uintptr_t>(id)), nullptr, nullptr);
  EXPECT_NE(made, nullptr) << cls;
  return made;
}

void ControlsTest::Pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

void ControlsTest::ClickAt(HWND control, int x, int y) {
  POINT p{x, y};
  ClientToScreen(control, &p);
  ASSERT_TRUE(TwlTestClick(p.x, p.y));
  Pump();
}
