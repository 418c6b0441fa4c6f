#include <cstdio>

#include "twlwin/messagebox.h"

namespace {

int DefaultAnswer(UINT type) {
  static const int firstButton[] = {IDOK, IDOK, IDABORT, IDYES, IDYES, IDRETRY};
  static const int secondButton[] = {IDOK, IDCANCEL, IDRETRY, IDNO, IDNO, IDCANCEL};
  static const int thirdButton[] = {IDOK, IDCANCEL, IDIGNORE, IDCANCEL, IDNO, IDCANCEL};
  UINT kind = type & MB_TYPEMASK;
  if (kind > 5) kind = 0;
  switch (type & MB_DEFMASK) {
    case MB_DEFBUTTON2: return secondButton[kind];
    case MB_DEFBUTTON3: return thirdButton[kind];
    default: return firstButton[kind];
  }
}

}  // namespace

TWLAPI int MessageBoxA(HWND, LPCSTR text, LPCSTR caption, UINT type) {
  std::fprintf(stderr, "[message box] %s: %s\n", caption ? caption : "Error", text ? text : "");
  return DefaultAnswer(type);
}
