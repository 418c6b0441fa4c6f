// The host API table as a whole and its frame slots: version, thread
// errors, log, heap and strings, windows, folders and the product name.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "DiskFileSupport.h"
#include "foundation/errors/ThreadErrorState.h"
#include "pluginhost/hostapi/HostApi.h"
#include "pluginhost/hostapi/HostApiTesting.h"
#include "pluginhost/hostapi/HostEnvironment.h"
#include "support/RecordingLogFront.h"

namespace {

using diskfiletest::Host;

// A text from the host heap, freed here.
std::string Take(char* text) {
  std::string copy = text ? text : "(null)";
  Host().HOST_Free(text);
  return copy;
}

void CallLogWriteParams(DWORD category, const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  Host().HOST_LogWriteParams(format, &arguments, category);
  va_end(arguments);
}

// The slot a table member sits in.
template <class Slot>
size_t SlotOf(Slot HostApiTable::*member) {
  const HostApiTable& table = Host();
  const auto offset = reinterpret_cast<const char*>(&(table.*member)) - reinterpret_cast<const char*>(&table);
  return static_cast<size_t>(offset) / sizeof(void*);
}

TEST(HostApiTable, AServiceNotOfferedRefusesEveryCallAndNoOfferedServiceIsOne) {
  const auto* slots = reinterpret_cast<const HOST_ReservedSlot*>(&Host());
  for (size_t slot = 0; slot < HOST_API_SLOT_COUNT; ++slot) EXPECT_NE(slots[slot], nullptr) << slot;
  const std::vector<size_t> placeholders = GetHostApiPlaceholderSlots();
  ASSERT_FALSE(placeholders.empty());
  for (size_t slot : placeholders) {
    SCOPED_TRACE(slot);
    Host().HOST_SetError(0, 0, nullptr);
    EXPECT_EQ(slots[slot](), 0u);
    EXPECT_EQ(Host().HOST_GetMiscErrorCode(), 1u) << "refused as an invalid parameter";
  }
  // The services this file's tests use are real ones.
  const size_t offered[] = {
      SlotOf(&HostApiTable::HOST_GetPlayerVersion),
      SlotOf(&HostApiTable::HOST_GetPlayerName),
      SlotOf(&HostApiTable::HOST_SetError),
      SlotOf(&HostApiTable::HOST_GetErrorType),
      SlotOf(&HostApiTable::HOST_GetErrorCode),
      SlotOf(&HostApiTable::HOST_GetErrorText),
      SlotOf(&HostApiTable::HOST_SetErrorText),
      SlotOf(&HostApiTable::HOST_ExtendErrorText),
      SlotOf(&HostApiTable::HOST_SaveError),
      SlotOf(&HostApiTable::HOST_RestoreError),
      SlotOf(&HostApiTable::HOST_FreeError),
      SlotOf(&HostApiTable::HOST_SetDirectDrawError),
      SlotOf(&HostApiTable::HOST_SetDirectSoundError),
      SlotOf(&HostApiTable::HOST_SetStreamError),
      SlotOf(&HostApiTable::HOST_SetWinMMError),
      SlotOf(&HostApiTable::HOST_SetMCIError),
      SlotOf(&HostApiTable::HOST_SetMiscError),
      SlotOf(&HostApiTable::HOST_GetMiscErrorCode),
      SlotOf(&HostApiTable::HOST_Alloc),
      SlotOf(&HostApiTable::HOST_AllocString),
      SlotOf(&HostApiTable::HOST_Free),
      SlotOf(&HostApiTable::HOST_GetFolder),
      SlotOf(&HostApiTable::HOST_GetWindowHandle),
      SlotOf(&HostApiTable::HOST_GetControlFont),
      SlotOf(&HostApiTable::HOST_MessageBox),
      SlotOf(&HostApiTable::HOST_LogWrite),
      SlotOf(&HostApiTable::HOST_LogWriteParams),
      SlotOf(&HostApiTable::HOST_LogError),
      SlotOf(&HostApiTable::HOST_LogWriteTime),
  };
  for (size_t slot : offered) EXPECT_FALSE(IsHostApiPlaceholder(slot)) << slot;
  EXPECT_FALSE(IsHostApiPlaceholder(HOST_API_SLOT_COUNT)) << "beyond the table";
}

TEST(HostApiTable, EachErrorFamilyIsSetWithItsTextAndReadOnlyByItsOwnGetter) {
  struct Row {
    void (*set)(DWORD);
    char* (*text)(DWORD);
    DWORD code;
    DWORD type;
    const char* expected;  // null: only the same text as the text slot
  };
  const HostApiTable& h = Host();
  const Row rows[] = {
      {h.HOST_SetDirectDrawError, h.HOST_GetDirectDrawErrorText, 0x8876024E, 2,
       "The display is currently in an unsupported mode."},
      {h.HOST_SetDirectSoundError, h.HOST_GetDirectSoundErrorText, 0x88780096, 3,
       "The buffer memory has been lost and must be restored."},
      {h.HOST_SetDirectSoundError, h.HOST_GetDirectSoundErrorText, 0x12345678, 3, "An unknown error occurred."},
      {h.HOST_SetStreamError, h.HOST_GetStreamErrorText, 10, 4, nullptr},
      {h.HOST_SetWinMMError, h.HOST_GetWinMMErrorText, 7, 5, nullptr},
      {h.HOST_SetMCIError, h.HOST_GetMCIErrorText, 0x113, 6, nullptr},
      {h.HOST_SetMiscError, h.HOST_GetMiscErrorText, 4, 7,
       "the system is busy and cannot execute the command at the moment"},
  };
  DWORD (*const codeOf[])
  () = {h.HOST_GetDirectDrawErrorCode, h.HOST_GetDirectSoundErrorCode, h.HOST_GetStreamErrorCode,
        h.HOST_GetWinMMErrorCode,      h.HOST_GetMCIErrorCode,         h.HOST_GetMiscErrorCode};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.type);
    row.set(row.code);
    EXPECT_EQ(h.HOST_GetErrorType(), row.type);
    EXPECT_EQ(h.HOST_GetErrorCode(), row.code);
    const std::string text = Take(row.text(row.code));
    EXPECT_STREQ(h.HOST_GetErrorText(), text.c_str());
    if (row.expected) {
      EXPECT_EQ(text, row.expected);
    }
    for (DWORD type = 2; type <= 7; ++type) EXPECT_EQ(codeOf[type - 2](), type == row.type ? row.code : 0u);
  }
}

