#include "plugins/pictolan/pictures/PictureLoader.h"

#include <cstring>

#include "foundation/bitmaps/DIBitmap.h"
#include "foundation/streams/Stream.h"
#include "plugins/pluginsdk/APIStream.h"
#include "plugins/pluginsdk/HostErrors.h"

namespace pictolan {
namespace {

const ImageFileType* TryEachType(const ImageFileTypeList& types, CStream& stream, const char* extension,
                                 CDIBitmap& picture, HANDLE stopEvent, const RefusalObserver& onRefused) {
  for (const auto& type : types) {
    stream.Seek(0, kSeekFromStart, stopEvent);
    if (IsKindOf<CAPIStream>(&stream)) static_cast<CAPIStream&>(stream).ResetTransferCount();
    picture.Free();
    if (type->Load(stream, extension, picture)) return type.get();
    if (onRefused) onRefused(*type);
  }
  return nullptr;
}

}  // namespace

CStr PictureExtension(const char* path) {
  const char* dot = path ? std::strrchr(path, '.') : nullptr;
  return dot ? CStr(dot) : CStr();
}

const ImageFileType* LoadPictureWithTypes(const ImageFileTypeList& types, CStream& stream, const char* path,
                                          CDIBitmap& picture, HANDLE stopEvent, const HostApiTable& host,
                                          const RefusalObserver& onRefused) {
  return pluginsdk::CatchingErrors<const ImageFileType*>(&host, nullptr, [&]() -> const ImageFileType* {
    const CStr extension = PictureExtension(path);
    const ImageFileType* loaded = TryEachType(types, stream, extension.c_str(), picture, stopEvent, onRefused);
    // The last type's reason would only say why that type refused.
    if (!loaded) host.HOST_SetMiscError(HOST_MISC_UNSUPPORTED_FILE_FORMAT);
    return loaded;
  });
}

}  // namespace pictolan
