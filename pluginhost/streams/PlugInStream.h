// CPlugInStream and CPlugInStream2: a stream that a plug-in's stream
// provider opened, as the host's CStream. Every operation goes to the
// provider's stream functions (version 2 with the object's context first);
// a function that fails throws the thread error the plug-in set, so a
// plug-in's stream error reaches the reader as a CStreamError with the
// plug-in's code. Writing is refused without asking the plug-in: the host
// reads plug-in streams only. Capabilities come back with the two sharing
// bits turned into the host's sense (SharingBitsFlipped).
//
// Threading: as CStream; the wrapper holds no lock, the plug-in reports a
// failure on the calling thread.
#pragma once

#include <type_traits>

#include "foundation/streams/Stream.h"
#include "pluginhost/abi/PlugInAbi.h"

// The open and capability flags cross the plug-in boundary with the two
// sharing bits in the opposite sense; every crossing flips both.
constexpr DWORD SharingBitsFlipped(DWORD flags) { return flags ^ (STREAM_ABI_NOREAD_SHARING | STREAM_ABI_NOWRITE_SHARING); }

template <int Version>
using StreamProviderTable = std::conditional_t<Version == 2, StreamProviderInterface2, StreamProviderInterface>;

template <int Version>
class TPlugInStream : public CStream {
 public:
  using Table = StreamProviderTable<Version>;

  // A wrapper for a stream the plug-in has opened, owning it from here on.
  // Fetches the URL; when that fails the plug-in's stream is closed and the
  // thread error thrown.
  static CStream* Create(const Table& table, PLUGIN_CONTEXT context, PLUGIN_STREAM stream);

  void SetProperty(DWORD index, DWORD value) override;
  CStr& GetURL(CStr& url) override;
  DWORD GetCapabilities() override;
  DWORD Read(void* buffer, DWORD size) override;
  DWORD ReadSome(void* buffer, DWORD size) override;
  DWORD Skip(DWORD count) override;
  DWORD SkipSome(DWORD count) override;
  void Write(const void* buffer, DWORD size) override;
  void Flush() override {}
  LONGLONG Seek(LONGLONG offset, DWORD origin, HANDLE abortEvent) override;
  bool SeekWouldWait(LONGLONG offset, DWORD origin) override;
  LONGLONG GetPosition() override;
  LONGLONG GetLength(bool immediate, HANDLE abortEvent) override;
  DWORD GetTransferRate() override;
  bool IsAtEnd() override;
  void Shutdown() override;
  void Close() override;
  void CloseNoThrow() override;
  CStreamError* GetPendingError() override;
  DWORD GetContentType(CStr& type) override;

 protected:
  TPlugInStream(const Table& table, PLUGIN_CONTEXT context, PLUGIN_STREAM stream)
      : m_Table(table), m_Context(context), m_Stream(stream) {}

 private:
  template <class Slot, class... Args>
  auto Call(Slot Table::*slot, Args... args) const {
    if constexpr (Version == 2)
      return (m_Table.*slot)(m_Context, m_Stream, args...);
    else
      return (m_Table.*slot)(m_Stream, args...);
  }
  // Throws the thread error when the plug-in answered false.
  static void Check(BOOL succeeded);

  const Table& m_Table;
  PLUGIN_CONTEXT m_Context;
  PLUGIN_STREAM m_Stream;
  CStr m_URL;
};

extern template class TPlugInStream<1>;
extern template class TPlugInStream<2>;

class CPlugInStream : public TPlugInStream<1> {
  TWL_DECLARE_CLASS(CPlugInStream)
  friend class TPlugInStream<1>;
  using TPlugInStream<1>::TPlugInStream;
};

class CPlugInStream2 : public TPlugInStream<2> {
  TWL_DECLARE_CLASS(CPlugInStream2)
  friend class TPlugInStream<2>;
  using TPlugInStream<2>::TPlugInStream;
};
