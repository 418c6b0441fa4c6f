#include "foundation/errors/WinMMError.h"

#include "foundation/errors/LocalText.h"

TWL_IMPLEMENT_CLASS(CWinMMError, CError)

namespace {

struct WinMMRow {
  DWORD code;
  const char* key;
  const char* text;
};

// The codes with a text of their own. The keys carry the codes' system
// names; the defaults keep their original wording, the mixer wording of
// the two timer codes included.
constexpr WinMMRow kRows[] = {
    {0, "CWinMMError.MMSYSERR_NOERROR", "no error occurred"},
    {1, "CWinMMError.MMSYSERR_ERROR", "unspecified error"},
    {2, "CWinMMError.MMSYSERR_BADDEVICEID", "device ID out of range"},
    {3, "CWinMMError.MMSYSERR_NOTENABLED", "driver failed enable"},
    {4, "CWinMMError.MMSYSERR_ALLOCATED", "device already allocated"},
    {5, "CWinMMError.MMSYSERR_INVALHANDLE", "device handle is invalid"},
    {6, "CWinMMError.MMSYSERR_NODRIVER", "no device driver present"},
    {7, "CWinMMError.MMSYSERR_NOMEM", "memory allocation error"},
    {8, "CWinMMError.MMSYSERR_NOTSUPPORTED", "function isn't supported"},
    {9, "CWinMMError.MMSYSERR_BADERRNUM", "error value out of range"},
    {10, "CWinMMError.MMSYSERR_INVALFLAG", "invalid flag passed"},
    {11, "CWinMMError.MMSYSERR_INVALPARAM", "invalid parameter passed"},
    {12, "CWinMMError.MMSYSERR_HANDLEBUSY", "handle being used simultaneously on another thread (eg callback)"},
    {13, "CWinMMError.MMSYSERR_INVALIDALIAS", "specified alias not found"},
    {14, "CWinMMError.MMSYSERR_BADDB", "bad registry database"},
    {15, "CWinMMError.MMSYSERR_KEYNOTFOUND", "registry key not found"},
    {16, "CWinMMError.MMSYSERR_READERROR", "registry read error"},
    {17, "CWinMMError.MMSYSERR_WRITEERROR", "registry write error"},
    {18, "CWinMMError.MMSYSERR_DELETEERROR", "registry delete error"},
    {19, "CWinMMError.MMSYSERR_VALNOTFOUND", "registry value not found"},
    {20, "CWinMMError.MMSYSERR_NODRIVERCB", "driver does not call DriverCallback"},
    {32, "CWinMMError.WAVERR_BADFORMAT", "(wave error) unsupported wave format"},
    {33, "CWinMMError.WAVERR_STILLPLAYING", "(wave error) still something playing"},
    {34, "CWinMMError.WAVERR_UNPREPARED", "(wave error) header not prepared"},
    {35, "CWinMMError.WAVERR_SYNC", "(wave error) device is synchronous"},
    {64, "CWinMMError.MIDIERR_UNPREPARED", "(midi error) header not prepared"},
    {65, "CWinMMError.MIDIERR_STILLPLAYING", "(midi error) still something playing"},
    {66, "CWinMMError.MIDIERR_NOMAP", "(midi error) no configured instruments"},
    {67, "CWinMMError.MIDIERR_NOTREADY", "(midi error) hardware is still busy"},
    {68, "CWinMMError.MIDIERR_NODEVICE", "(midi error) port no longer connected"},
    {69, "CWinMMError.MIDIERR_INVALIDSETUP", "(midi error) invalid MIF"},
    {70, "CWinMMError.MIDIERR_BADOPENMODE", "(midi error) operation unsupported w/ open mode"},
    {71, "CWinMMError.MIDIERR_DONT_CONTINUE", "(midi error) thru device 'eating' a message"},
    {97, "CWinMMError.TIMERR_NOCANDO", "(mixer error) request not completed"},
    {129, "CWinMMError.TIMERR_STRUCT", "(mixer error) time struct size"},
    {165, "CWinMMError.JOYERR_PARMS", "(joystick error) bad parameters"},
    {166, "CWinMMError.JOYERR_NOCANDO", "(joystick error) request not completed"},
    {167, "CWinMMError.JOYERR_UNPLUGGED", "(joystick error) joystick is unplugged"},
    {257, "CWinMMError.MMIOERR_FILENOTFOUND", "(mmio error) file not found"},
    {258, "CWinMMError.MMIOERR_OUTOFMEMORY", "(mmio error) out of memory"},
    {259, "CWinMMError.MMIOERR_CANNOTOPEN", "(mmio error) cannot open"},
    {260, "CWinMMError.MMIOERR_CANNOTCLOSE", "(mmio error) cannot close"},
    {261, "CWinMMError.MMIOERR_CANNOTREAD", "(mmio error) cannot read"},
    {262, "CWinMMError.MMIOERR_CANNOTWRITE", "(mmio error) cannot write"},
    {263, "CWinMMError.MMIOERR_CANNOTSEEK", "(mmio error) cannot seek"},
    {264, "CWinMMError.MMIOERR_CANNOTEXPAND", "(mmio error) cannot expand file"},
    {265, "CWinMMError.MMIOERR_CHUNKNOTFOUND", "(mmio error) chunk not found"},
    {266, "CWinMMError.MMIOERR_UNBUFFERED", "(mmio error) unbuffered"},
    {267, "CWinMMError.MMIOERR_PATHNOTFOUND", "(mmio error) path incorrect"},
    {268, "CWinMMError.MMIOERR_ACCESSDENIED", "(mmio error) file was protected"},
    {269, "CWinMMError.MMIOERR_SHARINGVIOLATION", "(mmio error) file in use"},
    {270, "CWinMMError.MMIOERR_NETWORKERROR", "(mmio error) network not responding"},
    {271, "CWinMMError.MMIOERR_TOOMANYOPENFILES", "(mmio error) no more file handles"},
    {272, "CWinMMError.MMIOERR_INVALIDFILE", "(mmio error) invalid file"},
    {1024, "CWinMMError.MIXERR_INVALLINE", "(mixer error) invalid line"},
    {1025, "CWinMMError.MIXERR_INVALCONTROL", "(mixer error) invalid control"},
    {1026, "CWinMMError.MIXERR_INVALVALUE", "(mixer error) invalid value"},
};

// The families of codes without a row, by the first code after each family.
struct WinMMFamily {
  DWORD end;
  const char* key;
  const char* text;
};

// "unkown" in the first family is the text users have always seen.
constexpr WinMMFamily kFamilies[] = {
    {32, "CWinMMError.UnknownError", "an unkown error occurred"},
    {64, "CWinMMError.WaveError.Unknown", "(wave error) an unknown error occurred"},
    {96, "CWinMMError.MidiError.Unknown", "(midi error) an unknown error occurred"},
    {160, "CWinMMError.TimerError.Unknown", "(timer error) an unknown error occurred"},
    {256, "CWinMMError.JoystickError.Unknown", "(joystick error) an unknown error occurred"},
};

bool IsMciCode(DWORD code) { return code == 256 || (code >= 273 && code <= 1023); }

CStr MciCodeText(DWORD code) {
  char description[256] = {};
  if (!mciGetErrorStringA(code, description, sizeof description))
    return LocalText("CWinMMError.MCIError.Unknown", "(mci error) an unknown error occurred");
  description[sizeof description - 1] = '\0';
  return LocalText("CWinMMError.MCIErrorPrefix", "(mci error)") + " " + description;
}

CStr UnknownCodeText(DWORD code) {
  for (const auto& family : kFamilies)
    if (code < family.end) return LocalText(family.key, family.text);
  if (code >= 1024 && code <= 1039)
    return LocalText("CWinMMError.MixerError.Unknown", "(mixer error) an unknown error occurred");
  return LocalText("CWinMMError.UnknownError", "an unknown error occurred");
}

}  // namespace

CWinMMError::CWinMMError(DWORD code)
    : CError(LocalText("CWinMMError.Caption", "Windows Multimedia error"), GetErrorText(code)), m_Code(code) {}

CWinMMError::CWinMMError(DWORD code, const CStr& text)
    : CError(LocalText("CWinMMError.Caption", "Windows Multimedia error"), text), m_Code(code) {}

CStr CWinMMError::GetErrorText(DWORD code) {
  for (const auto& row : kRows)
    if (row.code == code) return LocalText(row.key, row.text);
  if (IsMciCode(code)) return MciCodeText(code);
  return UnknownCodeText(code);
}
