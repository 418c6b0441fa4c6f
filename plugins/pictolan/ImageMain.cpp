#include "plugins/pictolan/ImageMain.h"

#include <new>

#include "plugins/pictolan/ImageFileFilter.h"
#include "plugins/pictolan/ImageFileIdentifier.h"
#include "plugins/pictolan/ImagePlayer.h"
#include "plugins/pluginsdk/HostErrors.h"

namespace pictolan {
namespace {

// Requires player 1.70; speaks the plug-in interface of the same version,
// which is a version-2 one.
constexpr DWORD kRequiredPlayerVersion = 0x10046;
constexpr DWORD kApiVersion = 0x10046;
constexpr WORD kImageIconResource = 101;

ImageMain g_ImageMain;

}  // namespace

ImageMain::ImageMain() : OstrellMain(kRequiredPlayerVersion, kApiVersion) {}

ImageMain& TheImageMain() { return g_ImageMain; }

bool ImageMain::CreateObjects() {
  bool constructed = false;
  auto* player = new (std::nothrow) ImagePlayer(constructed);
  if (!AddObject(player, player && constructed)) return false;
  auto* identifier = new (std::nothrow) ImageFileIdentifier(constructed);
  if (!AddObject(identifier, identifier && constructed)) return false;
  auto* filter = new (std::nothrow) ImageFileFilter(constructed);
  return AddObject(filter, filter && constructed);
}

bool ImageMain::Init(const HostApiTable* host, HMODULE module) {
  if (!OstrellMain::Init(host, module)) return false;
  HICON icon = LoadIconA(reinterpret_cast<HINSTANCE>(module), MAKEINTRESOURCEA(kImageIconResource));
  m_IconIndex = host->HOST_AddIcon(icon);
  return true;
}

void ImageMain::ReportErrorObject(const CError* error) const {
  if (GetHost()) pluginsdk::ReportErrorObject(*GetHost(), error);
}

}  // namespace pictolan
