#include "pluginhost/streams/PlugInStream.h"

#include <memory>

#include "foundation/errors/ThreadErrorState.h"
#include "foundation/kernel/Error.h"
#include "foundation/streams/StreamError.h"
#include "pluginhost/hostapi/HostApi.h"

TWL_IMPLEMENT_CLASS(CPlugInStream, CStream)
TWL_IMPLEMENT_CLASS(CPlugInStream2, CStream)

namespace {

template <int Version>
using ConcreteStream = std::conditional_t<Version == 2, CPlugInStream2, CPlugInStream>;

// A 64-bit offset travels as two words, low word first.
DWORD LowWord(LONGLONG value) { return static_cast<DWORD>(static_cast<ULONGLONG>(value)); }
DWORD HighWord(LONGLONG value) { return static_cast<DWORD>(static_cast<ULONGLONG>(value) >> 32); }

}  // namespace

template <int Version>
void TPlugInStream<Version>::Check(BOOL succeeded) {
  if (!succeeded) RaiseThreadError();
}

template <int Version>
CStream* TPlugInStream<Version>::Create(const Table& table, PLUGIN_CONTEXT context, PLUGIN_STREAM stream) {
  std::unique_ptr<ConcreteStream<Version>> wrapper(new ConcreteStream<Version>(table, context, stream));
  char* url = nullptr;
  if (!wrapper->Call(&Table::STREAM_GetURL, &url)) {
    // The plug-in's stream would stay open with nobody to close it.
    wrapper->Call(&Table::STREAM_CloseNoThrow);
    RaiseThreadError();
  }
  wrapper->m_URL = url ? url : "";
  if (url) HostFree(url);
  return wrapper.release();
}

template <int Version>
void TPlugInStream<Version>::SetProperty(DWORD index, DWORD value) {
  Call(&Table::STREAM_SetProperty, index, value);
  CStream::SetProperty(index, value);
}

template <int Version>
CStr& TPlugInStream<Version>::GetURL(CStr& url) {
  url = m_URL;
  return url;
}

template <int Version>
DWORD TPlugInStream<Version>::GetCapabilities() {
  DWORD capabilities = 0;
  Check(Call(&Table::STREAM_GetCapabilities, &capabilities));
  return SharingBitsFlipped(capabilities);
}

template <int Version>
DWORD TPlugInStream<Version>::Read(void* buffer, DWORD size) {
  DWORD read = 0;
  Check(Call(&Table::STREAM_Read, buffer, size, &read));
  return read;
}

template <int Version>
DWORD TPlugInStream<Version>::ReadSome(void* buffer, DWORD size) {
  DWORD read = 0;
  Check(Call(&Table::STREAM_ReadSome, buffer, size, &read));
  return read;
}

template <int Version>
DWORD TPlugInStream<Version>::Skip(DWORD count) {
  DWORD skipped = 0;
  Check(Call(&Table::STREAM_Skip, count, &skipped));
  return skipped;
}

template <int Version>
DWORD TPlugInStream<Version>::SkipSome(DWORD count) {
  DWORD skipped = 0;
  Check(Call(&Table::STREAM_SkipSome, count, &skipped));
  return skipped;
}

template <int Version>
void TPlugInStream<Version>::Write(const void*, DWORD) {
  ThrowError<CStreamError>(CStreamError::kNotPermitted);
}

template <int Version>
LONGLONG TPlugInStream<Version>::Seek(LONGLONG offset, DWORD origin, HANDLE abortEvent) {
  LONGLONG position = 0;
  Check(Call(&Table::STREAM_Seek, LowWord(offset), HighWord(offset), origin, &position, abortEvent));
  return position;
}

template <int Version>
bool TPlugInStream<Version>::SeekWouldWait(LONGLONG offset, DWORD origin) {
  BOOL wouldWait = FALSE;
  Check(Call(&Table::STREAM_SeekWouldWait, LowWord(offset), HighWord(offset), origin, &wouldWait));
  return wouldWait != 0;
}

template <int Version>
LONGLONG TPlugInStream<Version>::GetPosition() {
  LONGLONG position = 0;
  Check(Call(&Table::STREAM_GetPosition, &position));
  return position;
}

template <int Version>
LONGLONG TPlugInStream<Version>::GetLength(bool immediate, HANDLE abortEvent) {
  LONGLONG length = -1;
  Check(Call(&Table::STREAM_GetLength, static_cast<DWORD>(immediate ? 1 : 0), &length, abortEvent));
  return length;
}

template <int Version>
DWORD TPlugInStream<Version>::GetTransferRate() {
  DWORD rate = 0;
  Check(Call(&Table::STREAM_GetTransferRate, &rate));
  return rate;
}

template <int Version>
bool TPlugInStream<Version>::IsAtEnd() {
  BOOL atEnd = FALSE;
  Check(Call(&Table::STREAM_IsAtEnd, &atEnd));
  return atEnd != 0;
}

template <int Version>
void TPlugInStream<Version>::Shutdown() {
  Call(&Table::STREAM_Shutdown);
}

template <int Version>
void TPlugInStream<Version>::Close() {
  Check(Call(&Table::STREAM_Close));
  delete this;
}

template <int Version>
void TPlugInStream<Version>::CloseNoThrow() {
  Call(&Table::STREAM_CloseNoThrow);
  delete this;
}

template <int Version>
CStreamError* TPlugInStream<Version>::GetPendingError() {
  if (!Call(&Table::STREAM_HasPendingError)) return nullptr;
  try {
    RaiseThreadError();
  } catch (CError* caught) {
    // The caller owns the new error; the caught one is disposed of here.
    // The reader learns which stream failed: the path is always the URL.
    const auto* streamError = dynamic_cast<const CStreamError*>(caught);
    CStreamError* pending = streamError
                                ? new CStreamError(streamError->GetCode(), m_URL.c_str(), streamError->GetText())
                                : new CStreamError(*caught, m_URL.c_str());
    DisposeError(caught);
    return pending;
  }
}

template <int Version>
DWORD TPlugInStream<Version>::GetContentType(CStr& type) {
  DWORD result = STREAM_CONTENTTYPE_UNKNOWN;
  char* text = nullptr;
  Check(Call(&Table::STREAM_GetContentType, &result, &text));
  if (result == STREAM_CONTENTTYPE_GIVEN) type = text ? text : "";
  if (result == STREAM_CONTENTTYPE_NONE) type = CStr();
  if (text) HostFree(text);
  return result;
}

template class TPlugInStream<1>;
template class TPlugInStream<2>;
