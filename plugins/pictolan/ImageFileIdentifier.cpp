#include "plugins/pictolan/ImageFileIdentifier.h"

#include "plugins/pictolan/ImageExtensions.h"
#include "plugins/pictolan/ImageMain.h"
#include "plugins/pluginsdk/NameExtension.h"

namespace pictolan {
namespace {

// The icon outranks what an identifier of lower standing gave; the type
// text is left to others.
constexpr DWORD kIconPriority = 128;

bool IsImageName(const char* path) {
  const char* extension = pluginsdk::LastExtension(path);
  if (!extension) return false;
  for (const char* known : kImageExtensions) {
    if (pluginsdk::EqualsIgnoringCase(extension, known)) return true;
  }
  return false;
}

}  // namespace

ImageFileIdentifier::ImageFileIdentifier(bool& constructed)
    : FileIdentifierObject(constructed, "Velbrook Pictolan Add-On", "",
                           "Identifies image files that can be played with Pictolan.") {}

bool ImageFileIdentifier::Init(PLUGIN_HANDLE caller) {
  PlugInObject::Init(caller);
  SetIconIndex(TheImageMain().GetIconIndex());
  return true;
}

bool ImageFileIdentifier::Identify(const char* path) {
  if (IsImageName(path))
    Host().HOST_SetFileInfo(path, nullptr, 0, TheImageMain().GetIconIndex(), kIconPriority, 0, 0, GetCaller());
  return true;
}

}  // namespace pictolan
