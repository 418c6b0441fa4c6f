#include "foundation/bitmaps/BitmapError.h"

#include "foundation/kernel/Localizer.h"

void ThrowBitmapError(const char* textKey, const char* textDefault) {
  CStringLocalizer& localizer = GetLocalizer();
  ThrowError<CError>(CStr(localizer.GetString("CDIBitmap.ErrorCaption", "Bitmap error")),
                     CStr(localizer.GetString(textKey, textDefault)));
}
