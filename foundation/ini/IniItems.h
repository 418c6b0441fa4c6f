// The typed ini items. Each is built from the name it expects, the
// reader's variable and the reader's found flag (or null), and reads its
// value by the rules below; blanks are spaces and tabs, numbers are
// decimal without a plus sign and must fit a signed 32-bit integer.
//
//   boolean         "true" or "false", any case
//   colour          six hex digits rrggbb, stored red in the low byte
//   expansion type  "tile" (1) or "stretch" (0), any case
//   frame transition "Fade",FRAMECOUNT[,DELAY]; FRAMECOUNT at least 1
//   integer         digits, a minus sign only for signed items
//   margins         l,t,r,b: four unsigned integers
//   percentage      x %, or x.y %: stored as the fraction x.y / 100
//   point           x,y: two signed integers
//   string          anything, white space trimmed at both ends
//   version         X.Y: major in the high 16 bits, the minor part
//                   brought to two digits (5 and 50 both give 50) low
//
// Blanks may stand around every number and word. A failed parse leaves
// the variable unchanged.
#pragma once

#include <windows.h>

#include "foundation/ini/IniItem.h"
#include "foundation/kernel/Str.h"

// The target of a frame-transition item.
struct IniFrameTransition {
  DWORD type;        // kFade
  DWORD frameCount;  // in-between frames
  DWORD delay;       // kept as it was when the value gives none
  static constexpr DWORD kFade = 1;
};

class CIniBooleanItem : public CIniItem {
 public:
  CIniBooleanItem(const char* name, bool* target, bool* found = nullptr) : CIniItem(name, found), m_Target(target) {}
  bool Parse(const CStr& value, CStr& error) override;

 private:
  bool* m_Target;
};

class CIniColorItem : public CIniItem {
 public:
  CIniColorItem(const char* name, COLORREF* target, bool* found = nullptr) : CIniItem(name, found), m_Target(target) {}
  bool Parse(const CStr& value, CStr& error) override;

 private:
  COLORREF* m_Target;
};

class CIniExpansionTypeItem : public CIniItem {
 public:
  static constexpr DWORD kStretch = 0;
  static constexpr DWORD kTile = 1;

  CIniExpansionTypeItem(const char* name, DWORD* target, bool* found = nullptr)
      : CIniItem(name, found), m_Target(target) {}
  bool Parse(const CStr& value, CStr& error) override;

 private:
  DWORD* m_Target;
};

class CIniFrameTransitionItem : public CIniItem {
 public:
  CIniFrameTransitionItem(const char* name, IniFrameTransition* target, bool* found = nullptr)
      : CIniItem(name, found), m_Target(target) {}
  bool Parse(const CStr& value, CStr& error) override;

 private:
  IniFrameTransition* m_Target;
};

class CIniIntegerItem : public CIniItem {
 public:
  CIniIntegerItem(const char* name, INT* target, bool* found, bool isSigned)
      : CIniItem(name, found), m_Target(target), m_Signed(isSigned) {}
  bool Parse(const CStr& value, CStr& error) override;

 private:
  INT* m_Target;
  bool m_Signed;
};

class CIniMarginsItem : public CIniItem {
 public:
  CIniMarginsItem(const char* name, RECT* target, bool* found = nullptr) : CIniItem(name, found), m_Target(target) {}
  bool Parse(const CStr& value, CStr& error) override;

 private:
  RECT* m_Target;
};

class CIniPercentageItem : public CIniItem {
 public:
  CIniPercentageItem(const char* name, double* target, bool* found = nullptr)
      : CIniItem(name, found), m_Target(target) {}
  bool Parse(const CStr& value, CStr& error) override;

 private:
  double* m_Target;
};

class CIniPointItem : public CIniItem {
 public:
  CIniPointItem(const char* name, POINT* target, bool* found = nullptr) : CIniItem(name, found), m_Target(target) {}
  bool Parse(const CStr& value, CStr& error) override;

 private:
  POINT* m_Target;
};

class CIniStringItem : public CIniItem {
 public:
  CIniStringItem(const char* name, CStr* target, bool* found = nullptr) : CIniItem(name, found), m_Target(target) {}
  bool Parse(const CStr& value, CStr& error) override;

 private:
  CStr* m_Target;
};

class CIniVersionItem : public CIniItem {
 public:
  CIniVersionItem(const char* name, DWORD* target, bool* found = nullptr) : CIniItem(name, found), m_Target(target) {}
  bool Parse(const CStr& value, CStr& error) override;

 private:
  DWORD* m_Target;
};
