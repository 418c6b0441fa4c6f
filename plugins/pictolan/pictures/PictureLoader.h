// The player's way through the file types: each type in turn reads the
// picture from the stream's start until one succeeds. Runs on the caller's
// thread (the player's loader, or a tool).
#pragma once

#include <functional>

#include <windows.h>

#include "foundation/kernel/Str.h"
#include "plugins/pictolan/pictures/ImageFileTypes.h"

namespace pictolan {

// The text from the last "." of the path on, or the empty text.
CStr PictureExtension(const char* path);

// Called after a type refused the picture, with its reason as the thread
// error.
using RefusalObserver = std::function<void(const ImageFileType& type)>;

// For each type in order: the stream back to its start (a wait for it
// polls the stop event; may be null), a host stream's transfer count
// reset, the picture freed, then the type's Load with the path's
// extension. The type that loaded the picture, or null when none did: the
// thread error is then MiscError 6, or the error of a stream that could
// not go back to its start. Never throws.
const ImageFileType* LoadPictureWithTypes(const ImageFileTypeList& types, CStream& stream, const char* path,
                                          CDIBitmap& picture, HANDLE stopEvent, const HostApiTable& host,
                                          const RefusalObserver& onRefused = {});

}  // namespace pictolan