TEST(HostApiTable, ErrorTextsAreExtendedSavedAndRestored) {
  const HostApiTable& h = Host();
  h.HOST_SetError(1, 0, nullptr);
  h.HOST_ExtendErrorText(nullptr, nullptr);
  ASSERT_NE(h.HOST_GetErrorText(), nullptr);
  EXPECT_STREQ(h.HOST_GetErrorText(), "") << "no text and nothing around it: the empty text";

  h.HOST_SetErrorText("disk full");
  h.HOST_ExtendErrorText("saving: ", " (try again)");
  EXPECT_STREQ(h.HOST_GetErrorText(), "saving: disk full (try again)");
  EXPECT_EQ(h.HOST_GetErrorType(), 1u);

  h.HOST_SetStreamError(12);
  HostSavedError* saved = h.HOST_SaveError();
  ASSERT_NE(saved, nullptr);
  const std::string text = h.HOST_GetErrorText();
  h.HOST_SetMiscError(3);
  h.HOST_RestoreError(saved);
  h.HOST_FreeError(saved);
  EXPECT_EQ(h.HOST_GetErrorType(), 4u);
  EXPECT_EQ(h.HOST_GetStreamErrorCode(), 12u);
  EXPECT_EQ(h.HOST_GetErrorText(), text) << "the thread keeps its own copy";

  // Error slots never fail: null records do nothing.
  h.HOST_RestoreError(nullptr);
  h.HOST_FreeError(nullptr);
  EXPECT_EQ(h.HOST_GetErrorType(), 4u);
  EXPECT_EQ(h.HOST_GetPlayerVersion(), 0x1004Bu);
}

TEST(HostApiTable, HeapAndStringSlotsPairUpAndRefuseANullText) {
  const HostApiTable& h = Host();
  const long before = GetLiveHostBlockCount();
  void* block = h.HOST_Alloc(100);
  ASSERT_NE(block, nullptr);
  std::memset(block, 1, 100);
  char* copy = h.HOST_AllocString("abc");
  EXPECT_STREQ(copy, "abc");
  EXPECT_EQ(GetLiveHostBlockCount(), before + 2);
  h.HOST_Free(block);
  h.HOST_Free(copy);
  h.HOST_Free(nullptr);
  EXPECT_EQ(GetLiveHostBlockCount(), before);

  h.HOST_SetError(0, 0, nullptr);
  EXPECT_EQ(h.HOST_AllocString(nullptr), nullptr);
  EXPECT_EQ(h.HOST_GetMiscErrorCode(), 1u);
  EXPECT_EQ(Take(h.HOST_GetPlayerName()), "Velbrook Tunewell");
}

