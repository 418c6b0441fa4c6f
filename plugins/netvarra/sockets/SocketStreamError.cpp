#include "plugins/netvarra/sockets/SocketStreamError.h"

#include "plugins/netvarra/sockets/SocketError.h"

CStreamError* MakeSocketStreamError(int winsockCode, const CStr& detail) {
  const DWORD streamCode =
      (winsockCode == 10053 || winsockCode == 10054) ? CStreamError::kConnectionLost : CStreamError::kGeneric;
  const CStr streamText = CStreamError::GetCodeText(streamCode);
  const CStr socketText = CSocketError::GetCodeText(winsockCode);
  const CStr text = detail.IsEmpty()
                        ? CStr::Format("%s; %s", streamText.c_str(), socketText.c_str())
                        : CStr::Format("%s; %s (%s)", streamText.c_str(), socketText.c_str(), detail.c_str());
  auto* error = new CStreamError(streamCode, detail.c_str(), text);
  if (!error) ThrowMemoryError();
  return error;
}

CStreamError* MakeSocketStreamErrorForStream(int winsockCode, CStream& stream) {
  return MakeSocketStreamError(winsockCode, StreamUrlOrEmpty(stream));
}
