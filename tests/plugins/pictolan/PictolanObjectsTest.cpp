// Pictolan through the plug-in interface, as the host sees it: its
// versions and objects, the icon they report, the "Image files" filter and
// the identifier, and PLUGIN_Init when the host runs out of memory.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "PictolanHost.h"
#include "pluginhost/hostapi/HostApi.h"

namespace {

using pictolantest::PictolanModule;
using pictolantest::Recording;
using pictolantest::TakeHostText;

constexpr const char* kImageFilterText = "Image files (*.bmp,*.gif,*.jpg,*.jpeg,*.png,*.tiff,*.tif)";
PLUGIN_HANDLE const kFilterCaller = reinterpret_cast<PLUGIN_HANDLE>(0x5150);
PLUGIN_HANDLE const kIdentifierCaller = reinterpret_cast<PLUGIN_HANDLE>(0x4140);

DWORD MiscErrorNow() {
  const HostApiTable* host = GetHostApiTable();
  return host->HOST_GetErrorType() == HOST_ERROR_MISC ? host->HOST_GetMiscErrorCode() : 0xFFFFFFFFu;
}

TEST(PictolanObjects, VersionsObjectsAndTheirIconAreThoseOfAVersion2PlugIn) {
  PictolanModule module;
  ASSERT_NE(module.Main(), nullptr);
  PlugInVersionInfo version{};
  module.Main()->PLUGIN_GetVersion(&version);
  EXPECT_EQ(version.requiredPlayerVersion, 0x10046u);
  EXPECT_EQ(version.apiVersion, 0x10046u);
  EXPECT_EQ(module.Main()->PLUGIN_GetObject, nullptr) << "no version-1 object access";
  ASSERT_TRUE(module.Init());
  EXPECT_EQ(Recording().calls, std::vector<std::string>{"add icon given"}) << "group icon 101 of the module";

  PLUGIN_CONTEXT identifierContext = 0;
  PLUGIN_CONTEXT filterContext = 0;
  const auto* identifier = module.Object<FileIdentifierInterface2>(PLUGINOBJ_FILEIDENTIFIER, &identifierContext);
  const auto* filter = module.Object<FileFilterInterface2>(PLUGINOBJ_FILEFILTER, &filterContext);
  ASSERT_NE(identifier, nullptr);
  ASSERT_NE(filter, nullptr);
  EXPECT_NE(identifierContext, filterContext);
  PLUGIN_CONTEXT none = 0;
  for (DWORD kind = 0; kind < PLUGINOBJ_KIND_COUNT + 3; ++kind) {
    EXPECT_EQ(module.Object<void>(kind, &none, 1), nullptr) << "index 1 of kind " << kind;
    if (kind != PLUGINOBJ_FILEIDENTIFIER && kind != PLUGINOBJ_FILEFILTER && kind != PLUGINOBJ_PLAYER) {
      EXPECT_EQ(module.Object<void>(kind, &none), nullptr) << "kind " << kind;
    }
  }

  const HostApiTable& host = *module.Table();
  EXPECT_EQ(TakeHostText(host, identifier->head.OBJECT_GetName(identifierContext)), "Velbrook Pictolan Add-On");
  EXPECT_EQ(TakeHostText(host, identifier->head.OBJECT_GetId(identifierContext)), "");
  EXPECT_EQ(TakeHostText(host, identifier->head.OBJECT_GetDescription(identifierContext)),
            "Identifies image files that can be played with Pictolan.");
  EXPECT_EQ(TakeHostText(host, filter->head.OBJECT_GetName(filterContext)), "Velbrook Pictolan Add-On");
  EXPECT_EQ(TakeHostText(host, filter->head.OBJECT_GetDescription(filterContext)),
            "Checks if a given file path represents an image file that can be played with Pictolan.");
  PlugInVersionInfo objectVersion{};
  filter->head.OBJECT_GetVersion(filterContext, &objectVersion);
  EXPECT_EQ(objectVersion.requiredPlayerVersion, 0x10046u);
  EXPECT_EQ(objectVersion.apiVersion, 0x10046u);

  EXPECT_EQ(identifier->head.OBJECT_GetIconIndex(identifierContext), -1) << "before OBJECT_Init";
  EXPECT_EQ(identifier->head.OBJECT_Init(identifierContext, kIdentifierCaller), 1);
  EXPECT_EQ(filter->head.OBJECT_Init(filterContext, kFilterCaller), 1);
  EXPECT_EQ(identifier->head.OBJECT_GetIconIndex(identifierContext), 7);
  EXPECT_EQ(filter->head.OBJECT_GetIconIndex(filterContext), 7);
  EXPECT_EQ(filter->head.OBJECT_HasConfiguration(filterContext), 0);
  EXPECT_EQ(filter->head.OBJECT_HasInfo(filterContext), 0);
  EXPECT_EQ(filter->head.OBJECT_RestoreSurfaces(filterContext), 1);
  identifier->head.OBJECT_Exit(identifierContext);
  filter->head.OBJECT_Exit(filterContext);
  EXPECT_EQ(module.Main()->PLUGIN_Exit(), 1);
  EXPECT_TRUE(Recording().live.empty()) << "every text made was freed";
  EXPECT_EQ(Recording().strayFrees, 0);
}

TEST(PictolanObjects, TheFilterOffersImageFilesAndMarksNamesByTheirLastExtension) {
  PictolanModule module;
  ASSERT_TRUE(module.Init());
  PLUGIN_CONTEXT context = 0;
  const auto* filter = module.Object<FileFilterInterface2>(PLUGINOBJ_FILEFILTER, &context);
  ASSERT_NE(filter, nullptr);
  ASSERT_EQ(filter->head.OBJECT_Init(context, kFilterCaller), 1);
  auto* list = reinterpret_cast<HOST_FILEFILTERLIST>(0x1234);
  Recording().calls.clear();
  ASSERT_EQ(filter->FILEFILTER_BuildFilter(context, list), 1);
  ASSERT_EQ(Recording().calls.size(), 2u) << "one pattern";
  char expected[256];
  std::snprintf(expected, sizeof expected, "filter %p|%s|%p", static_cast<void*>(list), kImageFilterText,
                kFilterCaller);
  EXPECT_EQ(Recording().calls[0], expected);
  const FILEFILTER_DESCRIPTION pattern = std::stoull(Recording().calls[1].substr(std::string("description ").size()));

  struct Case {
    const char* name;
    DWORD expected;
  };
  const Case cases[] = {
      {"a.Png", 1},      // case does not matter
      {"a.b.png", 1},    // only the last extension counts
      {"c.JPEG", 1},     //
      {"b.txt", 0},      // not a picture
      {"x.png.txt", 0},  // a picture's extension that is not the last
      {"image.jpe", 5},  // not one of the seven; the preset stays
      {"noext", 0},      // no dot, never marked
      {nullptr, 0},      // a missing name is skipped
  };
  std::vector<const char*> names;
  std::vector<DWORD> results;
  for (const Case& c : cases) {
    names.push_back(c.name);
    results.push_back(c.expected == 5 ? 5 : 0);
  }
  ASSERT_EQ(filter->FILEFILTER_TestNames(context, 1, &pattern, static_cast<int32_t>(names.size()), names.data(),
                                         results.data()),
            1);
  for (size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(results[i], cases[i].expected) << i;

  // Numbers the filter never gave out, and missing arrays, are refused
  // before anything is read through them.
  std::vector<DWORD> untouched(names.size(), 9);
  const FILEFILTER_DESCRIPTION madeUp[] = {pattern, 0xDEADBEE0u};
  struct Refusal {
    const char* why;
    int32_t count;
    const FILEFILTER_DESCRIPTION* patterns;
    const char* const* names;
    DWORD* results;
  };
  const Refusal refusals[] = {
      {"a made-up number", 1, madeUp + 1, names.data(), untouched.data()},
      {"a made-up number after a good one", 2, madeUp, names.data(), untouched.data()},
      {"no numbers", 1, nullptr, names.data(), untouched.data()},
      {"no names", 1, &pattern, nullptr, untouched.data()},
      {"no results", 1, &pattern, names.data(), nullptr},
  };
  for (const Refusal& r : refusals) {
    GetHostApiTable()->HOST_SetMiscError(HOST_MISC_NONE);
    EXPECT_EQ(filter->FILEFILTER_TestNames(context, r.count, r.patterns, static_cast<int32_t>(names.size()), r.names,
                                           r.results),
              0)
        << r.why;
    EXPECT_EQ(MiscErrorNow(), HOST_MISC_INVALID_PARAM) << r.why;
  }
  EXPECT_EQ(untouched, std::vector<DWORD>(names.size(), 9));
  EXPECT_EQ(filter->FILEFILTER_TestNames(context, 0, nullptr, 0, nullptr, nullptr), 1) << "nothing chosen";

  // A host that refuses the pattern makes BuildFilter fail.
  Recording().refusePatternsFrom = Recording().patternCalls + 1;
  EXPECT_EQ(filter->FILEFILTER_BuildFilter(context, list), 0);
  filter->head.OBJECT_Exit(context);
}

TEST(PictolanObjects, TheIdentifierReportsTheIconOfPicturesOnly) {
  PictolanModule module;
  Recording().iconIndex = 12;
  ASSERT_TRUE(module.Init());
  PLUGIN_CONTEXT context = 0;
  const auto* identifier = module.Object<FileIdentifierInterface2>(PLUGINOBJ_FILEIDENTIFIER, &context);
  ASSERT_NE(identifier, nullptr);
  ASSERT_EQ(identifier->head.OBJECT_Init(context, kIdentifierCaller), 1);
  Recording().calls.clear();
  const char* paths[] = {"/p/photo.JPG", "/p/scan.tif", "/p/archive.tar.gz", "/p/image.jpe", "/p/dotless",
                         "/p.png/folder", nullptr};
  for (const char* path : paths) EXPECT_EQ(identifier->FILEIDENTIFIER_Identify(context, path), 1);
  char caller[32];
  std::snprintf(caller, sizeof caller, "%p", kIdentifierCaller);
  EXPECT_EQ(Recording().calls, (std::vector<std::string>{
                                   std::string("file info /p/photo.JPG|(null)|0|12|128|0|0|") + caller,
                                   std::string("file info /p/scan.tif|(null)|0|12|128|0|0|") + caller,
                               }));
  identifier->head.OBJECT_Exit(context);
}

TEST(PictolanObjects, InitFailsCleanlyWhereverTheHostRunsOutOfStrings) {
  // The calls a whole PLUGIN_Init makes, counted once.
  int callsOfInit = 0;
  {
    PictolanModule module;
    ASSERT_TRUE(module.Init());
    callsOfInit = Recording().allocations;
  }
  ASSERT_GT(callsOfInit, 0);
  EXPECT_TRUE(Recording().live.empty());
  for (int k = 1; k <= callsOfInit; ++k) {
    SCOPED_TRACE("refused from call " + std::to_string(k));
    Recording() = {};
    Recording().refuseFrom = k;
    PictolanModule module;
    GetHostApiTable()->HOST_SetMiscError(HOST_MISC_NONE);
    EXPECT_FALSE(module.Init());
    EXPECT_EQ(MiscErrorNow(), HOST_MISC_OUT_OF_MEMORY);
    EXPECT_TRUE(Recording().live.empty()) << "every copy made was freed";
    EXPECT_EQ(Recording().strayFrees, 0) << "and none twice";
    PLUGIN_CONTEXT context = 0;
    for (DWORD kind = 0; kind < PLUGINOBJ_KIND_COUNT; ++kind) EXPECT_EQ(module.Object<void>(kind, &context), nullptr);
  }
}

TEST(PictolanObjects, PatternCreationRefusedByTheHostFailsTheFilterInit) {
  PictolanModule module;
  ASSERT_TRUE(module.Init());
  PLUGIN_CONTEXT context = 0;
  const auto* filter = module.Object<FileFilterInterface2>(PLUGINOBJ_FILEFILTER, &context);
  ASSERT_NE(filter, nullptr);
  // The pattern's text and its seven extensions: refused at each in turn.
  for (int k = 1; k <= 8; ++k) {
    SCOPED_TRACE(k);
    Recording().refuseFrom = Recording().allocations + k;
    GetHostApiTable()->HOST_SetMiscError(HOST_MISC_NONE);
    EXPECT_EQ(filter->head.OBJECT_Init(context, kFilterCaller), 0);
    EXPECT_EQ(MiscErrorNow(), HOST_MISC_OUT_OF_MEMORY);
    Recording().refuseFrom = 0;
    Recording().calls.clear();
    EXPECT_EQ(filter->FILEFILTER_BuildFilter(context, nullptr), 1);
    EXPECT_TRUE(Recording().calls.empty()) << "no pattern is left behind";
  }
  EXPECT_EQ(Recording().strayFrees, 0);
}

}  // namespace