TEST(HostApiTable, FoldersWindowsAndFontAnswerByIndex) {
  const HostApiTable& h = Host();
  const std::string program = h.HOST_GetFolder(0);
  ASSERT_FALSE(program.empty());
  EXPECT_EQ(program.back(), '/');
  EXPECT_EQ(std::string(h.HOST_GetFolder(1)), program + "PlugIns/");
  EXPECT_EQ(std::string(h.HOST_GetFolder(2)), program + "Skins/");
  EXPECT_EQ(h.HOST_GetFolder(0), h.HOST_GetFolder(0)) << "the host's own text, the same every time";

  h.HOST_SetError(0, 0, nullptr);
  EXPECT_EQ(h.HOST_GetFolder(3), nullptr);
  EXPECT_EQ(h.HOST_GetMiscErrorCode(), 1u);

  h.HOST_SetStreamError(8);
  EXPECT_EQ(h.HOST_GetWindowHandle(7), nullptr);
  EXPECT_EQ(h.HOST_GetStreamErrorCode(), 8u) << "a bad window index leaves the error alone";

  EXPECT_NE(h.HOST_GetControlFont(0), nullptr);
  EXPECT_EQ(h.HOST_GetControlFont(1), nullptr);
  EXPECT_EQ(h.HOST_GetMiscErrorCode(), 1u);
}

// The environment the application core installs.
class TestEnvironment : public CHostEnvironment {
 public:
  HWND GetOwnerWindow() override { return reinterpret_cast<HWND>(0x1234); }
  HWND GetCurrentMainWindow() override { return reinterpret_cast<HWND>(0x5678); }
  int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT style) override {
    shown = std::string(text) + "|" + caption + "|" + std::to_string(style);
    return owner == GetOwnerWindow() ? IDYES : IDNO;
  }
  std::string shown;
};

TEST(HostApiTable, WindowsAndMessageBoxesComeFromTheInstalledEnvironment) {
  TestEnvironment environment;
  SetHostEnvironment(&environment);
  const HostApiTable& h = Host();
  EXPECT_EQ(h.HOST_GetWindowHandle(0), reinterpret_cast<HWND>(0x1234));
  EXPECT_EQ(h.HOST_GetWindowHandle(1), reinterpret_cast<HWND>(0x5678));
  EXPECT_EQ(h.HOST_MessageBox(h.HOST_GetWindowHandle(0), "Really?", "Question", MB_YESNO), IDYES);
  EXPECT_EQ(environment.shown, "Really?|Question|4");
  SetHostEnvironment(nullptr);
}

TEST(HostApiTable, LogSlotsWriteThroughTheLogFrontWithTheirCategory) {
  twltest::RecordingLogFront log;
  const HostApiTable& h = Host();
  h.HOST_LogWrite("100% done\n", 0x101);
  CallLogWriteParams(0x10000, "%s has %d items\n", "list", 3);
  h.HOST_SetErrorText("it broke");
  h.HOST_LogError("while saving", 0x100);
  h.HOST_LogWriteTime();
  const auto entries = log.Entries();
  ASSERT_EQ(entries.size(), 4u);
  // The text is written unchanged; an error category whose low byte is
  // not 0 is an error line the front never pops the log window up for.
  EXPECT_EQ(entries[0].text, "100% done\n");
  EXPECT_EQ(entries[0].category, 0x101u);
  EXPECT_EQ(GetLogSeverity(entries[0].category), 2u);
  EXPECT_EQ(entries[1].text, "list has 3 items\n");
  EXPECT_EQ(entries[1].category, 0x10000u);
  EXPECT_EQ(entries[2].text, "while saving\n    it broke\n");
  EXPECT_EQ(entries[3].category, 0u);
  EXPECT_EQ(entries[3].text.size(), 8u) << entries[3].text;  // hh:mm:ss

  h.HOST_SetError(0, 0, nullptr);
  h.HOST_LogWrite(nullptr, 0);
  EXPECT_EQ(h.HOST_GetMiscErrorCode(), 1u);
  EXPECT_EQ(log.Entries().size(), 4u);
}

}  // namespace
