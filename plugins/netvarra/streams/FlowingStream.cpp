#include "plugins/netvarra/streams/FlowingStream.h"

#include "foundation/streams/StreamError.h"

TWL_IMPLEMENT_CLASS(CFlowingStream, CStream)

CFlowingStream::CFlowingStream() = default;

CFlowingStream::~CFlowingStream() { ClearError(); }

void CFlowingStream::SetProperty(DWORD index, DWORD value) {
  CriticalSectionLock operationLock(m_OperationLock);
  CriticalSectionLock stateLock(m_StateLock);
  if (index > kDataEventProperty) return;
  m_Properties[index] = value;
  if (!value) return;
  if (index == kDataEventProperty && HasData()) SetEvent(ULongToHandle(value));
  if (index == kErrorEventProperty && m_PendingError.IsSet()) SetEvent(ULongToHandle(value));
}

DWORD CFlowingStream::GetProperty(DWORD index) {
  CriticalSectionLock operationLock(m_OperationLock);
  CriticalSectionLock stateLock(m_StateLock);
  return index <= kDataEventProperty ? m_Properties[index] : 0;
}

CStreamError* CFlowingStream::GetPendingError() {
  CriticalSectionLock operationLock(m_OperationLock);
  CriticalSectionLock stateLock(m_StateLock);
  return m_PendingError.Copy();
}

void CFlowingStream::SetError(const CError& error) {
  CriticalSectionLock stateLock(m_StateLock);
  m_PendingError.Set(error, *this);
  SignalEvent(kErrorEventProperty);
}

void CFlowingStream::SignalEvent(DWORD index) {
  CriticalSectionLock stateLock(m_StateLock);
  if (index <= kDataEventProperty && m_Properties[index]) SetEvent(ULongToHandle(m_Properties[index]));
}

void CFlowingStream::ThrowPendingError() {
  CriticalSectionLock stateLock(m_StateLock);
  if (!m_PendingError.IsSet()) return;
  CStreamError* copy = m_PendingError.Copy();
  stateLock.Leave();
  if (!copy) ThrowMemoryError();
  throw copy;
}

void CFlowingStream::ClearError() {
  CriticalSectionLock stateLock(m_StateLock);
  m_PendingError.Clear();
}
