#include "foundation/zlib/ZLibError.h"

#include <zlib.h>

#include "foundation/errors/LocalText.h"
#include "foundation/kernel/MemoryError.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CZLibError, CError)

namespace {

CStr StreamErrorText(DWORD context) {
  switch (context) {
    case CZLibError::kDeflateInit:
      return LocalText("CZLibError.Z_STREAM_ERROR.CompLevel", "Invalid compression level");
    case CZLibError::kDeflateSetDictionary:
      return LocalText("CZLibError.Z_STREAM_ERROR.DeflateDict",
                       "An invalid parameter was passed to deflateSetDictionary or the stream state as inconsistent");
    case CZLibError::kInflateSetDictionary:
      return LocalText("CZLibError.Z_STREAM_ERROR.InflateDict",
                       "An invalid parameter was passed to inflateSetDictionary or the stream state as inconsistent");
    case CZLibError::kDeflate:
    case CZLibError::kDeflateEnd:
    case CZLibError::kInflate:
    case CZLibError::kInflateEnd:
    case 7:
    case 8:
    case CZLibError::kInflateSync:
      return LocalText("CZLibError.Z_STREAM_ERROR.StreamState", "Inconsistent stream state");
    default:
      return LocalText("CZLibError.Z_STREAM_ERROR.UnknownContext", "Z_STREAM_ERROR");
  }
}

CStr DataErrorText(DWORD context) {
  switch (context) {
    case CZLibError::kDeflateEnd:
      return LocalText("CZLibError.Z_DATA_ERROR.deflateEnd",
                       "Stream was freed prematurely (some input or output was discarded)");
    case CZLibError::kInflate:
      return LocalText("CZLibError.Z_DATA_ERROR.inflate", "Input data is corrupted");
    case CZLibError::kInflateSetDictionary:
      return LocalText("CZLibError.Z_DATA_ERROR.inflateSetDict",
                       "An invalid dictionary was passed to inflateSetDictionary.");
    case CZLibError::kInflateSync:
      return LocalText("CZLibError.Z_DATA_ERROR.inflateSync", "No flush point has been found");
    default:
      return LocalText("CZLibError.Z_DATA_ERROR.UnknownContext", "Z_DATA_ERROR");
  }
}

CStr BufferErrorText(DWORD context) {
  switch (context) {
    case CZLibError::kDeflate:
      return LocalText("CZLibError.Z_BUF_ERROR.deflate",
                       "No progress possible (no input data available or no output memory left)");
    case CZLibError::kInflate:
      return LocalText("CZLibError.Z_BUF_ERROR.inflate",
                       "No progress possible (no input data available or not enough output memory left)");
    case CZLibError::kInflateSync:
      return LocalText("CZLibError.Z_BUF_ERROR.inflateSync", "Flush error: no more input was provided");
    default:
      return LocalText("CZLibError.Z_BUF_ERROR.UnknownContext", "Z_BUF_ERROR");
  }
}

}  // namespace

CStr CZLibError::GetCodeText(INT result, DWORD context) {
  switch (result) {
    case Z_OK:
      return LocalText("CZLibError.Z_OK", "No error occurred");
    case Z_STREAM_END:
      return LocalText("CZLibError.Z_STREAM_END", "End of stream reached");
    case Z_NEED_DICT:
      return LocalText("CZLibError.Z_NEED_DICT", "Dictionary needed");
    case Z_ERRNO:
      return LocalText("CZLibError.Z_ERRNO", "File system error");
    case Z_STREAM_ERROR:
      return StreamErrorText(context);
    case Z_DATA_ERROR:
      return DataErrorText(context);
    case Z_MEM_ERROR:
      return LocalText("CZLibError.Z_MEM_ERROR", "Not enough memory");
    case Z_BUF_ERROR:
      return BufferErrorText(context);
    case Z_VERSION_ERROR:
      return LocalText("CZLibError.Z_VERSION_ERROR", "Invalid ZLib version");
    default:
      return LocalText("CZLibError.Unknown", "An unknown error occurred.");
  }
}

CZLibError::CZLibError() : CZLibError(Z_OK, nullptr, 0) {}

CZLibError::CZLibError(INT result, const char* text, DWORD context)
    : CError(LocalText("CZLibError.Caption", "ZLib Error"), text ? CStr(text) : GetCodeText(result, context)),
      m_Result(result),
      m_Context(context) {}

CZLibError::CZLibError(const CStr& caption, const CStr& text, INT result, DWORD context)
    : CError(caption, text), m_Result(result), m_Context(context) {}

CError* CZLibError::Clone() const {
  CError* copy = new CZLibError(GetCaption(), GetText(), m_Result, m_Context);
  return copy ? copy : &GetOutOfMemoryError();
}
