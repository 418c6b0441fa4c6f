#include "foundation/bitmapfiles/BitmapFileErrors.h"

#include "foundation/kernel/Error.h"
#include "foundation/kernel/Localizer.h"
#include "foundation/kernel/Placeholder.h"
#include "foundation/streams/Stream.h"
#include "foundation/streams/StreamError.h"

namespace {

[[noreturn]] void ThrowWithPath(CStream& stream, const char* captionKey, const char* textKey, const char* textDefault) {
  CStringLocalizer& localizer = GetLocalizer();
  const CStr caption = localizer.GetString(captionKey, "Bitmap error");
  const CStr text =
      ReplacePlaceholder(CStr(localizer.GetString(textKey, textDefault)), {"%PATH%", StreamUrlOrEmpty(stream)});
  ThrowError<CError>(caption, text);
}

constexpr const char* kUnsupportedText = "Unsupported file format: '%PATH%'";

}  // namespace

void ThrowUnknownBitmapFormat(CStream& stream) {
  ThrowWithPath(stream, "CDIBitmap.ErrorCaption", "CDIBitmap.unknownFileFormat", "Unknown file format: '%PATH%'");
}

void ThrowUnsupportedBitmapFormat(CStream& stream) {
  ThrowWithPath(stream, "CDIBitmap.ErrorCaption", "CDIBitmap.unsupportedFileFormat.Text", kUnsupportedText);
}

void ThrowUnsupportedBitmapBitCount(CStream& stream) {
  ThrowWithPath(stream, "CDIBitmap.unsupportedFileFormat.Caption", "CDIBitmap.unsupportedFileFormat.Text",
                kUnsupportedText);
}

void ThrowCorruptedFile(CStream& stream) { ThrowError<CStreamError>(CStreamError::kCorrupted, stream); }

void ThrowEndOfFile(CStream& stream) { ThrowError<CStreamError>(CStreamError::kEndOfStream, stream); }
