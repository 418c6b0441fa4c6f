// Message boxes, headless: a box is modal to its owner (the owner's
// top-level window is disabled while it is up) and is answered at once by
// the next scripted answer, else by its default button. Its text goes to
// stderr so nothing waits for a user who is not there.
//
// A box asked for by the crash filter runs inside a signal handler on the
// crashing thread, which may hold any lock or be inside malloc: its line
// goes to stderr with write(2) alone, it takes no scripted answer and is
// not recorded, and it answers its default button.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "ScreenEvents.h"
#include "platform/crash/CrashHandler.h"
#include "platform/kernel/Headless.h"
#include "twlwin/drawnbox.h"
#include "twlwin/messagebox.h"
#include "twlwin/testing_user.h"
#include "twlwin/windowing.h"

namespace {

struct BoxRecord {
  std::string text;
  std::string caption;
  UINT type;
  int answer;
};

struct Script {
  std::mutex lock;
  std::deque<int> answers;
  std::vector<BoxRecord> boxes;
};

Script& TheScript() {
  static auto* script = new Script;
  return *script;
}

UINT Kind(UINT type) {
  UINT kind = type & MB_TYPEMASK;
  return kind > MB_RETRYCANCEL ? MB_OK : kind;
}

int DefaultAnswer(UINT type) {
  static const int firstButton[] = {IDOK, IDOK, IDABORT, IDYES, IDYES, IDRETRY};
  static const int secondButton[] = {IDOK, IDCANCEL, IDRETRY, IDNO, IDNO, IDCANCEL};
  static const int thirdButton[] = {IDOK, IDCANCEL, IDIGNORE, IDCANCEL, IDNO, IDCANCEL};
  UINT kind = Kind(type);
  switch (type & MB_DEFMASK) {
    case MB_DEFBUTTON2: return secondButton[kind];
    case MB_DEFBUTTON3: return thirdButton[kind];
    default: return firstButton[kind];
  }
}

bool HasButton(UINT type, int answer) {
  switch (Kind(type)) {
    case MB_OK: return answer == IDOK;
    case MB_OKCANCEL: return answer == IDOK || answer == IDCANCEL;
    case MB_ABORTRETRYIGNORE: return answer == IDABORT || answer == IDRETRY || answer == IDIGNORE;
    case MB_YESNOCANCEL: return answer == IDYES || answer == IDNO || answer == IDCANCEL;
    case MB_YESNO: return answer == IDYES || answer == IDNO;
    case MB_RETRYCANCEL: return answer == IDRETRY || answer == IDCANCEL;
  }
  return false;
}

int Answer(UINT type, const char* caption) {
  Script& script = TheScript();
  std::lock_guard guard(script.lock);
  if (script.answers.empty()) return DefaultAnswer(type);
  int scripted = script.answers.front();
  script.answers.pop_front();
  if (HasButton(type, scripted)) return scripted;
  std::fprintf(stderr, "[message box] %s: scripted answer %d is not a button of this box; default taken\n", caption,
               scripted);
  return DefaultAnswer(type);
}

void Copy(const std::string& from, LPSTR to, DWORD size) {
  if (!to || size == 0) return;
  size_t n = from.size() < size - 1 ? from.size() : size - 1;
  std::memcpy(to, from.data(), n);
  to[n] = '\0';
}

void WriteAll(const char* text) {
  size_t left = std::strlen(text);
  while (left > 0) {
    const ssize_t written = write(STDERR_FILENO, text, left);
    if (written <= 0) return;
    text += written;
    left -= static_cast<size_t>(written);
  }
}

bool OnCrashingThread() {
  const pid_t crashing = twl::crash::CrashingThread();
  return crashing != 0 && crashing == twl::crash::CurrentThreadId();
}

int CrashMessageBox(const char* text, const char* caption, UINT type) {
  WriteAll("[message box] ");
  WriteAll(caption);
  WriteAll(": ");
  WriteAll(text);
  WriteAll("\n");
  return DefaultAnswer(type);
}

}  // namespace

TWLAPI int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  const char* shownCaption = caption ? caption : "Error";
  const char* shownText = text ? text : "";
  if (OnCrashingThread()) return CrashMessageBox(shownText, shownCaption, type);
  std::fprintf(stderr, "[message box] %s: %s\n", shownCaption, shownText);
  // Modal: the owner takes no input while the box is up.
  HWND top = owner ? GetAncestor(owner, GA_ROOT) : nullptr;
  const bool disabledHere = top && !EnableWindow(top, FALSE);
  int answer = Answer(type, shownCaption);
  {
    Script& script = TheScript();
    std::lock_guard guard(script.lock);
    script.boxes.push_back(BoxRecord{shownText, shownCaption, type, answer});
  }
  if (disabledHere) {
    EnableWindow(top, TRUE);
    // The owner is active again once the box is gone (when it is this
    // thread's; another thread's owner keeps its own activation).
    if (IsWindowVisible(top)) SetActiveWindow(top);
  }
  return answer;
}

TWLAPI BOOL TwlCanUserAnswer(void) { return twl::HasDesktop() && twl::user::AnyScreenListener() ? TRUE : FALSE; }

TWLAPI BOOL TwlAnswerUnseenBox(LPCSTR text, LPCSTR caption, UINT type, const int* answers, int count,
                               int defaultAnswer, int* answer) {
  if (TwlCanUserAnswer()) return FALSE;
  const char* shownCaption = caption ? caption : "Error";
  const char* shownText = text ? text : "";
  std::fprintf(stderr, "[message box] %s: %s\n", shownCaption, shownText);
  Script& script = TheScript();
  std::lock_guard guard(script.lock);
  int chosen = defaultAnswer;
  if (!script.answers.empty()) {
    const int scripted = script.answers.front();
    script.answers.pop_front();
    const bool known = answers && count > 0 && std::find(answers, answers + count, scripted) != answers + count;
    if (known) chosen = scripted;
    else std::fprintf(stderr, "[message box] %s: scripted answer %d is not a button of this box; default taken\n",
                      shownCaption, scripted);
  }
  script.boxes.push_back(BoxRecord{shownText, shownCaption, type, chosen});
  if (answer) *answer = chosen;
  return TRUE;
}

TWLAPI void TwlTestPushMessageBoxAnswer(int answer) {
  Script& script = TheScript();
  std::lock_guard guard(script.lock);
  script.answers.push_back(answer);
}

TWLAPI void TwlTestResetMessageBoxes() {
  Script& script = TheScript();
  std::lock_guard guard(script.lock);
  script.answers.clear();
  script.boxes.clear();
}

TWLAPI int TwlTestMessageBoxCount() {
  Script& script = TheScript();
  std::lock_guard guard(script.lock);
  return static_cast<int>(script.boxes.size());
}

TWLAPI BOOL TwlTestGetMessageBox(int index, LPSTR text, DWORD textSize, LPSTR caption, DWORD captionSize, UINT* type,
                                 int* answer) {
  Script& script = TheScript();
  std::lock_guard guard(script.lock);
  if (index < 0 || static_cast<size_t>(index) >= script.boxes.size()) return FALSE;
  const BoxRecord& box = script.boxes[static_cast<size_t>(index)];
  Copy(box.text, text, textSize);
  Copy(box.caption, caption, captionSize);
  if (type) *type = box.type;
  if (answer) *answer = box.answer;
  return TRUE;
}
