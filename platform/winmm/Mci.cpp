#include <windows.h>

// No MCI device exists on this platform, so no MCI code has a text.
BOOL mciGetErrorStringA(MCIERROR /*error*/, LPSTR buffer, UINT length) {
  if (buffer && length > 0) buffer[0] = '\0';
  return FALSE;
}
