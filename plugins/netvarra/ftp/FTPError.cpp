#include "plugins/netvarra/ftp/FTPError.h"

#include "foundation/errors/LocalText.h"
#include "plugins/netvarra/ftp/FTPReplyCode.h"

TWL_IMPLEMENT_CLASS(CFTPError, CError)

namespace {

CStr UnexpectedReplyText(const char* reply) {
  std::string text(LocalText("FTPError.UnexpectedReply", "Unexpected FTP reply (%REPLY%)").c_str());
  constexpr std::string_view kMarker = "%REPLY%";
  const size_t at = text.find(kMarker);
  if (at != std::string::npos) text.replace(at, kMarker.size(), reply ? reply : "");
  return CStr(text.c_str());
}

}  // namespace

CFTPError::CFTPError(int code, const char* reply, const char* message)
    : CError(CStr("FTP error"), message ? CStr(message) : UnexpectedReplyText(reply)),
      m_Code(code),
      m_Reply(reply) {}

void ThrowOversizedReply(const std::string& text) {
  constexpr size_t kShown = 100;
  const std::string shown = text.substr(0, kShown);
  ThrowError<CFTPError>(GetReplyCode(shown.c_str()), shown.c_str());
}
