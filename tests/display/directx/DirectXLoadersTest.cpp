// The DirectDraw and DirectSound loaders: the entry points of the
// stand-ins, the error of each missing part under its key, and that a
// failed load leaves nothing behind, so that the next one starts over.
#include <gtest/gtest.h>

#include <span>
#include <string>

#include "display/directx/DirectDrawLoader.h"
#include "display/directx/DirectSoundLoader.h"
#include "foundation/kernel/Error.h"
#include "foundation/kernel/Localizer.h"
#include "twlwin/testing.h"

namespace {

struct Failure {
  std::string caption;
  std::string text;
};

// Runs the load; the error it throws, or empty texts.
template <typename Loader>
Failure LoadOnce(Loader& loader) {
  try {
    loader.Load();
  } catch (CError* error) {
    Failure failure{error->GetCaption().c_str(), error->GetText().c_str()};
    DisposeError(error);
    return failure;
  }
  return {};
}

struct MissingRow {
  const char* library;
  const char* hiddenExport;  // null: the whole library is missing
  const char* key;
  const char* text;
};

const MissingRow kDirectDrawRows[] = {
    {"ddraw.dll", nullptr, "CDirectDrawLoader.NoDirectDrawDLL", "Unable to load 'ddraw.dll'."},
    {"ddraw.dll", "DirectDrawCreate", "CDirectDrawLoader.NoDirectDrawCreate",
     "Unable to find 'DirectDrawCreate' function in ddraw.dll."},
    {"ddraw.dll", "DirectDrawCreateClipper", "CDirectDrawLoader.NoDirectDrawCreateClipper",
     "Unable to find 'DirectDrawCreateClipper' function in ddraw.dll."},
    {"ddraw.dll", "DirectDrawEnumerateA", "CDirectDrawLoader.NoDirectDrawEnumerate",
     "Unable to find 'DirectDrawEnumerate' function in ddraw.dll."},
};

const MissingRow kDirectSoundRows[] = {
    {"dsound.dll", nullptr, "CDirectDounsLoader.NoDirectSound", "Unable to load 'dsound.dll'."},
    {"dsound.dll", "DirectSoundCreate", "CDirectSoundLoader.NoDirectSoundCreate",
     "Unable to find 'DirectSoundCreate' function in dsound.dll."},
    {"dsound.dll", "DirectSoundEnumerateA", "CDirectSoundLoader.NoDirectSoundEnumerate",
     "Unable to find 'DirectSoundEnumerate' function in dsound.dll."},
};

void Hide(const MissingRow& row, BOOL hidden) {
  if (row.hiddenExport)
    TwlTestHideSystemExport(row.library, row.hiddenExport, hidden);
  else
    TwlTestHideSystemLibrary(row.library, hidden);
}

// Each missing part fails the load with its text; once it is back, the
// next load starts over and takes every entry point.
template <typename Loader>
void CheckMissingParts(std::span<const MissingRow> rows, bool translated) {
  for (const MissingRow& row : rows) {
    SCOPED_TRACE(std::string(row.library) + " " + (row.hiddenExport ? row.hiddenExport : "(library)"));
    Loader loader;
    Hide(row, TRUE);
    const Failure failure = LoadOnce(loader);
    Hide(row, FALSE);
    EXPECT_EQ(failure.caption, translated ? "caption" : "Fatal error");
    EXPECT_EQ(failure.text, translated ? row.key : row.text);
    EXPECT_FALSE(loader.IsLoaded());
    EXPECT_EQ(LoadOnce(loader).text, "") << "loaded again";
    EXPECT_TRUE(loader.IsLoaded());
  }
}

TEST(DirectXLoaders, TheDirectDrawLoaderTakesItsThreeEntryPointsOnce) {
  CDirectDrawLoader loader;
  EXPECT_EQ(loader.GetDirectDrawCreate(), nullptr);
  ASSERT_EQ(LoadOnce(loader).text, "");
  ASSERT_NE(loader.GetDirectDrawCreate(), nullptr);
  ASSERT_NE(loader.GetDirectDrawCreateClipper(), nullptr);
  ASSERT_NE(loader.GetDirectDrawEnumerate(), nullptr);

  int devices = 0;
  EXPECT_EQ(loader.GetDirectDrawEnumerate()(
                [](GUID*, LPSTR, LPSTR, LPVOID context) -> BOOL {
                  ++*static_cast<int*>(context);
                  return TRUE;
                },
                &devices),
            DD_OK);
  EXPECT_EQ(devices, 1);
  LPDIRECTDRAW directDraw = nullptr;
  ASSERT_EQ(loader.GetDirectDrawCreate()(nullptr, &directDraw, nullptr), DD_OK);
  directDraw->Release();
  LPDIRECTDRAWCLIPPER clipper = nullptr;
  ASSERT_EQ(loader.GetDirectDrawCreateClipper()(0, &clipper, nullptr), DD_OK);
  clipper->Release();

  TwlTestHideSystemLibrary("ddraw.dll", TRUE);
  EXPECT_EQ(LoadOnce(loader).text, "") << "loaded once: the library is not asked again";
  TwlTestHideSystemLibrary("ddraw.dll", FALSE);
  EXPECT_EQ(&GetDirectDrawLoader(), &GetDirectDrawLoader());
}

TEST(DirectXLoaders, TheDirectSoundLoaderTakesBothEntryPointsOnce) {
  CDirectSoundLoader loader;
  EXPECT_EQ(loader.GetDirectSoundCreate(), nullptr);
  ASSERT_EQ(LoadOnce(loader).text, "");
  ASSERT_NE(loader.GetDirectSoundCreate(), nullptr);
  ASSERT_NE(loader.GetDirectSoundEnumerate(), nullptr);

  int devices = 0;
  EXPECT_EQ(loader.GetDirectSoundEnumerate()(
                [](LPGUID, LPCSTR, LPCSTR, LPVOID context) -> BOOL {
                  ++*static_cast<int*>(context);
                  return TRUE;
                },
                &devices),
            DS_OK);
  EXPECT_GE(devices, 1);

  TwlTestHideSystemLibrary("dsound.dll", TRUE);
  EXPECT_EQ(LoadOnce(loader).text, "") << "loaded once: the library is not asked again";
  TwlTestHideSystemLibrary("dsound.dll", FALSE);
  EXPECT_EQ(&GetDirectSoundLoader(), &GetDirectSoundLoader());
}

TEST(DirectXLoaders, AMissingPartOfDirectDrawFailsWithItsTextAndIsForgotten) {
  CheckMissingParts<CDirectDrawLoader>(kDirectDrawRows, false);
}

TEST(DirectXLoaders, AMissingPartOfDirectSoundFailsWithItsTextAndIsForgotten) {
  CheckMissingParts<CDirectSoundLoader>(kDirectSoundRows, false);
}

TEST(DirectXLoaders, TheErrorsAreTranslatedUnderTheirKeys) {
  GetLocalizer().AddString("CDirectDrawLoader.FatalErrorCaption", "caption");
  GetLocalizer().AddString("CDirectSoundLoader.FatalErrorCaption", "caption");
  for (const MissingRow& row : kDirectDrawRows) GetLocalizer().AddString(row.key, row.key);
  for (const MissingRow& row : kDirectSoundRows) GetLocalizer().AddString(row.key, row.key);
  CheckMissingParts<CDirectDrawLoader>(kDirectDrawRows, true);
  CheckMissingParts<CDirectSoundLoader>(kDirectSoundRows, true);
}

}  // namespace
