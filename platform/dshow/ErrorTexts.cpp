#include "ErrorTexts.h"

namespace twl::dshow {
namespace {

struct ResultText {
  HRESULT result;
  const char* text;
};

constexpr ResultText kTexts[] = {
    {S_OK, "The operation succeeded."},
    {S_FALSE, "The operation has not finished yet; the graph is still changing state."},
    {E_FAIL, "The media framework reported an unspecified failure."},
    {E_POINTER, "A required pointer argument was null."},
    {E_INVALIDARG, "An argument is out of range."},
    {E_OUTOFMEMORY, "There is not enough memory to complete the operation."},
    {E_NOTIMPL, "The operation is not supported."},
    {E_NOINTERFACE, "The graph has no renderer for this kind of operation (for example no video in a sound file)."},
    {E_ABORT, "No event is waiting."},
    {HRESULT_FROM_WIN32(2), "The file cannot be found."},
    {HRESULT_FROM_WIN32(3), "The path cannot be found."},
    {HRESULT_FROM_WIN32(5), "Access to the file is denied."},
    {VFW_E_NOT_CONNECTED, "The renderer is not connected."},
    {VFW_E_CANNOT_RENDER, "No combination of filters could be found to render the stream."},
    {VFW_E_WRONG_STATE, "The operation cannot be performed in the graph's current state."},
    {VFW_E_INVALID_FILE_FORMAT, "The file is damaged or its format is invalid."},
    {VFW_E_UNKNOWN_FILE_TYPE, "The media type of this file is not recognized."},
    {VFW_E_CANNOT_LOAD_SOURCE_FILTER, "The source of this file or URL could not be opened."},
    {VFW_E_NO_AUDIO_HARDWARE, "The sound output could not be opened."},
    {VFW_E_UNSUPPORTED_STREAM, "No decoder is installed for a stream of this file."},
    {VFW_E_TIMEOUT, "The graph did not finish building in time."},
};

}  // namespace

const char* ErrorText(HRESULT result) {
  for (const ResultText& entry : kTexts) {
    if (entry.result == result) return entry.text;
  }
  return nullptr;
}

}  // namespace twl::dshow
