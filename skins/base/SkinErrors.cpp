#include "skins/base/SkinErrors.h"

#include "foundation/errors/LocalText.h"
#include "foundation/kernel/Error.h"
#include "foundation/kernel/Placeholder.h"
#include "foundation/streams/StreamError.h"

CStr SkinText(const char* key, const char* defaultText, std::initializer_list<PlaceholderPair> placeholders) {
  return FillPlaceholders(LocalText(key, defaultText), placeholders);
}

void ThrowSkinError(const char* captionDefault, const CStr& text) {
  ThrowError<CError>(LocalText("SkinError.Caption", captionDefault), text);
}

void ThrowCorruptedFile() { ThrowSkinError(kSkinErrorCaption, LocalText("SkinError.CorruptedFile", "Corrupted file")); }

void ThrowNoSkinFile() {
  ThrowSkinError(kSkinErrorCaption, LocalText("SkinError.NoSkinFile", "This is not a valid skin file."));
}

void ThrowEndOfStream(CStream& stream) { ThrowError<CStreamError>(CStreamError::kEndOfStream, stream); }

bool IsFileNotFound(const CError* error) {
  return error && error->IsKindOf(&CStreamError::ClassRecord) &&
         static_cast<const CStreamError*>(error)->GetCode() == CStreamError::kFileNotFound;
}
